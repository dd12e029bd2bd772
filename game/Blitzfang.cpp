// The program's start: the application, then the seven windows and the menu screen.

#include "game/BlitzfangApplication.h"

int main(int argc, char** argv)
{
    BlitzfangApplication application(argc, argv);
    // The program folder is the executable's folder: every scenario and setup.cfg lie there.
    return runBlitzfang(QCoreApplication::applicationDirPath().toStdString());
}

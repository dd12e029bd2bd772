// The program's start: the application, then the seven windows and the menu screen.

#include "game/BlitzfangApplication.h"

#include <csignal>

int main(int argc, char** argv)
{
    // Beyond a file-size limit a write must fail with EFBIG, which a save reports and survives;
    // the signal's default action would end the program and leave its temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
    BlitzfangApplication application(argc, argv);
    // The program folder is the executable's folder: every scenario and setup.cfg lie there.
    return runBlitzfang(QCoreApplication::applicationDirPath().toStdString());
}

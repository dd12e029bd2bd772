// The program's start: the application, the seven windows, the menu screen.

#include "game/BlitzfangApplication.h"
#include "game/BlitzfangUnit1.h"
#include "game/WindowSet.h"
#include "platform/QtDialogs.h"

int main(int argc, char** argv)
{
    BlitzfangApplication application(argc, argv);
    QtDialogs boxes;
    setDialogs(&boxes);

    // The program folder is the executable's folder: every scenario and setup.cfg lie there.
    WindowSet windows(QCoreApplication::applicationDirPath().toStdString());
    windows.MainForm->show();
    return application.exec();
}

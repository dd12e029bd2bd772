// The program's start: the application, the program folder, then the seven windows and the
// menu screen.

#include "game/BlitzfangApplication.h"
#include "game/ProgramFolderChoice.h"
#include "platform/BlitzfangError.h"
#include "platform/QtDialogs.h"

#include <QStandardPaths>

#include <csignal>

namespace {

std::filesystem::path path(const QString& text) { return std::filesystem::path(text.toStdString()); }

// The copy beside its Standard folder keeps its files there; an installed copy keeps them in
// $XDG_DATA_HOME/blitzfang (~/.local/share/blitzfang) and takes the media from its share folder.
ProgramFolderChoice programFolderChoice()
{
    const std::filesystem::path executableFolder = path(QCoreApplication::applicationDirPath());
    return chooseProgramFolder(
        executableFolder, (executableFolder / BLITZFANG_DATA_FROM_BIN).lexically_normal(),
        path(QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation)) / "blitzfang");
}

} // namespace

int main(int argc, char** argv)
{
    // Beyond a file-size limit a write must fail with EFBIG, which a save reports and survives;
    // the signal's default action would end the program and leave its temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
    BlitzfangApplication application(argc, argv);
    const ProgramFolderChoice choice = programFolderChoice();
    try {
        prepareProgramFolder(choice);
    } catch (const BlitzfangError& error) {
        QtDialogs().error(error.what());
        return 1;
    }
    return runBlitzfang(choice.programFolder);
}

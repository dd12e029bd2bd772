// The program's start: the application, the program folder, then the seven windows and the
// menu screen.

#include "game/BlitzfangApplication.h"
#include "game/ProgramFolderChoice.h"
#include "platform/BlitzfangError.h"
#include "platform/QtDialogs.h"
#include "storage/ProgramFolderLock.h"

#include <csignal>

namespace {

// The copy beside its Standard folder keeps its files there; an installed copy keeps them in
// $XDG_DATA_HOME/blitzfang (~/.local/share/blitzfang) and takes the media from its share folder.
ProgramFolderChoice programFolderChoice()
{
    const std::filesystem::path folder = executableFolder();
    return chooseProgramFolder(folder, (folder / BLITZFANG_DATA_FROM_BIN).lexically_normal(), playerDataFolder());
}

// One program per program folder: a second one would write over the first one's list and clean
// its temporary files in the middle of a save. True when this program holds the folder.
bool holdsTheProgramFolder(const std::filesystem::path& programFolder)
{
    if (holdProgramFolder(programFolder))
        return true;
    QtDialogs().notice("Blitzfang läuft schon mit den Spielständen in \"" + programFolder.string() +
                       "\". Ein zweites Blitzfang würde sie überschreiben und wird deshalb beendet.");
    return false;
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
        if (!holdsTheProgramFolder(choice.programFolder))
            return 1;
        copyShippedStandard(choice);
    } catch (const BlitzfangError& error) {
        QtDialogs().error(error.what());
        return 1;
    }
    return runBlitzfang(choice.programFolder, choice.shippedStandard);
}

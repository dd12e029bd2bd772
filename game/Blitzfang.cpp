// The program's start: the application, the program folder, then the seven windows and the
// menu screen.

#include "game/BlitzfangApplication.h"
#include "game/ProgramHandOver.h"
#include "game/ProgramFolderChoice.h"
#include "platform/BlitzfangError.h"
#include "platform/QtDialogs.h"
#include "storage/ProgramFolderLock.h"

#include <chrono>
#include <csignal>
#include <memory>

namespace {

// The copy beside its Standard folder keeps its files there; an installed copy keeps them in
// $XDG_DATA_HOME/blitzfang (~/.local/share/blitzfang) and takes the media from its share folder.
ProgramFolderChoice programFolderChoice()
{
    const std::filesystem::path folder = executableFolder();
    return chooseProgramFolder(folder, (folder / BLITZFANG_DATA_FROM_BIN).lexically_normal(), playerDataFolder());
}

// One program per program folder: a second one would write over the first one's list and clean
// its temporary files in the middle of a save. A second start hands its package (or, without
// one, its wish to be seen) to the program that holds the folder and ends; so a double-click on
// a package reaches the running game. True when this program holds the folder; else `exitCode`
// is how this one ends.
bool holdsTheProgramFolder(const std::filesystem::path& programFolder, const std::string& package, int& exitCode)
{
    // The holder may have started a moment ago and not listen yet, or end meanwhile and leave
    // the folder to this one; one that never answers hangs.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    do {
        if (holdProgramFolder(programFolder))
            return true;
        if (handOverToRunningProgram(programFolder, package, std::chrono::milliseconds(500))) {
            exitCode = 0;
            return false;
        }
    } while (std::chrono::steady_clock::now() < deadline);
    QtDialogs().notice("Blitzfang läuft schon mit den Spielständen in \"" + programFolder.string() +
                       "\", antwortet aber nicht. Ein zweites Blitzfang würde sie überschreiben und wird deshalb "
                       "beendet.");
    exitCode = 1;
    return false;
}

// The file the desktop passes on a double-click, as an absolute path: a program it is handed to
// works in another folder.
std::string packageArgument(int argc, char** argv)
{
    if (argc < 2 || *argv[1] == '\0')
        return {};
    std::error_code ec;
    const std::filesystem::path absolute = std::filesystem::absolute(argv[1], ec);
    return ec ? std::string(argv[1]) : absolute.lexically_normal().string();
}

} // namespace

int main(int argc, char** argv)
{
    // Beyond a file-size limit a write must fail with EFBIG, which a save reports and survives;
    // the signal's default action would end the program and leave its temporary file behind.
    std::signal(SIGXFSZ, SIG_IGN);
    BlitzfangApplication application(argc, argv);
    const ProgramFolderChoice choice = programFolderChoice();
    const std::string package = packageArgument(argc, argv);
    std::unique_ptr<HandOverServer> handOver;
    try {
        prepareProgramFolder(choice);
        if (int exitCode = 0; !holdsTheProgramFolder(choice.programFolder, package, exitCode))
            return exitCode;
        handOver = std::make_unique<HandOverServer>(choice.programFolder);
        copyShippedStandard(choice);
    } catch (const BlitzfangError& error) {
        QtDialogs().error(error.what());
        return 1;
    }
    return runBlitzfang(choice.programFolder, choice.shippedStandard, package, handOver.get());
}

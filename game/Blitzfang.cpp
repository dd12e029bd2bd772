// The program's start: the application, the program folder, then the seven windows and the
// menu screen.

#include "game/BlitzfangApplication.h"
#include "game/ProgramFolderChoice.h"

#include <csignal>

namespace {

// The copy beside its Standard folder keeps its files there; an installed copy keeps them in
// $XDG_DATA_HOME/blitzfang (~/.local/share/blitzfang) and takes the media from its share folder.
ProgramFolderChoice programFolderChoice()
{
    const std::filesystem::path folder = executableFolder();
    return chooseProgramFolder(folder, (folder / BLITZFANG_DATA_FROM_BIN).lexically_normal(), playerDataFolder());
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
    return startBlitzfang(programFolderChoice(), packageArgument(argc, argv));
}

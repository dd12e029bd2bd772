// The program exactly as it starts (application, the program folder's lock and hand-over, the
// update of the player's standard media, seven windows, menu screen), with the probe that
// reports when the menu screen has been painted and, with games, how quickly a game starts.
// Usage: startup_program_probe <program folder> <shipped Standard folder or "-"> <idle ms> [games]
// With a shipped Standard folder the program folder is an installed copy's, the player's own.

#include "StartupShownProbe.h"
#include "game/BlitzfangApplication.h"
#include "game/ProgramFolderChoice.h"

#include <cstdlib>
#include <cstring>

int main(int argc, char** argv)
{
    if (argc < 4)
        return 2;
    BlitzfangApplication application(argc, argv);
    StartupShownProbe probe(std::atoi(argv[3]), argc > 4 ? std::atoi(argv[4]) : 0);
    ProgramFolderChoice choice{argv[1], std::strcmp(argv[2], "-") == 0 ? std::filesystem::path() : argv[2]};
    return startBlitzfang(choice);
}

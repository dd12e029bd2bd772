// The program exactly as it starts (application, seven windows, menu screen), with the probe
// that reports when the menu screen has been painted.
// Usage: startup_program_probe <program folder> <idle ms>

#include "StartupShownProbe.h"
#include "game/BlitzfangApplication.h"

#include <cstdlib>

int main(int argc, char** argv)
{
    if (argc < 3)
        return 2;
    BlitzfangApplication application(argc, argv);
    StartupShownProbe probe(std::atoi(argv[2]));
    return runBlitzfang(argv[1]);
}

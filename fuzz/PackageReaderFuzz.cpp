// The package check on arbitrary archive bytes, with the program's own picture and sound checks,
// and the import of whatever passes into a program folder. A refusal (BlitzfangError) is
// expected; anything else escaping, a sanitizer report, a file written outside the program
// folder, or an imported scenario file that the loader would refuse is a finding.

#include "fuzz/ScratchFolder.h"
#include "media/PackageChecks.h"
#include "package/CheckedPackage.h"
#include "package/PackageImport.h"
#include "platform/BlitzfangError.h"
#include "storage/ScenarioFile.h"
#include "storage/ScenarioStore.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

[[noreturn]] void finding(const char* what)
{
    std::fprintf(stderr, "Imported package: %s\n", what);
    std::abort();
}

// A folder with the program folder "prog" and beside it "aussen", which no import may touch.
const fs::path& root()
{
    static const ScratchFolder folder("blitzfang-fuzz-package");
    static const bool outsideMade = [] {
        fs::create_directories(folder.path() / "aussen");
        std::ofstream(folder.path() / "aussen" / "unberuehrt.txt") << "unberührt";
        return true;
    }();
    (void)outsideMade;
    return folder.path();
}

std::size_t filesBelow(const fs::path& folder)
{
    std::size_t count = 0;
    for (auto it = fs::recursive_directory_iterator(folder); it != fs::recursive_directory_iterator(); ++it)
        ++count;
    return count;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const fs::path program = root() / "prog";
    fs::remove_all(program);
    fs::create_directories(program);
    const int fd = ::memfd_create("paket.blitzfang", MFD_CLOEXEC);
    if (fd < 0 || ::write(fd, data, size) != ssize_t(size))
        std::abort();
    const ConfinedFolder folder(program);
    std::string imported;
    try {
        const CheckedPackage package = readPackage(folder, fd, "paket.blitzfang", packageMediaChecks());
        ScenarioSettings player;
        player.spielername = "Spieler";
        player.schwierigkeitsgrad = 1;
        unpackPackage(folder, package, {package.name + ".cfg", package.name, false}, player, Trash());
        std::ifstream in(program / (package.name + ".cfg"), std::ios::binary);
        imported.assign(std::istreambuf_iterator<char>(in), {});
    } catch (const BlitzfangError&) {
        // a refused package: the player sees the message
    }
    if (!imported.empty()) {
        try {
            refuseUnreadable(imported);
        } catch (const BlitzfangError&) {
            finding("the loader would reset the imported scenario");
        }
    }
    // "aussen", its one file and "prog" itself.
    if (filesBelow(root()) - filesBelow(program) != 3 || !fs::exists(root() / "aussen" / "unberuehrt.txt"))
        finding("something was written beside the program folder");
    return 0;
}

#pragma once
// A scenario package read whole before anything is written: every entry's name, kind and bytes
// are checked, and what passes is kept as the plan of its import. The package stays open from
// the check to the import, which reads the same file again.

#include "package/ScenarioPackage.h"
#include "storage/ConfinedFolder.h"
#include "storage/ScenarioSettings.h"

#include <sys/stat.h>

#include <cstdint>
#include <string>
#include <vector>

// A file of the package that goes into the scenario's folder.
struct PackagedFile {
    std::string entry;  // its name in the package
    std::string target; // its place in the scenario folder: "hilfe.txt", "bilder/F", "sound/F"
    std::uint64_t size = 0;
};

class CheckedPackage {
public:
    CheckedPackage() = default;
    ~CheckedPackage();
    CheckedPackage(CheckedPackage&& other) noexcept;
    CheckedPackage& operator=(CheckedPackage&&) = delete;

    std::string path;                 // the package file, as its messages name it
    std::string name;                 // the scenario's name, from its scenario file's name
    std::vector<std::string> entries; // every entry's name, in the package's order
    std::vector<PackagedFile> files;  // the files for the scenario folder, in that order
    // The package's scenario file as the program reads it. Its own pictures and sounds are named
    // by their place in the scenario folder ("bilder/ziel.bmp"), the standard scenario's shipped
    // media by their absolute path in this program folder.
    ScenarioSettings settings;

    // The package, open since it was checked.
    int descriptor() const { return fd_; }
    // True while the file is as it was when checked: the import reads it a second time.
    bool unchanged() const;

private:
    friend CheckedPackage readPackage(const ConfinedFolder&, int, const std::string&, const MediaChecks&,
                                      const PackageLimits&);
    int fd_ = -1;
    struct stat checked_ {};
};

// Opens and checks the package file `packagePath` for the program folder `programFolder`.
// Throws BlitzfangError "Das Paket "…" kann nicht importiert werden: <reason>" for anything but a
// regular file holding exactly one scenario laid out as in the program folder: an entry elsewhere
// (an absolute path, "..", another folder, a second scenario), a link, a device, an encrypted
// entry, names that differ only in letter case, a scenario name the save-as window would refuse
// or "Standard", a scenario file the loader would refuse, a path of the scenario file that names
// no file of the package (nor a shipped standard medium), a picture or sound that the checks
// refuse, more entries or unpacked bytes than `limits` allow, a damaged or cut archive.
CheckedPackage checkPackage(const ConfinedFolder& programFolder, const std::string& packagePath,
                            const MediaChecks& checks, const PackageLimits& limits = {});

// The same for the package open as `fd` (read from its start; the result takes it over);
// throws the bare reason. `shownPath` names the package in the result.
CheckedPackage readPackage(const ConfinedFolder& programFolder, int fd, const std::string& shownPath,
                           const MediaChecks& checks, const PackageLimits& limits = {});

// The package's scenario file for the scenario folder `scenarioFolder` (relative to the program
// folder): every picture and sound an absolute path of the program folder.
std::string scenarioTextFor(const CheckedPackage& package, const ConfinedFolder& programFolder,
                            const std::string& scenarioFolder);

// The settings' picture and sound paths: the five pictures first, then the hit sounds and the
// four event sounds.
std::vector<std::string*> mediaPaths(ScenarioSettings& settings);
inline constexpr std::size_t kPictureFields = 5;

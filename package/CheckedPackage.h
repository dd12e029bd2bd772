#pragma once
// A scenario package read whole before anything is written: every entry's name, kind and bytes
// are checked, and what passes is kept as the plan of its import. The package stays open from
// the check to the import, which reads the same file again.

#include "package/ScenarioPackage.h"
#include "storage/ConfinedFolder.h"
#include "storage/ScenarioSettings.h"

#include <sys/stat.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class ZipReader;

// A file of the package that goes into the scenario's folder.
struct PackagedFile {
    std::string entry;  // its name in the package
    std::string target; // its place in the scenario folder: "hilfe.txt", "bilder/F", "sound/F"
    std::uint64_t size = 0;
};

// What the import window shows of a package before anything is written.
struct PackagePreview {
    std::string helpStart; // the first lines of its help text
    SmallPicture figure;
    SmallPicture target;
    SmallPicture house;
    SmallPicture background;
    std::size_t pictures = 0;
    std::size_t sounds = 0;
    std::uint64_t unpackedBytes = 0;
};
inline constexpr int kPreviewSide = 96;
inline constexpr std::size_t kPreviewHelpLines = 6;

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
    PackagePreview preview;

    // The package, open since it was checked.
    int descriptor() const { return fd_; }
    // True while the file is as it was when checked: the import reads it a second time.
    bool unchanged() const;

private:
    friend CheckedPackage readPackage(const ConfinedFolder&, int, const std::string&, const MediaChecks&,
                                      const PackageLimits&, const ProgressReport&);
    int fd_ = -1;
    struct stat checked_ {};
};

// The package's files read a second time, to unpack or to draw them: the same entries in the same
// order as checked, each file with the size its check found, or BlitzfangError (the archive is
// damaged, or the file changed since the check). A sound that the check counted as the archive
// claims is held to that claim here.
class PackagedFileReader {
public:
    explicit PackagedFileReader(const CheckedPackage& package);
    ~PackagedFileReader();
    PackagedFileReader(const PackagedFileReader&) = delete;
    PackagedFileReader& operator=(const PackagedFileReader&) = delete;

    // The next of the package's files (the rest of the current one is read past); nullptr once
    // the whole package has been read as it was checked.
    const PackagedFile* next();
    // The next piece of the current file's bytes, empty at its end; valid until the next call.
    std::string_view read();

private:
    const CheckedPackage& package_;
    std::unique_ptr<ZipReader> reader_;
    std::size_t nextEntry_ = 0;
    std::size_t nextFile_ = 0;
    const PackagedFile* current_ = nullptr;
    std::uint64_t currentRead_ = 0;
    bool currentEnded_ = false;
};

// Opens and checks the package file `packagePath` for the program folder `programFolder`.
// Throws BlitzfangError "Das Paket "…" kann nicht importiert werden: <reason>" for anything but a
// regular file holding exactly one scenario laid out as in the program folder: an entry elsewhere
// (an absolute path, "..", another folder, a second scenario), a name longer than 255 bytes or
// with control or direction characters, a link, a device, an encrypted entry, names that differ
// only in letter case, a scenario name the save-as window would refuse, a hidden one or
// "Standard", a scenario file the loader would refuse, a path of the scenario file that names no
// file of the package (nor a shipped standard medium), a picture or sound that the scenario
// does not name, a scenario that "&Start" would refuse, a picture or sound that the checks
// refuse, more entries or unpacked bytes than `limits` allow, a damaged or cut archive.
// The names are all read before any byte is checked: an unnamed file is refused before any
// picture is decoded. `progress` hears how far the check of the bytes has come. On a thread
// that watches a cancel flag (Cancellation.h) it stops with WorkCancelled between entries and
// inside long pieces of work.
CheckedPackage checkPackage(const ConfinedFolder& programFolder, const std::string& packagePath,
                            const MediaChecks& checks, const PackageLimits& limits = {},
                            const ProgressReport& progress = {});

// The same for the package open as `fd` (read from its start; the result takes it over);
// throws the bare reason. `shownPath` names the package in the result.
CheckedPackage readPackage(const ConfinedFolder& programFolder, int fd, const std::string& shownPath,
                           const MediaChecks& checks, const PackageLimits& limits = {},
                           const ProgressReport& progress = {});

// The package's scenario file for the scenario folder `scenarioFolder` (relative to the program
// folder): every picture and sound an absolute path of the program folder, and the receiving
// player's name and level (`player`) instead of the author's. Its highscore stays the author's:
// the challenge that comes with it.
std::string scenarioTextFor(const CheckedPackage& package, const ConfinedFolder& programFolder,
                            const std::string& scenarioFolder, const ScenarioSettings& player);

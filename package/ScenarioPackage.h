#pragma once
// A scenario travels as one file, NAME.blitzfang: a ZIP archive laid out exactly as the scenario
// lies in the program folder (NAME.cfg, NAME/hilfe.txt and the files of NAME/bilder/ and
// NAME/sound/ that the scenario names), so that any archive tool opens it and unpacking it by
// hand into a program folder gives a scenario that the load window's search finds. The package's
// scenario file names its own files relative to the program folder ("NAME/bilder/ziel.bmp") and
// the standard scenario's shipped media as "Standard/sound/au1.wav"; an import writes them as
// absolute paths of the program folder it lands in. Plain C++: the checks of pictures and sounds
// come in as functions (storage has no Qt and no media).

#include "storage/ScenarioFile.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

inline constexpr std::string_view kPackageEnding = ".blitzfang";

// What one scenario can hold, and no package more: 10000 hit sounds, four event sounds, five
// pictures, the help text, the scenario file and three folders, with room to spare; and 4 GiB
// unpacked (10000 sounds of 400 KB, or many long ones). The check reads a sound only as far as its
// header and counts the rest as the archive's directory claims, so its time does not grow with
// long sounds; the unpacking counts every byte and stops where an entry goes beyond its claim.
struct PackageLimits {
    std::size_t mostEntries = kMaxSoundCount + 100;
    std::uint64_t mostBytes = std::uint64_t(4) * 1024 * 1024 * 1024;
    // The beginnings of all sounds that the check reads until their headers tell: an honest sound
    // tells within its first few KiB, so only sounds made to cost reach this (about a second of
    // inflating at the slowest).
    std::uint64_t mostSoundBeginnings = std::uint64_t(256) * 1024 * 1024;
};

// The bytes read for an archive's directory, which is held in memory while the package is read:
// an honest one needs about 600 bytes an entry.
inline std::uint64_t directoryBudget(const PackageLimits& limits)
{
    return std::uint64_t(limits.mostEntries) * 1024 + 1024 * 1024;
}

// A sound is checked by its header, which lies at its beginning: at most this much of it is held,
// and the check tries first with its first kFirstSoundTry bytes, then with four times as many.
inline constexpr std::size_t kSoundHeaderRoom = 1024 * 1024;
inline constexpr std::size_t kFirstSoundTry = 4 * 1024;

// A picture scaled down for the import window: plain pixels (0xAARRGGBB, row by row).
struct SmallPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> pixels;
};

// The checks an imported picture or sound passes, the same as a copy into a scenario folder.
struct MediaChecks {
    std::uint64_t largestPicture = 0;
    // Throws BlitzfangError with the reason when the bytes are no picture the game shows. With a
    // `previewSide` above 0 it returns the picture fitted into a square of that side.
    std::function<SmallPicture(std::string_view bytes, const std::string& path, int previewSide)> picture;
    std::uint64_t largestSound = 0;
    // Throws BlitzfangError with the reason when a file of `size` bytes that begins with
    // `firstBytes` (kSoundHeaderRoom of them, or all) is no sound the game plays.
    std::function<void(std::string_view firstBytes, std::uint64_t size, const std::string& path)> sound;
};

// How far a long package job has come, from 0 to 1. Called on the thread that does the job.
using ProgressReport = std::function<void(double done)>;

// "Das Paket "…" kann nicht importiert werden: <reason>"
std::string paketNichtImportiert(const std::string& package, const std::string& reason);
// "Das Szenario "…" kann nicht exportiert werden: <reason>"
std::string szenarioNichtExportiert(const std::string& name, const std::string& reason);
// The standard scenario comes with every Blitzfang: it is neither exported nor replaced.
extern const std::string kStandardWirdMitgeliefert;

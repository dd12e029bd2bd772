#pragma once
// The standard scenario's media as the installation ships them, and the player's copy of them in
// the program folder. Beside the shipped Standard folder lies its manifest, made at build time
// from the files and data/standard-media-history.txt (data/StandardManifest.cmake): the size and
// SHA-256 of every file now ("current") and in every earlier release ("earlier"). With it a new
// version's start brings the player's copy up to date without touching what the player changed,
// and the reset brings the shipped pictures and sounds back.

#include "storage/ConfinedFolder.h"

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

// The manifest's name, beside the shipped Standard folder.
inline constexpr const char* kStandardManifestName = "standard-media.manifest";

// One earlier shipped version of a file below Standard ("bilder/ziel.bmp").
struct ShippedVersion {
    std::string file;
    std::uint64_t size = 0;
    std::string sha256; // 64 lower-case hexadecimal digits
};

// The earlier versions a manifest lists; lines of another kind are skipped. The current
// versions are not needed: a copy is compared with the shipped file itself.
std::vector<ShippedVersion> earlierVersions(std::string_view manifest);

// The manifest beside `shippedStandard`; none when it is missing or cannot be read.
std::vector<ShippedVersion> readEarlierVersions(const std::filesystem::path& shippedStandard);

// The SHA-256 of `bytes` as 64 lower-case hexadecimal digits.
std::string sha256Text(std::string_view bytes);

// Brings the player's copy of the standard media in the program folder `folder` up to date with
// the shipped folder `shipped`, file by file, each written crash-safely through the folder:
// - a missing file is copied;
// - a copy that equals an earlier shipped version of its file, or is a strict prefix of the
//   shipped file (a copy cut short), is replaced by the shipped file;
// - any other copy is the player's and stays as it is; so does a link or folder where a file
//   belongs, and nothing is read or written through a link.
// A copy known to equal its shipped file carries that file's time of last change, so that a
// later start compares sizes and times and reads nothing; only a copy whose size is that of an
// earlier version is hashed. Throws BlitzfangError when a copy cannot be written.
void updateStandardCopy(const ConfinedFolder& folder, const std::filesystem::path& shipped,
                        const std::vector<ShippedVersion>& earlier);

// The reset's part: every picture and sound that the standard scenario names
// (standardMediaFiles) and whose copy differs from the shipped file in `shipped` is written
// afresh from it, whoever changed it; a link in its place is left alone. Nothing without
// `shipped` (a copy whose program folder holds the only media). Throws BlitzfangError when a
// file cannot be written.
void restoreStandardMedia(const ConfinedFolder& folder, const std::filesystem::path& shipped);

#pragma once
// The standard scenario's media as the installation ships them, and the player's copy of them in
// the program folder. Beside the shipped Standard folder lies its manifest, made at build time
// from the files and data/standard-media-history.txt (data/StandardManifest.cmake): the SHA-256
// of every file now ("current") and in every earlier release ("earlier"). In the player's copy
// lies a record of the shipped version each file holds. With both a new version's start brings
// the player's copy up to date without touching what the player changed, and the reset brings
// the shipped pictures and sounds back.

#include "storage/ConfinedFolder.h"

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

// The manifest's name, beside the shipped Standard folder.
inline constexpr const char* kStandardManifestName = "standard-media.manifest";
// The record's name, in the player's Standard folder: one line per file, "shipped <SHA-256>
// <file>" for a file that holds that shipped version, "own <file>" for one the player changed.
inline constexpr const char* kStandardRecordName = ".standard-media.record";

// What a manifest says of the files below Standard ("bilder/ziel.bmp"), by SHA-256 as 64
// lower-case hexadecimal digits; lines of another kind are skipped.
struct ShippedVersions {
    std::unordered_map<std::string, std::string> current;
    std::unordered_map<std::string, std::unordered_set<std::string>> earlier;
};
ShippedVersions shippedVersions(std::string_view manifest);

// The manifest beside `shippedStandard`; empty when it is missing or cannot be read.
ShippedVersions readShippedVersions(const std::filesystem::path& shippedStandard);

// The SHA-256 of `bytes` as 64 lower-case hexadecimal digits.
std::string sha256Text(std::string_view bytes);

// Brings the player's copy of the standard media in the program folder `folder` up to date with
// the shipped folder `shipped`, file by file, each written crash-safely through the folder:
// - a missing file is copied;
// - a file the record says holds a shipped version is the program's: it is replaced when the
//   shipped file has changed, unless it no longer equals that version (the player changed it);
// - a file without a record (a copy made by a release before the record) is the program's when
//   it equals the shipped file or any earlier shipped version of it, the player's otherwise;
// - the player's files stay as they are, and so does a link or folder where a file belongs;
//   nothing is read or written through a link.
// No rule by prefix, size or time: only the bytes decide, and each file is judged once. A file
// known up to date is not read. The record is written when it changed.
// A file that cannot be written does not stop the others: afterwards BlitzfangError names every
// file that could not be brought up to date, each left as it was.
void updateStandardCopy(const ConfinedFolder& folder, const std::filesystem::path& shipped,
                        const ShippedVersions& versions);

// The reset's part, into the save `save`: every picture and sound that the standard scenario
// names (standardMediaFiles) and whose copy differs from the shipped file in `shipped` is written
// afresh from it, whoever changed it, and recorded as the program's; a link in its place is left
// alone. Nothing without `shipped` (a copy whose program folder holds the only media).
void restoreStandardMedia(StagedFiles& save, const std::filesystem::path& shipped);

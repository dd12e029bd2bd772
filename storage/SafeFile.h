#pragma once
// Whole-file reading and crash-safe replacing of files in the program folder.

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The largest file the program reads whole.
inline constexpr std::size_t kLargestReadableFile = 64 * 1024 * 1024;

// The bytes of a regular file. Throws BlitzfangError("Datei … kann nicht geöffnet werden")
// at once when it cannot be read: no permission, a folder, a FIFO or device (never waited
// for), larger than `largestSize` (at most kLargestReadableFile).
std::string readWholeFile(const std::filesystem::path& path, std::size_t largestSize = kLargestReadableFile);

// Replaces `target` by `bytes` so that a failure or a crash at any moment leaves either the
// old or the new file: a temporary file in the same folder gets every byte and is synced,
// renamed over the target, and the folder is synced. The target keeps its permissions, never
// more than `ceiling` (a copy is never more readable than its source).
// Any failure (disk full, file size limit, read-only folder) removes the temporary file,
// leaves the old file as it was and throws BlitzfangError("E/A-Fehler <errno>").
void writeFileAtomically(const std::filesystem::path& target, std::string_view bytes,
                         std::filesystem::perms ceiling = std::filesystem::perms::mask);

// True for the name of a temporary file of writeFileAtomically.
bool isLeftoverTemporary(const std::string& fileName);

// Removes the temporary files an interrupted save left in `folder` (not below it); silent on
// failure.
void removeLeftoverTemporaries(const std::filesystem::path& folder);

#pragma once
// Whole-file reading of a file anywhere: the pictures and sounds an author chose. Files inside
// the program folder are read and written through ConfinedFolder.

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

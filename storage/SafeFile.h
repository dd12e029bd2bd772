#pragma once
// Whole files through descriptors: the one loop that reads a file whole and the one that writes
// bytes, for the program folder's files (ConfinedFolder) and for files anywhere (the pictures
// and sounds an author chose, the shipped standard media).

#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

// The largest file the program reads whole.
inline constexpr std::size_t kLargestReadableFile = 64 * 1024 * 1024;

// The bytes of the open regular file `fd` from its current offset; the caller keeps the
// descriptor. A file larger than `largestSize`, or one that grows beyond it while it is read,
// throws BlitzfangError("Die Datei … ist größer als …"); a failed read throws "Datei … kann nicht
// geöffnet werden", `shownPath` naming the file in both.
std::string readWholeFile(int fd, std::size_t largestSize, std::string_view shownPath);

// The bytes of a regular file anywhere. Throws BlitzfangError at once when it cannot be read: no
// permission, a folder, a FIFO or device (never waited for), larger than `largestSize` (at most
// kLargestReadableFile).
std::string readWholeFile(const std::filesystem::path& path, std::size_t largestSize = kLargestReadableFile);

// Writes every byte of `bytes` to `fd`, again after an interruption. Throws
// BlitzfangError("E/A-Fehler <errno>") when the system refuses (a full disk, a file size limit).
void writeAll(int fd, std::string_view bytes);

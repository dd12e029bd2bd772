#pragma once
// A picture or sound file that a scenario names, opened once. It may come from a stranger: only
// a regular file is taken, never waited on (a FIFO or a device is refused at once), and never
// beyond a ceiling. The descriptor stays open, so whatever is read later is the file that was
// checked, not whatever the path names by then.

#include <cstddef>
#include <cstdint>
#include <string>

class MediaFile {
public:
    // Throws BlitzfangError("Datei … kann nicht geöffnet werden") when `path` cannot be opened,
    // is not a regular file or is larger than `largestSize`.
    MediaFile(const std::string& path, std::uint64_t largestSize);
    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    const std::string& path() const { return path_; }
    int descriptor() const { return fd_; }
    // The size when opened.
    std::uint64_t size() const { return size_; }

    // Up to `count` bytes from `offset`, fewer at the end. Safe from any thread.
    // Throws like the constructor when the file cannot be read.
    std::string readAt(std::uint64_t offset, std::size_t count) const;
    // The same into `into`: how many bytes were read, -1 when the file cannot be read.
    long long readInto(std::uint64_t offset, char* into, std::size_t count) const noexcept;
    // The whole file, which must still be within the ceiling (a file may grow after the open,
    // and files of the kernel's own report size 0).
    std::string readAll() const;

private:
    std::string path_;
    std::uint64_t largestSize_;
    std::uint64_t size_ = 0;
    int fd_ = -1;
};

#pragma once
// A picture or sound file that a scenario names, opened once. It may come from a stranger: only
// a regular file is taken, never waited on (a FIFO or a device is refused at once), and never
// beyond a ceiling. The descriptor stays open, so whatever is read later is the file that was
// checked, not whatever the path names by then.

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>

class MediaFile {
public:
    // Throws BlitzfangError("Datei … kann nicht geöffnet werden") when `path` cannot be opened,
    // is not a regular file or is larger than `largestSize`.
    MediaFile(const std::string& path, std::uint64_t largestSize);
    // The same for a descriptor opened already (for a file inside the program folder, reached
    // without a link); it is closed with this object, also when the constructor throws.
    MediaFile(int descriptor, const std::string& path, std::uint64_t largestSize);
    ~MediaFile();
    MediaFile(const MediaFile&) = delete;
    MediaFile& operator=(const MediaFile&) = delete;

    const std::string& path() const { return path_; }
    int descriptor() const { return fd_; }
    // The size when opened.
    std::uint64_t size() const { return size_; }
    // The permission bits when opened.
    std::filesystem::perms permissions() const { return permissions_; }

    // Up to `count` bytes from `offset`, fewer at the end. Safe from any thread.
    // Throws like the constructor when the file cannot be read.
    std::string readAt(std::uint64_t offset, std::size_t count) const;
    // The same into `into`: how many bytes were read, -1 when the file cannot be read.
    long long readInto(std::uint64_t offset, char* into, std::size_t count) const noexcept;
    // The whole file, which must still be within the ceiling (a file may grow after the open,
    // and files of the kernel's own report size 0).
    std::string readAll() const;
    // The whole file handed to `take` in pieces of at most kPieceSize bytes, so that it is never
    // held whole; a file that grew beyond the ceiling throws like the constructor.
    void readPieces(const std::function<void(std::string_view piece)>& take) const;
    static constexpr std::size_t kPieceSize = 1024 * 1024;

private:
    std::string path_;
    std::uint64_t largestSize_;
    void take(int descriptor);

    std::uint64_t size_ = 0;
    std::filesystem::perms permissions_ = std::filesystem::perms::none;
    int fd_ = -1;
};

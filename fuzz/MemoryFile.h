#pragma once
// Fuzz input as a file for readers that take a path: an anonymous in-memory file, reachable
// as /proc/self/fd/N, rewritten for every input without touching the disk.

#include <sys/mman.h>
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

class MemoryFile {
public:
    MemoryFile() : fd_(memfd_create("fuzz-input", 0))
    {
        if (fd_ < 0)
            std::abort();
    }
    ~MemoryFile() { close(fd_); }
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;

    // Replaces the file's bytes and returns a path that opens it afresh.
    std::string hold(const std::uint8_t* data, std::size_t size)
    {
        if (ftruncate(fd_, 0) != 0 || (size > 0 && pwrite(fd_, data, size, 0) != static_cast<ssize_t>(size)))
            std::abort();
        return "/proc/self/fd/" + std::to_string(fd_);
    }

private:
    int fd_;
};

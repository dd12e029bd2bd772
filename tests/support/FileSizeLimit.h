#pragma once
// Beyond a file size limit a write fails with EFBIG as on a full disk (the signal that would end
// the process is ignored, as the program ignores it). The limit holds while the object lives.

#include <csignal>
#include <cstdint>

#include <sys/resource.h>

class FileSizeLimit {
public:
    explicit FileSizeLimit(std::uint64_t bytes)
    {
        std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &before_);
        const rlimit limited{bytes, before_.rlim_max};
        ::setrlimit(RLIMIT_FSIZE, &limited);
    }
    ~FileSizeLimit() { ::setrlimit(RLIMIT_FSIZE, &before_); }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit before_{};
};

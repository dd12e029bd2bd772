#include "storage/SafeFile.h"

#include "platform/BlitzfangError.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string readWholeFile(const fs::path& path, std::size_t largestSize)
{
    const auto cannotOpen = [&] { return BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path.string())); };
    const off_t largest = static_cast<off_t>(std::min<std::size_t>(largestSize, kLargestReadableFile));
    // Without O_NONBLOCK opening a FIFO waits for a writer for ever; for a regular file the
    // flag changes nothing.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode) || info.st_size > largest)
        throw cannotOpen();

    // One byte more than the file holds: its end shows without the buffer growing, and a file of
    // exactly the largest size is read.
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            // The file has grown since fstat.
            if (bytes.size() > static_cast<std::size_t>(largest))
                throw cannotOpen();
            bytes.resize(std::min(bytes.size() + 4096, static_cast<std::size_t>(largest) + 1));
        }
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw cannotOpen();
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

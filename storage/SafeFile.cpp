#include "storage/SafeFile.h"

#include "platform/BlitzfangError.h"
#include "platform/FileDescriptor.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

std::string readWholeFile(int fd, std::size_t largestSize, std::string_view shownPath)
{
    const auto cannotRead = [&] { return BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(shownPath)); };
    const auto tooLarge = [&] {
        return BlitzfangError(fehlertext::dateiZuGross(shownPath, fehlertext::sizeText(largestSize)));
    };
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        throw cannotRead();
    if (static_cast<std::uintmax_t>(info.st_size) > largestSize)
        throw tooLarge();
    // One byte more than the file holds: its end shows without the buffer growing (and copying),
    // and a file of exactly the largest size is read.
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            // The file has grown since fstat.
            if (bytes.size() > largestSize)
                throw tooLarge();
            // Up to one byte beyond the ceiling: that byte tells the file is too large.
            bytes.resize(std::min(bytes.size() + 4096, std::max(largestSize, largestSize + 1)));
        }
        const ssize_t got = ::read(fd, bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            throw cannotRead();
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

std::string readWholeFile(const fs::path& path, std::size_t largestSize)
{
    // Without O_NONBLOCK opening a FIFO waits for a writer for ever; for a regular file the
    // flag changes nothing.
    FileDescriptor file(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    struct stat info {};
    if (file.get() < 0 || ::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path.string()));
    return readWholeFile(file.get(), std::min(largestSize, kLargestReadableFile), path.string());
}

void writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            throw BlitzfangError(fehlertext::eaFehler(written == 0 ? EIO : errno));
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

#include "media/MediaFile.h"

#include "platform/BlitzfangError.h"

#include <algorithm>
#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Pieces of a file that reports no size are read in steps of this.
constexpr std::size_t kReadingStep = 64 * 1024;

} // namespace

MediaFile::MediaFile(const std::string& path, std::uint64_t largestSize) : path_(path), largestSize_(largestSize)
{
    // Without O_NONBLOCK opening a FIFO waits for a writer for ever; for a regular file the flag
    // changes nothing, and it is cleared again all the same.
    take(::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
}

MediaFile::MediaFile(int descriptor, const std::string& path, std::uint64_t largestSize)
    : path_(path), largestSize_(largestSize)
{
    take(descriptor);
}

void MediaFile::take(int descriptor)
{
    fd_ = descriptor;
    struct stat info {};
    if (fd_ < 0 || ::fstat(fd_, &info) != 0 || !S_ISREG(info.st_mode) ||
        static_cast<std::uint64_t>(info.st_size) > largestSize_) {
        if (fd_ >= 0)
            ::close(fd_);
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path_));
    }
    ::fcntl(fd_, F_SETFL, ::fcntl(fd_, F_GETFL) & ~O_NONBLOCK);
    size_ = static_cast<std::uint64_t>(info.st_size);
    permissions_ = static_cast<std::filesystem::perms>(info.st_mode & 07777);
}

MediaFile::~MediaFile()
{
    ::close(fd_);
}

long long MediaFile::readInto(std::uint64_t offset, char* into, std::size_t count) const noexcept
{
    std::size_t filled = 0;
    while (filled < count) {
        const ssize_t got = ::pread(fd_, into + filled, count - filled, static_cast<off_t>(offset + filled));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    return static_cast<long long>(filled);
}

std::string MediaFile::readAt(std::uint64_t offset, std::size_t count) const
{
    std::string bytes(count, '\0');
    const long long got = readInto(offset, bytes.data(), count);
    if (got < 0)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path_));
    bytes.resize(static_cast<std::size_t>(got));
    return bytes;
}

std::string MediaFile::readAll() const
{
    // The size seen at the open, and one byte more: a byte beyond the ceiling tells a file that
    // grew too large.
    std::string bytes = readAt(0, static_cast<std::size_t>(size_ + 1));
    while (bytes.size() > size_) {
        if (bytes.size() > largestSize_)
            throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path_));
        const std::string piece =
            readAt(bytes.size(), static_cast<std::size_t>(std::min<std::uint64_t>(kReadingStep, largestSize_ + 1 - bytes.size())));
        if (piece.empty())
            break;
        bytes += piece;
    }
    return bytes;
}

void MediaFile::readPieces(const std::function<void(std::string_view piece)>& take) const
{
    std::string piece(kPieceSize, '\0');
    for (std::uint64_t offset = 0;; offset += piece.size()) {
        piece.resize(kPieceSize);
        const long long got = readInto(offset, piece.data(), piece.size());
        if (got < 0 || offset + static_cast<std::uint64_t>(got) > largestSize_)
            throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(path_));
        if (got == 0)
            return;
        piece.resize(static_cast<std::size_t>(got));
        take(piece);
    }
}

#include "storage/SafeFile.h"

#include "platform/BlitzfangError.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryMarker = ".blitzfang-tmp-";
constexpr std::size_t kRandomPartLength = 6; // mkstemp's XXXXXX

class FileDescriptor {
public:
    explicit FileDescriptor(int fd) : fd_(fd) {}
    ~FileDescriptor() { close(); }
    FileDescriptor(const FileDescriptor&) = delete;
    FileDescriptor& operator=(const FileDescriptor&) = delete;
    int get() const { return fd_; }
    int close()
    {
        const int result = fd_ >= 0 ? ::close(fd_) : 0;
        fd_ = -1;
        return result;
    }

private:
    int fd_;
};

mode_t modeForNewFile(const fs::path& target)
{
    struct stat old {};
    if (::stat(target.c_str(), &old) == 0)
        return old.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

bool writeAll(int fd, std::string_view bytes)
{
    while (!bytes.empty()) {
        const ssize_t written = ::write(fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
    return true;
}

void syncFolder(const fs::path& folder)
{
    // The rename is done; a file system that cannot sync folders still holds the new file.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

} // namespace

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

    std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            // The file may have grown since fstat.
            if (bytes.size() >= static_cast<std::size_t>(largest))
                throw cannotOpen();
            bytes.resize(bytes.size() + 4096);
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

void writeFileAtomically(const fs::path& target, std::string_view bytes, fs::perms ceiling)
{
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temporary =
        (folder / ("." + target.filename().string() + std::string(kTemporaryMarker) + "XXXXXX")).string();

    FileDescriptor file(::mkostemp(temporary.data(), O_CLOEXEC));
    if (file.get() < 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));

    const auto fail = [&](int code) {
        file.close();
        ::unlink(temporary.c_str());
        return BlitzfangError(fehlertext::eaFehler(code));
    };
    if (::fchmod(file.get(), modeForNewFile(target) & static_cast<mode_t>(ceiling)) != 0)
        throw fail(errno);
    if (!writeAll(file.get(), bytes))
        throw fail(errno);
    if (::fsync(file.get()) != 0)
        throw fail(errno);
    if (file.close() != 0)
        throw fail(errno);
    if (::rename(temporary.c_str(), target.c_str()) != 0)
        throw fail(errno);
    syncFolder(folder);
}

bool isLeftoverTemporary(const std::string& fileName)
{
    const auto marker = fileName.rfind(kTemporaryMarker);
    return !fileName.empty() && fileName.front() == '.' && marker != std::string::npos &&
           fileName.size() == marker + kTemporaryMarker.size() + kRandomPartLength;
}

void removeLeftoverTemporaries(const fs::path& folder)
{
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code ignored;
        // Our temporaries are plain files; a link is never followed nor removed.
        if (isLeftoverTemporary(it->path().filename().string()) &&
            it->symlink_status(ignored).type() == fs::file_type::regular)
            fs::remove(it->path(), ignored);
    }
}

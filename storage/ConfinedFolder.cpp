#include "storage/ConfinedFolder.h"

#include "platform/BlitzfangError.h"
#include "platform/FileDescriptor.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <random>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryMarker = ".blitzfang-tmp-";
constexpr std::string_view kTemporaryFolderMarker = ".blitzfang-import-";
constexpr std::size_t kRandomPartLength = 6;
// The longest file name of the file systems the program runs on (NAME_MAX).
constexpr std::size_t kLongestFileName = 255;
constexpr std::size_t kTemporaryTargetPart = kLongestFileName - 1 - kTemporaryMarker.size() - kRandomPartLength;

bool stepByStep = false;

std::vector<std::string> namesOf(std::string_view relative)
{
    std::vector<std::string> names;
    std::size_t start = 0;
    while (start <= relative.size()) {
        std::size_t end = relative.find('/', start);
        if (end == std::string_view::npos)
            end = relative.size();
        const std::string_view name = relative.substr(start, end - start);
        if (name == "..")
            throw BlitzfangError(fehlertext::eaFehler(EXDEV)); // what openat2 says of a way out
        if (!name.empty() && name != ".")
            names.emplace_back(name);
        start = end + 1;
    }
    return names;
}

std::string joined(const std::vector<std::string>& names, std::size_t count)
{
    std::string text;
    for (std::size_t i = 0; i < count; ++i)
        text += (i == 0 ? "" : "/") + names[i];
    return text;
}

EntryKind kindOfMode(mode_t mode)
{
    if (S_ISREG(mode))
        return EntryKind::file;
    if (S_ISDIR(mode))
        return EntryKind::folder;
    if (S_ISLNK(mode))
        return EntryKind::link;
    return EntryKind::other;
}

// The entry `name` of the folder `at` as a folder descriptor; -1 with errno ELOOP for a link,
// ENOTDIR for anything else that is no folder.
int openSubfolder(int at, const std::string& name)
{
    FileDescriptor next(::openat(at, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC));
    struct stat info {};
    if (next.get() < 0 || ::fstat(next.get(), &info) != 0)
        return -1;
    if (!S_ISDIR(info.st_mode)) {
        errno = S_ISLNK(info.st_mode) ? ELOOP : ENOTDIR;
        return -1;
    }
    return next.release();
}

int openWithOpenat2(int at, const std::string& path)
{
    open_how how{};
    how.flags = O_PATH | O_DIRECTORY | O_CLOEXEC;
    how.resolve = RESOLVE_BENEATH | RESOLVE_NO_SYMLINKS;
    for (int attempt = 0;; ++attempt) {
        const long fd = ::syscall(SYS_openat2, at, path.c_str(), &how, sizeof how);
        // A rename elsewhere on the system may make the kernel ask for another try.
        if (fd >= 0 || errno != EAGAIN || attempt == 10)
            return static_cast<int>(fd);
    }
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

// Fresh from the kernel each time: a generator's state would be the same in every forked child.
std::string randomPart()
{
    static constexpr std::string_view kLetters = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned char bytes[kRandomPartLength] = {};
    if (::getrandom(bytes, sizeof bytes, 0) != ssize_t(sizeof bytes)) {
        std::random_device device;
        for (unsigned char& b : bytes)
            b = static_cast<unsigned char>(device());
    }
    std::string part;
    for (unsigned char b : bytes)
        part += kLetters[b % kLetters.size()];
    return part;
}

mode_t newFileMode()
{
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

std::string sizeText(std::size_t bytes)
{
    constexpr std::size_t kMiB = 1024 * 1024;
    if (bytes >= kMiB && bytes % kMiB == 0)
        return std::to_string(bytes / kMiB) + " MiB";
    return std::to_string(bytes) + " Bytes";
}

} // namespace

ConfinedFolder::ConfinedFolder(const fs::path& folder)
{
    std::error_code ec;
    path_ = fs::absolute(folder, ec).lexically_normal();
    if (ec)
        path_ = folder.lexically_normal();
    text_ = path_.string();
    while (!text_.empty() && text_.back() == '/')
        text_.pop_back();
    if (!text_.empty())
        path_ = text_;
    fd_ = ::open(path_.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (fd_ < 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
}

ConfinedFolder::ConfinedFolder(const ConfinedFolder& parent, std::string_view relative)
    : path_(parent.absolute(relative)), text_(parent.absolute(relative))
{
    fd_ = parent.openFolder(namesOf(relative));
    if (fd_ < 0)
        parent.fail(errno, relative, Access::read);
}

ConfinedFolder::~ConfinedFolder()
{
    ::close(fd_);
}

void ConfinedFolder::resolveStepByStep(bool on)
{
    stepByStep = on;
}

std::string ConfinedFolder::absolute(std::string_view relative) const
{
    return relative.empty() ? text_ : text_ + "/" + std::string(relative);
}

std::optional<std::string> ConfinedFolder::relativePathOf(std::string_view absolutePath) const
{
    std::string normal = fs::path(absolutePath).lexically_normal().string();
    while (normal.size() > 1 && normal.back() == '/')
        normal.pop_back();
    const std::string prefix = text_ + "/";
    if (normal.size() <= prefix.size() || normal.compare(0, prefix.size(), prefix) != 0)
        return std::nullopt;
    return normal.substr(prefix.size());
}

int ConfinedFolder::openFolder(const std::vector<std::string>& names) const
{
    if (names.empty())
        return ::openat(fd_, ".", O_PATH | O_DIRECTORY | O_CLOEXEC);
    if (!stepByStep) {
        const int fd = openWithOpenat2(fd_, joined(names, names.size()));
        if (fd >= 0 || errno != ENOSYS)
            return fd;
        stepByStep = true; // a kernel before 5.6
    }
    FileDescriptor current(::openat(fd_, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    for (const std::string& name : names) {
        if (current.get() < 0)
            return -1;
        current = FileDescriptor(openSubfolder(current.get(), name));
    }
    return current.release();
}

void ConfinedFolder::fail(int error, std::string_view relative, Access access) const
{
    if (error == ELOOP) {
        const std::string link = absolute(linkOnTheWay(relative).value_or(std::string(relative)));
        throw BlitzfangError(access == Access::read ? fehlertext::verknuepfungNichtGelesen(link)
                                                     : fehlertext::verknuepfungNichtGeschrieben(link));
    }
    if (access == Access::read)
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(absolute(relative)));
    throw BlitzfangError(fehlertext::eaFehler(error));
}

std::optional<std::string> ConfinedFolder::linkOnTheWay(std::string_view relative) const
{
    const std::vector<std::string> names = namesOf(relative);
    FileDescriptor current(::openat(fd_, ".", O_PATH | O_DIRECTORY | O_CLOEXEC));
    for (std::size_t i = 0; i < names.size() && current.get() >= 0; ++i) {
        struct stat info {};
        if (::fstatat(current.get(), names[i].c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
            return std::nullopt;
        if (S_ISLNK(info.st_mode))
            return joined(names, i + 1);
        current = FileDescriptor(openSubfolder(current.get(), names[i]));
    }
    return std::nullopt;
}

int ConfinedFolder::openForReading(std::string_view relative) const
{
    std::vector<std::string> names = namesOf(relative);
    const std::string name = names.empty() ? "." : names.back();
    if (!names.empty())
        names.pop_back();
    FileDescriptor folder(openFolder(names));
    if (folder.get() < 0)
        fail(errno, relative, Access::read);
    // Without O_NONBLOCK opening a FIFO waits for a writer for ever; a regular file ignores it.
    FileDescriptor file(::openat(folder.get(), name.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat info {};
    if (file.get() < 0)
        fail(errno, relative, Access::read);
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        fail(EINVAL, relative, Access::read);
    return file.release();
}

std::string ConfinedFolder::readFile(std::string_view relative, std::size_t largestSize) const
{
    FileDescriptor file(openForReading(relative, largestSize));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        fail(errno, relative, Access::read);

    // One byte more than the file holds: its end shows without the buffer growing (and copying).
    std::string bytes(static_cast<std::size_t>(info.st_size) + 1, '\0');
    std::size_t filled = 0;
    while (true) {
        if (filled == bytes.size()) {
            // The file has grown since fstat.
            if (bytes.size() > largestSize)
                throw BlitzfangError(fehlertext::dateiZuGross(absolute(relative), sizeText(largestSize)));
            // Up to one byte beyond the ceiling: that byte tells the file is too large.
            bytes.resize(std::min(bytes.size() + 4096, std::max(largestSize, largestSize + 1)));
        }
        const ssize_t got = ::read(file.get(), bytes.data() + filled, bytes.size() - filled);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            fail(errno, relative, Access::read);
        if (got == 0)
            break;
        filled += static_cast<std::size_t>(got);
    }
    bytes.resize(filled);
    return bytes;
}

void ConfinedFolder::writeFile(std::string_view relative, std::string_view bytes, fs::perms ceiling) const
{
    writeFile(relative, [bytes](const std::function<void(std::string_view)>& write) { write(bytes); }, ceiling);
}

void ConfinedFolder::writeFile(std::string_view relative, const BytePieces& pieces, fs::perms ceiling) const
{
    const auto [folder, name, error] = parentForWriting(relative);

    mode_t mode = newFileMode();
    struct stat old {};
    if (::fstatat(folder.get(), name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(old.st_mode))
            fail(ELOOP, relative, Access::write);
        mode = old.st_mode & 07777;
    }
    mode &= static_cast<mode_t>(ceiling);

    std::string temporary;
    FileDescriptor file;
    for (int attempt = 0; file.get() < 0; ++attempt) {
        temporary = temporaryNameFor(name);
        const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
        file = FileDescriptor(::openat(folder.get(), temporary.c_str(), flags, 0600));
        if (file.get() < 0 && (errno != EEXIST || attempt == 100))
            throw BlitzfangError(fehlertext::eaFehler(errno));
    }
    const auto failWith = [&](int code) {
        file.close();
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        return BlitzfangError(fehlertext::eaFehler(code));
    };
    if (::fchmod(file.get(), mode) != 0)
        throw failWith(errno);
    try {
        pieces([&](std::string_view piece) {
            if (!writeAll(file.get(), piece))
                throw BlitzfangError(fehlertext::eaFehler(errno));
        });
    } catch (...) {
        file.close();
        ::unlinkat(folder.get(), temporary.c_str(), 0);
        throw;
    }
    if (::fsync(file.get()) != 0 || file.close() != 0)
        throw failWith(errno);
    if (::renameat(folder.get(), temporary.c_str(), folder.get(), name.c_str()) != 0)
        throw failWith(errno);
    // The rename is done; a file system that cannot sync folders still holds the new file.
    FileDescriptor synced(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (synced.get() >= 0)
        ::fsync(synced.get());
}

void ConfinedFolder::createFolder(std::string_view relative) const
{
    std::vector<std::string> names = namesOf(relative);
    if (names.empty())
        return;
    const std::string name = names.back();
    names.pop_back();
    FileDescriptor folder(openFolder(names));
    if (folder.get() < 0)
        fail(errno, relative, Access::write);
    if (::mkdirat(folder.get(), name.c_str(), 0777) == 0)
        return;
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && ::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(info.st_mode))
            return;
        if (S_ISLNK(info.st_mode))
            fail(ELOOP, relative, Access::write);
    }
    fail(error, relative, Access::write);
}

ConfinedFolder::Parent ConfinedFolder::parentOf(std::string_view relative, int errorForRoot) const
{
    std::vector<std::string> names = namesOf(relative);
    if (names.empty())
        throw BlitzfangError(fehlertext::eaFehler(errorForRoot));
    Parent parent;
    parent.name = names.back();
    names.pop_back();
    parent.folder = FileDescriptor(openFolder(names));
    parent.error = parent.folder ? 0 : errno;
    return parent;
}

ConfinedFolder::Parent ConfinedFolder::parentForWriting(std::string_view relative) const
{
    Parent parent = parentOf(relative, EISDIR);
    if (!parent.folder)
        fail(parent.error, relative, Access::write);
    return parent;
}

bool ConfinedFolder::removeFile(std::string_view relative) const
{
    return removeEntry(relative, false);
}

bool ConfinedFolder::removeEmptyFolder(std::string_view relative) const
{
    return removeEntry(relative, true);
}

bool ConfinedFolder::removeEntry(std::string_view relative, bool folderWanted) const
{
    const auto [folder, name, error] = parentOf(relative, folderWanted ? EBUSY : EISDIR);
    struct stat info {};
    if (!folder && error != ENOENT)
        fail(error, relative, Access::write);
    if (folder.get() < 0 || ::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return false;
    if (S_ISDIR(info.st_mode) != folderWanted)
        throw BlitzfangError(fehlertext::eaFehler(folderWanted ? ENOTDIR : EISDIR));
    if (::unlinkat(folder.get(), name.c_str(), folderWanted ? AT_REMOVEDIR : 0) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
    return true;
}

void ConfinedFolder::rename(std::string_view from, std::string_view to) const
{
    std::vector<std::string> fromNames = namesOf(from);
    std::vector<std::string> toNames = namesOf(to);
    if (fromNames.empty() || toNames.empty())
        throw BlitzfangError(fehlertext::eaFehler(EBUSY));
    const std::string fromName = fromNames.back();
    const std::string toName = toNames.back();
    fromNames.pop_back();
    toNames.pop_back();
    FileDescriptor fromFolder(openFolder(fromNames));
    if (fromFolder.get() < 0)
        fail(errno, from, Access::write);
    FileDescriptor toFolder(openFolder(toNames));
    if (toFolder.get() < 0)
        fail(errno, to, Access::write);
    struct stat info {};
    if (::fstatat(toFolder.get(), toName.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISLNK(info.st_mode))
        fail(ELOOP, to, Access::write);
    if (::renameat(fromFolder.get(), fromName.c_str(), toFolder.get(), toName.c_str()) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
}

std::vector<FolderEntry> ConfinedFolder::list(std::string_view relative) const
{
    FileDescriptor folder(openFolder(namesOf(relative)));
    if (folder.get() < 0)
        fail(errno, relative, Access::read);
    FileDescriptor readable(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    DIR* entries = readable.get() >= 0 ? ::fdopendir(readable.get()) : nullptr;
    if (!entries)
        fail(errno, relative, Access::read);
    readable.release(); // closedir closes it
    std::vector<FolderEntry> found;
    while (const dirent* entry = ::readdir(entries)) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..")
            continue;
        EntryKind kind = EntryKind::other;
        switch (entry->d_type) {
        case DT_REG: kind = EntryKind::file; break;
        case DT_DIR: kind = EntryKind::folder; break;
        case DT_LNK: kind = EntryKind::link; break;
        case DT_UNKNOWN: {
            struct stat info {};
            kind = ::fstatat(::dirfd(entries), entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0
                       ? kindOfMode(info.st_mode)
                       : EntryKind::missing;
            break;
        }
        default: break;
        }
        if (kind != EntryKind::missing)
            found.push_back({std::string(name), kind});
    }
    ::closedir(entries);
    return found;
}

EntryKind ConfinedFolder::kindOf(std::string_view relative) const
{
    return factsOf(relative).kind;
}

EntryFacts ConfinedFolder::factsOf(std::string_view relative) const
{
    std::vector<std::string> names = namesOf(relative);
    if (names.empty())
        return {EntryKind::folder};
    const std::string name = names.back();
    names.pop_back();
    FileDescriptor folder(openFolder(names));
    if (folder.get() < 0 && errno == ELOOP)
        fail(ELOOP, relative, Access::read);
    struct stat info {};
    if (folder.get() < 0 || ::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    return {kindOfMode(info.st_mode), static_cast<std::uint64_t>(info.st_size), info.st_mtim};
}

void ConfinedFolder::setModified(std::string_view relative, const timespec& when) const
{
    const auto [folder, name, error] = parentForWriting(relative);
    const timespec times[2] = {{0, UTIME_OMIT}, when};
    if (::utimensat(folder.get(), name.c_str(), times, AT_SYMLINK_NOFOLLOW) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
}

int ConfinedFolder::openForLocking(std::string_view relative) const
{
    const auto [folder, name, error] = parentForWriting(relative);
    FileDescriptor file(
        ::openat(folder.get(), name.c_str(), O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600));
    struct stat info {};
    if (file.get() < 0)
        fail(errno, relative, Access::write);
    if (::fstat(file.get(), &info) != 0 || !S_ISREG(info.st_mode))
        throw BlitzfangError(fehlertext::dateiKannNichtGeoeffnetWerden(absolute(relative)));
    return file.release();
}

int ConfinedFolder::createFile(std::string_view relative) const
{
    const auto [folder, name, error] = parentForWriting(relative);
    const int fd = ::openat(folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, newFileMode());
    if (fd < 0)
        fail(errno, relative, Access::write);
    return fd;
}

void ConfinedFolder::syncFileSystem() const
{
    FileDescriptor folder(::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() < 0 || ::syncfs(folder.get()) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
}

void ConfinedFolder::syncFolder() const
{
    FileDescriptor folder(::openat(fd_, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.get() >= 0)
        ::fsync(folder.get());
}

int ConfinedFolder::openForReading(std::string_view relative, std::size_t largestSize) const
{
    FileDescriptor file(openForReading(relative));
    struct stat info {};
    if (::fstat(file.get(), &info) != 0)
        fail(errno, relative, Access::read);
    if (static_cast<std::uintmax_t>(info.st_size) > largestSize)
        throw BlitzfangError(fehlertext::dateiZuGross(absolute(relative), sizeText(largestSize)));
    return file.release();
}

bool ConfinedFolder::removeTree(std::string_view relative) const
{
    if (kindOf(relative) == EntryKind::missing)
        return false;
    // Depth first without recursion: a folder goes once everything in it has gone.
    std::vector<std::pair<std::string, bool>> pending = {{std::string(relative), false}};
    while (!pending.empty()) {
        auto [path, listed] = pending.back();
        if (kindOf(path) != EntryKind::folder) {
            removeFile(path);
            pending.pop_back();
        } else if (listed) {
            removeEmptyFolder(path);
            pending.pop_back();
        } else {
            pending.back().second = true;
            for (const FolderEntry& entry : list(path))
                pending.emplace_back(path + "/" + entry.name, false);
        }
    }
    return true;
}

std::string ConfinedFolder::temporaryNameFor(std::string_view fileName)
{
    return "." + std::string(fileName.substr(0, kTemporaryTargetPart)) + std::string(kTemporaryMarker) + randomPart();
}

std::string ConfinedFolder::temporaryFolderName()
{
    return std::string(kTemporaryFolderMarker) + randomPart();
}

std::string ConfinedFolder::uniqueName(std::string_view prefix)
{
    return std::string(prefix) + randomPart();
}

bool ConfinedFolder::isTemporaryFolderName(std::string_view name)
{
    return name.size() == kTemporaryFolderMarker.size() + kRandomPartLength && name.starts_with(kTemporaryFolderMarker) &&
           std::all_of(name.begin() + kTemporaryFolderMarker.size(), name.end(),
                       [](char c) { return std::isalnum(static_cast<unsigned char>(c)); });
}

bool ConfinedFolder::isTemporaryName(std::string_view fileName)
{
    const auto marker = fileName.rfind(kTemporaryMarker);
    return !fileName.empty() && fileName.front() == '.' && marker != std::string_view::npos &&
           fileName.size() == marker + kTemporaryMarker.size() + kRandomPartLength;
}

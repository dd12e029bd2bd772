#include "storage/ConfinedFolder.h"

#include "platform/BlitzfangError.h"
#include "platform/FileDescriptor.h"
#include "storage/SafeFile.h"
#include "storage/ScenarioNames.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <sys/random.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <random>
#include <set>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporaryMarker = ".blitzfang-tmp-";
constexpr std::string_view kTemporaryFolderMarker = ".blitzfang-import-";
constexpr std::size_t kRandomPartLength = 6;
// The longest file name of the file systems the program runs on (NAME_MAX).
constexpr std::size_t kLongestFileName = 255;
constexpr std::size_t kTemporaryTargetPart = kLongestFileName - 1 - kTemporaryMarker.size() - kRandomPartLength;

// Set once openat2 turned out unavailable, or by tests; any thread may resolve paths.
std::atomic<bool> stepByStep = false;

// What openat2 answers where it cannot be used: a kernel before 5.6 (ENOSYS), a sandbox whose
// seccomp filter refuses it (EPERM, some say ENOSYS or EACCES), a kernel that lacks a flag
// (EINVAL, E2BIG). Walking name by name is as safe, and gives any real error itself.
bool openat2Unavailable(int error)
{
    return error == ENOSYS || error == EPERM || error == EACCES || error == EINVAL || error == E2BIG ||
           error == EOPNOTSUPP;
}

std::vector<std::string> namesOf(std::string_view relative)
{
    std::vector<std::string> names;
    for (std::string& name : pathParts(relative, "/")) {
        if (name == "..")
            throw BlitzfangError(fehlertext::eaFehler(EXDEV)); // what openat2 says of a way out
        if (!name.empty() && name != ".")
            names.push_back(std::move(name));
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

// Syncs `count` files, each opened by `open`. All are set on their way to the disk first: the
// syncs then mostly find them there, and one journal commit serves many of them (a sync each in
// turn takes some milliseconds a file).
void syncEach(std::size_t count, const std::function<FileDescriptor(std::size_t)>& open)
{
    for (const bool wait : {false, true}) {
        for (std::size_t i = 0; i < count; ++i) {
            const FileDescriptor file = open(i);
            const int fd = file.get();
            if (!file || (wait ? ::fsync(fd) : ::sync_file_range(fd, 0, 0, SYNC_FILE_RANGE_WRITE)) != 0)
                throw WriteFailure(fehlertext::eaFehler(errno));
        }
    }
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
        if (fd >= 0 || !openat2Unavailable(errno))
            return fd;
        stepByStep = true;
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
    throw WriteFailure(fehlertext::eaFehler(error));
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
    return readWholeFile(file.get(), largestSize, absolute(relative));
}

void ConfinedFolder::writeFile(std::string_view relative, std::string_view bytes, fs::perms ceiling) const
{
    writeFile(relative, [bytes](const std::function<void(std::string_view)>& write) { write(bytes); }, ceiling);
}

void ConfinedFolder::writeFile(std::string_view relative, const BytePieces& pieces, fs::perms ceiling) const
{
    StagedFiles file(*this);
    file.write(relative, pieces, ceiling);
    file.commit();
}

std::string ConfinedFolder::writeTemporary(const Parent& parent, std::string_view relative, const BytePieces& pieces,
                                           fs::perms ceiling) const
{
    const int folder = parent.folder.get();
    // A new file gets the bits of any new file (the umask applies), an existing one keeps its
    // own; never more than `ceiling`.
    std::optional<mode_t> kept;
    struct stat old {};
    if (::fstatat(folder, parent.name.c_str(), &old, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISLNK(old.st_mode))
            fail(ELOOP, relative, Access::write);
        kept = old.st_mode & 07777 & static_cast<mode_t>(ceiling);
    }
    const mode_t created = kept.value_or(0666 & static_cast<mode_t>(ceiling));

    std::string temporary;
    FileDescriptor file;
    for (int attempt = 0; file.get() < 0; ++attempt) {
        temporary = temporaryNameFor(parent.name);
        const int flags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
        file = FileDescriptor(::openat(folder, temporary.c_str(), flags, created));
        if (file.get() < 0 && (errno != EEXIST || attempt == 100))
            throw WriteFailure(fehlertext::eaFehler(errno));
    }
    try {
        // The umask may have taken bits the old file had: they come back, on the descriptor.
        if (kept && ::fchmod(file.get(), *kept) != 0)
            throw WriteFailure(fehlertext::eaFehler(errno));
        pieces([&](std::string_view piece) {
            try {
                writeAll(file.get(), piece);
            } catch (const BlitzfangError& error) {
                throw WriteFailure(error.what());
            }
        });
        if (file.close() != 0)
            throw WriteFailure(fehlertext::eaFehler(errno));
    } catch (...) {
        file.close();
        ::unlinkat(folder, temporary.c_str(), 0);
        throw;
    }
    return temporary;
}

StagedFiles::StagedFiles(const ConfinedFolder& folder) : folder_(folder) {}

StagedFiles::~StagedFiles()
{
    for (const Staged& file : staged_)
        ::unlinkat(folders_.at(file.folder).get(), file.temporary.c_str(), 0);
    for (auto it = createdFolders_.rbegin(); it != createdFolders_.rend(); ++it) {
        try {
            folder_.removeEmptyFolder(*it);
        } catch (const BlitzfangError&) {
            // Something else was put there meanwhile: it stays.
        }
    }
}

void StagedFiles::createFolder(std::string_view relative)
{
    if (folder_.createFolder(relative))
        createdFolders_.emplace_back(relative);
}

void StagedFiles::write(std::string_view relative, std::string_view bytes, fs::perms ceiling)
{
    write(relative, [bytes](const std::function<void(std::string_view)>& take) { take(bytes); }, ceiling);
}

void StagedFiles::write(std::string_view relative, const BytePieces& pieces, fs::perms ceiling)
{
    ConfinedFolder::Parent parent = folder_.parentForWriting(relative);
    const std::string temporary = folder_.writeTemporary(parent, relative, pieces, ceiling);
    const auto [known, isNew] = folders_.try_emplace(parent.path, std::move(parent.folder));
    const auto [place, first] = places_.try_emplace(parent.path + "/" + parent.name, staged_.size());
    if (first) {
        staged_.push_back({parent.path, temporary, parent.name});
        return;
    }
    // The same file written again: the later bytes count.
    std::string& earlier = staged_[place->second].temporary;
    ::unlinkat(known->second.get(), earlier.c_str(), 0);
    earlier = temporary;
}

void StagedFiles::commit()
{
    // Every byte on the disk before any file takes its place: a crash leaves old or new files.
    syncEach(staged_.size(), [&](std::size_t i) {
        return FileDescriptor(::openat(folders_.at(staged_[i].folder).get(), staged_[i].temporary.c_str(),
                                       O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    });
    // In the order written; a rename fails only on a broken file system, and what is renamed
    // before then stays in place.
    for (std::size_t i = 0; i < staged_.size(); ++i) {
        const int folder = folders_.at(staged_[i].folder).get();
        if (::renameat(folder, staged_[i].temporary.c_str(), folder, staged_[i].name.c_str()) != 0) {
            const int error = errno;
            staged_.erase(staged_.begin(), staged_.begin() + static_cast<std::ptrdiff_t>(i));
            throw WriteFailure(fehlertext::eaFehler(error));
        }
    }
    staged_.clear();
    places_.clear();
    createdFolders_.clear();
    // The renames done; a file system that cannot sync folders still holds the new files.
    for (const auto& [path, folder] : folders_) {
        FileDescriptor synced(::openat(folder.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (synced.get() >= 0)
            ::fsync(synced.get());
    }
}

bool ConfinedFolder::createFolder(std::string_view relative) const
{
    std::vector<std::string> names = namesOf(relative);
    if (names.empty())
        return false;
    const std::string name = names.back();
    names.pop_back();
    FileDescriptor folder(openFolder(names));
    if (folder.get() < 0)
        fail(errno, relative, Access::write);
    if (::mkdirat(folder.get(), name.c_str(), 0777) == 0)
        return true;
    const int error = errno;
    struct stat info {};
    if (error == EEXIST && ::fstatat(folder.get(), name.c_str(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        if (S_ISDIR(info.st_mode))
            return false;
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
    parent.path = joined(names, names.size());
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
    const auto [folder, path, name, error] = parentOf(relative, folderWanted ? EBUSY : EISDIR);
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
    return {kindOfMode(info.st_mode), static_cast<std::uint64_t>(info.st_size)};
}

int ConfinedFolder::createFile(std::string_view relative) const
{
    const auto [folder, path, name, error] = parentForWriting(relative);
    const int fd = ::openat(folder.get(), name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    if (fd < 0)
        fail(errno, relative, Access::write);
    return fd;
}

void ConfinedFolder::syncFiles(const std::vector<std::string>& written) const
{
    syncEach(written.size(), [&](std::size_t i) { return FileDescriptor(openForReading(written[i])); });
    std::set<std::string> folders = {""};
    for (const std::string& file : written) {
        const std::vector<std::string> names = namesOf(file);
        for (std::size_t depth = 1; depth < names.size(); ++depth)
            folders.insert(joined(names, depth));
    }
    for (const std::string& folder : folders) {
        FileDescriptor path(openFolder(namesOf(folder)));
        FileDescriptor readable(path ? ::openat(path.get(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC) : -1);
        if (!readable || ::fsync(readable.get()) != 0)
            throw WriteFailure(fehlertext::eaFehler(errno));
    }
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
        throw BlitzfangError(fehlertext::dateiZuGross(absolute(relative), fehlertext::sizeText(largestSize)));
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

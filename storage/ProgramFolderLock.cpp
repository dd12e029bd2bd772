#include "storage/ProgramFolderLock.h"

#include "platform/BlitzfangError.h"
#include "platform/FileDescriptor.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>

#include <cerrno>
#include <vector>

namespace {

struct HeldLock {
    dev_t device;
    ino_t folder;
    FileDescriptor descriptor;
};

// The locks this program holds, open until it ends: a second descriptor of the same folder
// would be refused by the lock of the first.
std::vector<HeldLock>& heldLocks()
{
    static std::vector<HeldLock> locks;
    return locks;
}

// A folder removed since has no name left, and the system may give its number to a new one.
bool stillInPlace(const FileDescriptor& folder)
{
    struct stat info {};
    return ::fstat(folder.get(), &info) == 0 && info.st_nlink > 0;
}

} // namespace

bool holdProgramFolder(const ConfinedFolder& folder)
{
    // flock needs a descriptor opened for reading; the folder's own is a path descriptor.
    FileDescriptor readable(::openat(folder.descriptor(), ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    struct stat self {};
    if (!readable || ::fstat(readable.get(), &self) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
    std::vector<HeldLock>& locks = heldLocks();
    for (auto it = locks.begin(); it != locks.end(); ++it) {
        if (it->device != self.st_dev || it->folder != self.st_ino)
            continue;
        if (stillInPlace(it->descriptor))
            return true;
        locks.erase(it);
        break;
    }
    if (::flock(readable.get(), LOCK_EX | LOCK_NB) == 0) {
        locks.push_back({self.st_dev, self.st_ino, std::move(readable)});
        return true;
    }
    if (errno == EWOULDBLOCK)
        return false;
    throw BlitzfangError(fehlertext::eaFehler(errno));
}

bool holdProgramFolder(const std::filesystem::path& programFolder)
{
    return holdProgramFolder(ConfinedFolder(programFolder));
}

#include "storage/ProgramFolderLock.h"

#include "platform/BlitzfangError.h"

#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <vector>

namespace {

struct HeldLock {
    dev_t device;
    ino_t folder;
    int fd;
};

// The locks this program holds, open until it ends.
std::vector<HeldLock>& heldLocks()
{
    static std::vector<HeldLock> locks;
    return locks;
}

// Still the folder's lock file: not removed or replaced since it was locked.
bool isCurrentLockFile(const ConfinedFolder& folder, int fd)
{
    struct stat held {}, there {};
    return ::fstat(fd, &held) == 0 && held.st_nlink > 0 &&
           ::fstatat(folder.descriptor(), kLockFileName, &there, AT_SYMLINK_NOFOLLOW) == 0 &&
           held.st_dev == there.st_dev && held.st_ino == there.st_ino;
}

} // namespace

bool holdProgramFolder(const ConfinedFolder& folder)
{
    struct stat self {};
    if (::fstat(folder.descriptor(), &self) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
    std::vector<HeldLock>& locks = heldLocks();
    for (auto it = locks.begin(); it != locks.end(); ++it) {
        if (it->device != self.st_dev || it->folder != self.st_ino)
            continue;
        if (isCurrentLockFile(folder, it->fd))
            return true;
        ::close(it->fd); // a folder removed since, whose number the system gave again
        locks.erase(it);
        break;
    }
    const int fd = folder.openForLocking(kLockFileName);
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0) {
        locks.push_back({self.st_dev, self.st_ino, fd});
        return true;
    }
    const int error = errno;
    ::close(fd);
    if (error == EWOULDBLOCK)
        return false;
    throw BlitzfangError(fehlertext::eaFehler(error));
}

bool holdProgramFolder(const std::filesystem::path& programFolder)
{
    return holdProgramFolder(ConfinedFolder(programFolder));
}

#pragma once
// The program folder, held open as a descriptor. Every write, copy target, rename, folder
// creation, removal and listing inside the program folder, and every read of the program's own
// files (setup.cfg, scenario files, help texts), goes through it: a path below the folder is
// resolved from the descriptor, never leaves the folder and follows no link. A link on the way
// (a scenario folder, its "bilder" or "sound", a help text, a .cfg) fails the operation with a
// German message that names it, and nothing is read or written through it. The folder itself
// may be reached through links: that is the player's business.
//
// Relative paths name entries below the folder with "/" between the names; the empty path is
// the folder itself, "." is skipped and ".." is refused.

#include "platform/BlitzfangError.h"
#include "platform/FileDescriptor.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// A file of the program folder that the system refuses to write (a full disk, a file size limit,
// no permission): unlike a source that cannot be read, it stops a whole save.
class WriteFailure : public BlitzfangError {
public:
    using BlitzfangError::BlitzfangError;
};

// What an entry is as lstat sees it: a link is never looked through.
enum class EntryKind { missing, file, folder, link, other };

struct FolderEntry {
    std::string name;
    EntryKind kind;
};

// What lstat says of an entry: its kind, and for a file its size.
struct EntryFacts {
    EntryKind kind = EntryKind::missing;
    std::uint64_t size = 0;
};

// Hands a file's bytes piece by piece to `write`, which throws when they cannot be written; a
// source that cannot give them throws as well.
using BytePieces = std::function<void(const std::function<void(std::string_view piece)>& write)>;

class ConfinedFolder {
public:
    // Opens `folder` once. Throws BlitzfangError("E/A-Fehler <errno>") when it cannot.
    explicit ConfinedFolder(const std::filesystem::path& folder);
    // The folder `relative` below `parent`, reached as every path below it is (no link on the
    // way); throws like readFile when it cannot be opened.
    ConfinedFolder(const ConfinedFolder& parent, std::string_view relative);
    ~ConfinedFolder();
    ConfinedFolder(const ConfinedFolder&) = delete;
    ConfinedFolder& operator=(const ConfinedFolder&) = delete;

    // The folder as opened: absolute, without a trailing separator.
    const std::filesystem::path& path() const { return path_; }
    // Its text, which the settings' paths begin with ("" for the root folder).
    const std::string& text() const { return text_; }
    // The text of the absolute path of `relative`.
    std::string absolute(std::string_view relative) const;
    // The relative path that an absolute path text names below the folder, taken lexically
    // ("/prog/Mond/./bilder/a.bmp" gives "Mond/bilder/a.bmp"); nothing for a path outside it
    // or the folder itself.
    std::optional<std::string> relativePathOf(std::string_view absolutePath) const;

    // The bytes of a regular file, never waiting on a FIFO. Throws BlitzfangError naming the
    // file when it is a link or lies behind one, is larger than `largestSize`, or is missing,
    // no regular file or unreadable.
    std::string readFile(std::string_view relative, std::size_t largestSize) const;
    // Replaces `relative` by `bytes` so that a failure or a crash at any moment leaves either the
    // old or the new file: a temporary file beside it gets every byte and is synced, renamed over
    // the target, and the folder is synced. The target keeps its permissions, never more than
    // `ceiling`. A link at the target or on the way is refused before anything is written; any
    // failure removes the temporary, leaves the old file as it was and throws BlitzfangError
    // ("E/A-Fehler <errno>" for the system's errors).
    void writeFile(std::string_view relative, std::string_view bytes,
                   std::filesystem::perms ceiling = std::filesystem::perms::mask) const;
    // The same with bytes that come in pieces, so that a large file is never held whole. Whatever
    // `pieces` throws removes the temporary and leaves the old file as it was.
    void writeFile(std::string_view relative, const BytePieces& pieces,
                   std::filesystem::perms ceiling = std::filesystem::perms::mask) const;
    // A descriptor of the regular file `relative`, opened for reading without waiting on a FIFO;
    // the caller closes it. Throws like readFile.
    int openForReading(std::string_view relative) const;
    // Creates a folder; one that exists already is fine, anything else in its place throws.
    // True when it was created.
    bool createFolder(std::string_view relative) const;
    // Removes a file or a link (the link, never what it points to), never a folder. False when
    // there is nothing to remove; throws BlitzfangError when it cannot.
    bool removeFile(std::string_view relative) const;
    // Removes an empty folder. False when there is nothing; throws when it cannot (not empty,
    // no folder).
    bool removeEmptyFolder(std::string_view relative) const;
    // Renames an entry; a link in the new name's place is refused.
    void rename(std::string_view from, std::string_view to) const;
    // The entries of a folder in the order the file system lists them, without "." and "..".
    std::vector<FolderEntry> list(std::string_view relative = {}) const;
    // What `relative` is. A link on the way to it throws.
    EntryKind kindOf(std::string_view relative) const;
    // The same with a file's size.
    EntryFacts factsOf(std::string_view relative) const;
    // The first entry on the way to `relative`, itself included, that is a link ("Mond/sound");
    // nothing when there is none.
    std::optional<std::string> linkOnTheWay(std::string_view relative) const;

    // Many files written at once (a scenario package unpacked into a temporary folder): each is
    // created new, never replacing anything, and nothing is synced until syncFiles.
    // A descriptor of the new regular file `relative`, open for writing with the permission bits
    // of a new file; the caller writes and closes it. Throws like writeFile, and for a name that
    // exists already.
    int createFile(std::string_view relative) const;
    // Waits until the files `written` (made with createFile) and the folders that hold them are
    // on the disk: only they are flushed, never the rest of the file system, whose other
    // programs' data could keep the wait going for seconds.
    void syncFiles(const std::vector<std::string>& written) const;
    // Syncs the folder's own entries (after a rename into it).
    void syncFolder() const;
    // A descriptor of the regular file `relative`, open for reading, never waiting on a FIFO;
    // the caller closes it. Throws like readFile.
    int openForReading(std::string_view relative, std::size_t largestSize) const;
    // Removes `relative` with everything in it: a folder's own files and folders, a link as a
    // link; nothing behind a link is touched. False when there is nothing; throws BlitzfangError
    // when something cannot be removed.
    bool removeTree(std::string_view relative) const;

    // The folder's own descriptor (opened with O_PATH).
    int descriptor() const { return fd_; }

    // True for the name of a temporary file of writeFile: "." + the target's name (its first
    // 233 bytes) + ".blitzfang-tmp-" + 6 letters or digits. At most 255 bytes, whatever the
    // target's name.
    static bool isTemporaryName(std::string_view fileName);
    // A fresh name of that kind for a temporary file that replaces `fileName`.
    static std::string temporaryNameFor(std::string_view fileName);
    // A fresh name for a temporary folder (".blitzfang-import-" + 6 letters or digits): a
    // package is unpacked into one and renamed into place, and a scenario folder it replaces
    // is moved to one until it is removed. The start-up cleaning removes what a crash left.
    static std::string temporaryFolderName();
    // `prefix` followed by 6 random letters or digits: a name no other run picks.
    static std::string uniqueName(std::string_view prefix);
    static bool isTemporaryFolderName(std::string_view name);

    // Tests: resolve paths component by component, as on a kernel without openat2.
    static void resolveStepByStep(bool on);

private:
    friend class StagedFiles;
    enum class Access { read, write };
    int openFolder(const std::vector<std::string>& names) const;
    // The folder that holds the last name of `relative`, and that name; without the folder,
    // `error` says why. The root itself has no parent: BlitzfangError with `errorForRoot`.
    struct Parent {
        FileDescriptor folder;
        std::string path; // relative, "" for the folder itself
        std::string name;
        int error = 0;
    };
    Parent parentOf(std::string_view relative, int errorForRoot) const;
    // The same for writing there: a folder that cannot be opened fails with the write message.
    Parent parentForWriting(std::string_view relative) const;
    // The bytes of `pieces` in a new temporary file beside `parent.name`, closed (not yet
    // synced): its name. Any failure removes it; the system's refusals throw WriteFailure.
    std::string writeTemporary(const Parent& parent, std::string_view relative, const BytePieces& pieces,
                               std::filesystem::perms ceiling) const;
    // A file (or, with `folderWanted`, an empty folder) removed; false when it is missing.
    bool removeEntry(std::string_view relative, bool folderWanted) const;
    [[noreturn]] void fail(int error, std::string_view relative, Access access) const;

    std::filesystem::path path_;
    std::string text_;
    int fd_ = -1;
};

// Files written as one, as a save writes its copies, help text, scenario file and setup file:
// each goes into a temporary file beside its place, and commit() syncs them all, puts them in
// place and syncs their folders. Until then no file has changed: a failure while writing, or a
// batch dropped without commit, removes every temporary and every folder the batch created that
// is still empty, and leaves every file as it was.
class StagedFiles {
public:
    explicit StagedFiles(const ConfinedFolder& folder);
    ~StagedFiles();
    StagedFiles(const StagedFiles&) = delete;
    StagedFiles& operator=(const StagedFiles&) = delete;

    const ConfinedFolder& folder() const { return folder_; }
    // ConfinedFolder::createFolder, undone when the batch is dropped.
    void createFolder(std::string_view relative);
    // ConfinedFolder::writeFile into a temporary; the same file written again replaces the earlier
    // bytes. A link at the place or on the way is refused before anything is written.
    void write(std::string_view relative, std::string_view bytes,
               std::filesystem::perms ceiling = std::filesystem::perms::mask);
    void write(std::string_view relative, const BytePieces& pieces,
               std::filesystem::perms ceiling = std::filesystem::perms::mask);
    // Syncs every temporary, renames each over its file in the order written, then syncs each
    // folder once.
    void commit();

private:
    struct Staged {
        std::string folder; // the key of folders_
        std::string temporary;
        std::string name;
    };
    const ConfinedFolder& folder_;
    std::map<std::string, FileDescriptor> folders_; // each folder written to, opened once
    std::vector<Staged> staged_;
    std::unordered_map<std::string, std::size_t> places_; // folder and name -> its index in staged_
    std::vector<std::string> createdFolders_;
};

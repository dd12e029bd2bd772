#pragma once
// ZIP archives through libarchive, for scenario packages. Entry names are UTF-8 whatever the
// program's locale; names that an archive does not mark as UTF-8 are read as CP437. Plain C++:
// no Qt.

#include "storage/ConfinedFolder.h"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

struct archive;

// Reads a ZIP archive from an open regular file, from its start. The archive's directory is
// read first and held in memory by libarchive: the bytes read for it are bounded, so a directory
// claiming millions of entries is refused before it takes the memory. Every failure throws
// BlitzfangError with a German reason (no file name: the caller names the package).
class ZipReader {
public:
    ZipReader(int fd, std::uint64_t directoryBudget);
    ~ZipReader();
    ZipReader(const ZipReader&) = delete;
    ZipReader& operator=(const ZipReader&) = delete;

    struct Entry {
        std::string name; // UTF-8, as the archive has it
        EntryKind kind = EntryKind::other;
        bool encrypted = false;
        // The unpacked size the archive's directory claims: the reading that follows holds it to it.
        std::optional<std::uint64_t> claimedSize;
    };
    // The next entry; false after the last one.
    bool next(Entry& entry);
    // The next piece of the current entry's data as unpacked; empty at its end. The piece stays
    // valid until the next call.
    std::string_view read();

    // The reasons, in German.
    static const std::string kBeschaedigt;
    static const std::string kZuVieleEintraege;

private:
    struct Source;
    archive* archive_;
    std::unique_ptr<Source> source_;
    std::uint64_t dataOffset_ = 0;
};

// Writes a ZIP archive to an open file. Throws BlitzfangError ("E/A-Fehler <errno>") when it
// cannot write.
class ZipWriter {
public:
    explicit ZipWriter(int fd);
    ~ZipWriter();
    ZipWriter(const ZipWriter&) = delete;
    ZipWriter& operator=(const ZipWriter&) = delete;

    void addFolder(const std::string& name);
    // Starts a file entry of `size` bytes, deflated or stored as it is.
    void beginFile(const std::string& name, std::uint64_t size, bool compressed);
    void write(std::string_view bytes);
    // Writes the archive's directory. Without it the archive is incomplete.
    void finish();

private:
    archive* archive_;
};

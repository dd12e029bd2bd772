#include "package/ZipArchive.h"

#include "package/ArchiveLibrary.h"
#include "platform/BlitzfangError.h"

#include <cerrno>
#include <clocale>
#include <locale.h>
#include <unistd.h>

namespace {

constexpr std::size_t kReadBlock = 256 * 1024;

// Loaded at the first package; throws when the system lacks it.
const ArchiveLibrary& zip()
{
    return archiveLibrary();
}

// libarchive converts names between the archive's UTF-8 and the locale's character set; in the
// "C" locale of a test or a bare shell it cannot convert an umlaut. While it works on names this
// thread uses a UTF-8 locale (the program's own texts are UTF-8 throughout).
class Utf8Names {
public:
    Utf8Names()
    {
        static const locale_t utf8 = ::newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
        if (utf8)
            previous_ = ::uselocale(utf8);
    }
    ~Utf8Names()
    {
        if (previous_)
            ::uselocale(previous_);
    }
    Utf8Names(const Utf8Names&) = delete;
    Utf8Names& operator=(const Utf8Names&) = delete;

private:
    locale_t previous_ = locale_t(nullptr);
};

EntryKind kindOf(archive_entry* entry)
{
    if (zip().archive_entry_hardlink(entry))
        return EntryKind::link;
    switch (zip().archive_entry_filetype(entry)) {
    case AE_IFREG: return EntryKind::file;
    case AE_IFDIR: return EntryKind::folder;
    case AE_IFLNK: return EntryKind::link;
    default: return EntryKind::other;
    }
}

} // namespace

const std::string ZipReader::kBeschaedigt = "es ist kein vollständiges ZIP-Archiv (beschädigt oder abgeschnitten).";
const std::string ZipReader::kZuVieleEintraege = "es hat mehr Einträge, als ein Szenario haben kann.";

// The file as libarchive reads it, counting what the directory costs.
struct ZipReader::Source {
    int fd;
    std::uint64_t budget;
    bool counting = true;
    bool overBudget = false;
    std::uint64_t delivered = 0;
    std::string buffer = std::string(kReadBlock, '\0');

    static la_ssize_t read(archive*, void* data, const void** block)
    {
        auto& source = *static_cast<Source*>(data);
        ssize_t got;
        do {
            got = ::read(source.fd, source.buffer.data(), source.buffer.size());
        } while (got < 0 && errno == EINTR);
        *block = source.buffer.data();
        if (got > 0 && source.counting && (source.delivered += std::uint64_t(got)) > source.budget) {
            source.overBudget = true;
            return ARCHIVE_FATAL;
        }
        return got;
    }
    static la_int64_t seek(archive*, void* data, la_int64_t offset, int whence)
    {
        const off_t at = ::lseek(static_cast<Source*>(data)->fd, offset, whence);
        return at < 0 ? ARCHIVE_FATAL : at;
    }
    static la_int64_t skip(archive* a, void* data, la_int64_t request)
    {
        const la_int64_t before = seek(a, data, 0, SEEK_CUR);
        return before < 0 || seek(a, data, request, SEEK_CUR) < 0 ? 0 : request;
    }
};

ZipReader::ZipReader(int fd, std::uint64_t directoryBudget)
    : archive_(zip().archive_read_new()), source_(new Source{fd, directoryBudget})
{
    if (!archive_ || ::lseek(fd, 0, SEEK_SET) != 0)
        throw BlitzfangError(fehlertext::eaFehler(errno));
    // The seekable reader takes the entries from the archive's directory: it sees links, and a
    // cut archive lacks the directory's end.
    zip().archive_read_support_format_zip_seekable(archive_);
    // A name without the format's UTF-8 flag is CP437, as the format defines it: what archivers
    // on other systems write for "ä". A name with the flag stays UTF-8.
    zip().archive_read_set_options(archive_, "zip:hdrcharset=CP437");
    zip().archive_read_set_read_callback(archive_, &Source::read);
    zip().archive_read_set_seek_callback(archive_, &Source::seek);
    zip().archive_read_set_skip_callback(archive_, &Source::skip);
    zip().archive_read_set_callback_data(archive_, source_.get());
    if (zip().archive_read_open1(archive_) != ARCHIVE_OK) {
        zip().archive_read_free(archive_);
        throw BlitzfangError(source_->overBudget ? kZuVieleEintraege : kBeschaedigt);
    }
}

ZipReader::~ZipReader()
{
    zip().archive_read_free(archive_);
}

bool ZipReader::next(Entry& entry)
{
    const Utf8Names names;
    archive_entry* header = nullptr;
    const int result = zip().archive_read_next_header(archive_, &header);
    // The directory is in memory once the first entry is there.
    source_->counting = false;
    if (result == ARCHIVE_EOF)
        return false;
    if (result != ARCHIVE_OK)
        throw BlitzfangError(source_->overBudget ? kZuVieleEintraege : kBeschaedigt);
    const char* name = zip().archive_entry_pathname_utf8(header);
    if (!name)
        throw BlitzfangError(kBeschaedigt);
    entry.name = name;
    entry.kind = kindOf(header);
    entry.encrypted = zip().archive_entry_is_encrypted(header);
    entry.claimedSize.reset();
    if (zip().archive_entry_size_is_set(header) && zip().archive_entry_size(header) >= 0)
        entry.claimedSize = std::uint64_t(zip().archive_entry_size(header));
    dataOffset_ = 0;
    return true;
}

std::string_view ZipReader::read()
{
    while (true) {
        const void* block = nullptr;
        size_t size = 0;
        la_int64_t offset = 0;
        const int result = zip().archive_read_data_block(archive_, &block, &size, &offset);
        if (result == ARCHIVE_EOF)
            return {};
        // A ZIP entry has no holes: a piece elsewhere than where the last one ended is damage.
        if (result != ARCHIVE_OK || offset < 0 || std::uint64_t(offset) != dataOffset_)
            throw BlitzfangError(kBeschaedigt);
        dataOffset_ += size;
        if (size > 0)
            return {static_cast<const char*>(block), size};
    }
}

namespace {

[[noreturn]] void writeFailed(archive* a)
{
    const int code = zip().archive_errno(a);
    throw BlitzfangError(fehlertext::eaFehler(code > 0 ? code : EIO));
}

} // namespace

ZipWriter::ZipWriter(int fd) : archive_(zip().archive_write_new())
{
    if (!archive_)
        throw BlitzfangError(fehlertext::eaFehler(ENOMEM));
    // No padding after the last block: the archive ends where its directory ends.
    if (zip().archive_write_set_format_zip(archive_) != ARCHIVE_OK ||
        zip().archive_write_set_bytes_in_last_block(archive_, 1) != ARCHIVE_OK ||
        zip().archive_write_set_options(archive_, "zip:hdrcharset=UTF-8") != ARCHIVE_OK ||
        zip().archive_write_open_fd(archive_, fd) != ARCHIVE_OK) {
        zip().archive_write_free(archive_);
        throw BlitzfangError(fehlertext::eaFehler(EIO));
    }
}

ZipWriter::~ZipWriter()
{
    zip().archive_write_free(archive_);
}

void ZipWriter::addFolder(const std::string& name)
{
    const Utf8Names names;
    archive_entry* entry = zip().archive_entry_new();
    zip().archive_entry_set_pathname_utf8(entry, (name + "/").c_str());
    zip().archive_entry_set_filetype(entry, AE_IFDIR);
    zip().archive_entry_set_perm(entry, 0755);
    const int result = zip().archive_write_header(archive_, entry);
    zip().archive_entry_free(entry);
    if (result != ARCHIVE_OK)
        writeFailed(archive_);
}

void ZipWriter::beginFile(const std::string& name, std::uint64_t size, bool compressed)
{
    const Utf8Names names;
    if ((compressed ? zip().archive_write_zip_set_compression_deflate(archive_)
                    : zip().archive_write_zip_set_compression_store(archive_)) != ARCHIVE_OK)
        writeFailed(archive_);
    archive_entry* entry = zip().archive_entry_new();
    zip().archive_entry_set_pathname_utf8(entry, name.c_str());
    zip().archive_entry_set_filetype(entry, AE_IFREG);
    zip().archive_entry_set_perm(entry, 0644);
    zip().archive_entry_set_size(entry, static_cast<la_int64_t>(size));
    const int result = zip().archive_write_header(archive_, entry);
    zip().archive_entry_free(entry);
    if (result != ARCHIVE_OK)
        writeFailed(archive_);
}

void ZipWriter::write(std::string_view bytes)
{
    while (!bytes.empty()) {
        const la_ssize_t written = zip().archive_write_data(archive_, bytes.data(), bytes.size());
        if (written <= 0)
            writeFailed(archive_);
        bytes.remove_prefix(static_cast<std::size_t>(written));
    }
}

void ZipWriter::finish()
{
    if (zip().archive_write_close(archive_) != ARCHIVE_OK)
        writeFailed(archive_);
}

#include "package/ArchiveLibrary.h"

#include "platform/SystemLibrary.h"

#include <string>

namespace {

const std::string kFailure = "Die Szenario-Pakete (libarchive) können nicht geladen werden: ";

ArchiveLibrary loadArchiveLibrary()
{
    ArchiveLibrary zip{};
    void* library = openSystemLibrary("libarchive.so.13", kFailure);
#define BLITZFANG_RESOLVE(function) resolveSystemFunction(library, #function, kFailure, zip.function)
    BLITZFANG_RESOLVE(archive_errno);
    BLITZFANG_RESOLVE(archive_read_new);
    BLITZFANG_RESOLVE(archive_read_free);
    BLITZFANG_RESOLVE(archive_read_support_format_zip_seekable);
    BLITZFANG_RESOLVE(archive_read_set_options);
    BLITZFANG_RESOLVE(archive_read_set_read_callback);
    BLITZFANG_RESOLVE(archive_read_set_seek_callback);
    BLITZFANG_RESOLVE(archive_read_set_skip_callback);
    BLITZFANG_RESOLVE(archive_read_set_callback_data);
    BLITZFANG_RESOLVE(archive_read_open1);
    BLITZFANG_RESOLVE(archive_read_next_header);
    BLITZFANG_RESOLVE(archive_read_data_block);
    BLITZFANG_RESOLVE(archive_write_new);
    BLITZFANG_RESOLVE(archive_write_free);
    BLITZFANG_RESOLVE(archive_write_set_format_zip);
    BLITZFANG_RESOLVE(archive_write_set_bytes_in_last_block);
    BLITZFANG_RESOLVE(archive_write_set_options);
    BLITZFANG_RESOLVE(archive_write_open_fd);
    BLITZFANG_RESOLVE(archive_write_zip_set_compression_deflate);
    BLITZFANG_RESOLVE(archive_write_zip_set_compression_store);
    BLITZFANG_RESOLVE(archive_write_header);
    BLITZFANG_RESOLVE(archive_write_data);
    BLITZFANG_RESOLVE(archive_write_close);
    BLITZFANG_RESOLVE(archive_entry_new);
    BLITZFANG_RESOLVE(archive_entry_free);
    BLITZFANG_RESOLVE(archive_entry_filetype);
    BLITZFANG_RESOLVE(archive_entry_hardlink);
    BLITZFANG_RESOLVE(archive_entry_is_encrypted);
    BLITZFANG_RESOLVE(archive_entry_size);
    BLITZFANG_RESOLVE(archive_entry_size_is_set);
    BLITZFANG_RESOLVE(archive_entry_pathname_utf8);
    BLITZFANG_RESOLVE(archive_entry_set_pathname_utf8);
    BLITZFANG_RESOLVE(archive_entry_set_filetype);
    BLITZFANG_RESOLVE(archive_entry_set_perm);
    BLITZFANG_RESOLVE(archive_entry_set_size);
#undef BLITZFANG_RESOLVE
    return zip;
}

} // namespace

const ArchiveLibrary& archiveLibrary()
{
    return loadedOnce<ArchiveLibrary>(loadArchiveLibrary);
}

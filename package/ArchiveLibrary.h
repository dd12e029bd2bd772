#pragma once
// libarchive, opened with dlopen (SystemLibrary.h) when the first package is read or written:
// linked, it and the compression and XML libraries behind it would load at every start. The
// header gives the types and constants; every call goes through this table, whose entries carry
// the library's own names.

#include <archive.h>
#include <archive_entry.h>

struct ArchiveLibrary {
    decltype(&::archive_errno) archive_errno;
    decltype(&::archive_read_new) archive_read_new;
    decltype(&::archive_read_free) archive_read_free;
    decltype(&::archive_read_support_format_zip_seekable) archive_read_support_format_zip_seekable;
    decltype(&::archive_read_set_options) archive_read_set_options;
    decltype(&::archive_read_set_read_callback) archive_read_set_read_callback;
    decltype(&::archive_read_set_seek_callback) archive_read_set_seek_callback;
    decltype(&::archive_read_set_skip_callback) archive_read_set_skip_callback;
    decltype(&::archive_read_set_callback_data) archive_read_set_callback_data;
    decltype(&::archive_read_open1) archive_read_open1;
    decltype(&::archive_read_next_header) archive_read_next_header;
    decltype(&::archive_read_data_block) archive_read_data_block;
    decltype(&::archive_write_new) archive_write_new;
    decltype(&::archive_write_free) archive_write_free;
    decltype(&::archive_write_set_format_zip) archive_write_set_format_zip;
    decltype(&::archive_write_set_bytes_in_last_block) archive_write_set_bytes_in_last_block;
    decltype(&::archive_write_set_options) archive_write_set_options;
    decltype(&::archive_write_open_fd) archive_write_open_fd;
    decltype(&::archive_write_zip_set_compression_deflate) archive_write_zip_set_compression_deflate;
    decltype(&::archive_write_zip_set_compression_store) archive_write_zip_set_compression_store;
    decltype(&::archive_write_header) archive_write_header;
    decltype(&::archive_write_data) archive_write_data;
    decltype(&::archive_write_close) archive_write_close;
    decltype(&::archive_entry_new) archive_entry_new;
    decltype(&::archive_entry_free) archive_entry_free;
    decltype(&::archive_entry_filetype) archive_entry_filetype;
    decltype(&::archive_entry_hardlink) archive_entry_hardlink;
    decltype(&::archive_entry_is_encrypted) archive_entry_is_encrypted;
    decltype(&::archive_entry_size) archive_entry_size;
    decltype(&::archive_entry_size_is_set) archive_entry_size_is_set;
    decltype(&::archive_entry_pathname_utf8) archive_entry_pathname_utf8;
    decltype(&::archive_entry_set_pathname_utf8) archive_entry_set_pathname_utf8;
    decltype(&::archive_entry_set_filetype) archive_entry_set_filetype;
    decltype(&::archive_entry_set_perm) archive_entry_set_perm;
    decltype(&::archive_entry_set_size) archive_entry_set_size;
};

// The system's libarchive, loaded at the first call. A failure is kept: later calls throw the
// same BlitzfangError ("Die Szenario-Pakete (libarchive) können nicht geladen werden: …")
// without searching again.
const ArchiveLibrary& archiveLibrary();

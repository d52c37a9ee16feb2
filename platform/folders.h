// Reading folders by their native names: the records of the folder seam.
//
// A folder is opened by its native path (the top of a walk) or by its native
// name inside a folder that is still open, and read one item at a time. An
// item carries its native name, used for every further system call, beside
// its code page 932 text, which is all the program shows; so no name makes a
// round trip through the code page on its way back to the system.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/native_text.h"

// An open folder of the platform's own (a find handle and its path on
// Windows, a descriptor on POSIX). Used by one thread at a time; opening a
// child reads nothing of the parent that reading changes, so a child may be
// opened while another thread reads the parent.
struct folder_t;

// The separator the system writes between the parts of a path.
#ifdef _WIN32
constexpr char NATIVE_SEPARATOR = '\\';
#else
constexpr char NATIVE_SEPARATOR = '/';
#endif

// Whether asking an open folder its identity costs an open of its own (on
// Windows a folder is a find handle, not a file handle): the listing then
// asks only where a link needs it.
#ifdef _WIN32
constexpr bool FOLDER_IDENTITY_COSTS_AN_OPEN = true;
#else
constexpr bool FOLDER_IDENTITY_COSTS_AN_OPEN = false;
#endif

// folder_open options.
constexpr unsigned FOLDER_SHORT_NAMES = 1;  // fill folder_item_t::alias (Windows: the slower full search)
constexpr unsigned FOLDER_DETAILS = 2;      // fill the size and the date (POSIX: one fstatat per item)

// One item of a folder, "." and ".." never among them. The texts live in the
// folder record and stay valid until the next read or the close.
struct folder_item_t {
    const nchar_t* native;  // the name as the system has it, NUL-terminated
    size_t native_length;   // in units, without the terminator
    const char* text;       // its code page 932 text, "?" for what the code page cannot hold
    size_t text_length;     // in bytes, without the terminator
    const nchar_t* alias;   // the short (8.3) name; empty when there is none or none was asked
    uint32_t attributes;    // FILE_ATTRIBUTE_* bits; a link to a folder has DIRECTORY and REPARSE_POINT
    // With FOLDER_DETAILS (and READONLY among the attributes where it applies):
    uint64_t size;
    int64_t modified;    // seconds since 1970, UTC
    bool details_known;  // false when the item was gone before it could be asked
};

// What makes two open folders the same folder: the volume and the file on it.
struct folder_identity_t {
    uint64_t volume;
    uint64_t file;
};

inline bool same_folder(const folder_identity_t* a, const folder_identity_t* b) {
    return a->volume == b->volume && a->file == b->file;
}

// The calls themselves are rows of the os table (platform/os_calls.h):
//   folder_open(path, options)              null on failure (the reason in os_last_error())
//   folder_open_child(parent, name, options)
//   folder_read(folder, item)               false at the end (last error NONE) or on a failure
//   folder_identity(folder, identity)       false when the system cannot tell
//   folder_item_identity(folder, name, identity)   of an item, without following a link
//   folder_close(folder)
//   folders_open_max()                      how many folders the listing may hold open at once
//                                           (POSIX: the descriptor limit, less a reserve)

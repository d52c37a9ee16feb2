// Files by their native paths: the list file's road to the disk.
//
// A list is written into a temporary file beside its target, which then
// takes the target's place whole (file_replace). Only a target that is no
// plain file (a pipe, a device, a descriptor of the process, standard
// output) is written directly, and then never truncated.
#pragma once

#include <stdbool.h>

#include "platform/native_text.h"

// An open file of the platform's own (a descriptor, a handle).
struct file_t;

enum list_target_kind_t {
    LIST_TARGET_ABSENT,   // nothing there yet
    LIST_TARGET_REGULAR,  // a plain file
    LIST_TARGET_OTHER,    // a pipe, a device, a terminal, a descriptor of this process
};

// What os.list_target_find finds at the list file's path.
struct list_target_t {
    list_target_kind_t kind;
    // Where the list goes: the path itself, or the file its symbolic links
    // lead to (the list then replaces that file, and the links stay). A heap
    // block for free().
    nchar_t* path;
    // A plain file nobody may write (no write permission at all, or the
    // read-only attribute) or this user may not: it is never replaced.
    bool read_only;
};

// The calls are rows of the os table (platform/os_calls.h):
//   file_attributes(path)               INVALID_FILE_ATTRIBUTES when nothing is there
//   absolute_path(path)                 the absolute path of what path names, "." and ".." resolved
//                                       (on POSIX links too); a heap block for free()
//   list_target_find(path, target)      false when the path cannot be resolved (a loop of links, ...)
//   file_create_temp(beside, &temp)     a new file in the folder of `beside`, named as no user file
//                                       is (hidden on Windows); *temp is a heap block for free()
//   file_open_direct(target)            a target of kind OTHER, opened for writing without truncating;
//                                       WOULD_BLOCK while a pipe has no reader yet (ask again)
//   file_standard_output()              the process's standard output (not closed by file_close)
//   file_copy_metadata(from, to)        from's owner, group, permissions (never set-id bits), ACL and
//                                       user attributes onto the temporary file, where the system lets
//   file_identity(file, identity)       the volume and the file of an open file
//   file_write(file, data, size, &n)    false when not all was written (*n bytes were); WOULD_BLOCK
//                                       when a pipe stayed full for a while (ask again)
//   file_flush(file)                    everything written so far, to the disk
//   file_close(file)                    false when the system reports a failed write on closing
//   file_replace(from, to)              from takes the place of to, whole or not at all
//   file_remove(path)

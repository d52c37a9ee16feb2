// The list file as the walk writes it: lines go into a temporary file beside
// it, which replaces the list whole at the end. A cancel, a failure or a
// crash leaves the old list or the whole new one, never a part, and nothing
// beside it.
//
// A symbolic link is followed: the file it leads to is replaced, the link
// stays. Only a target that is no plain file (a pipe, a device, a descriptor
// of the process, "-" for standard output) is written directly, never
// truncated. A list file nobody may write is refused, and so is a place
// where no temporary file can be made: the old list stays untouched.
#pragma once

#include <stddef.h>

#include "listing/cancel_check.h"
#include "platform/platform.h"

// What went wrong with the list file.
enum list_failure_t {
    LIST_FAILURE_NONE,
    LIST_FAILURE_TARGET,     // its path leads nowhere usable (a folder, a loop of links, no access)
    LIST_FAILURE_READ_ONLY,  // nobody, or not this user, may write it
    LIST_FAILURE_CREATE,     // no temporary file beside it, or the direct target would not open
    LIST_FAILURE_WRITE,      // a write, the flush or the close failed
    LIST_FAILURE_REPLACE,    // the new list could not take the old one's place
    LIST_FAILURE_NO_MEMORY,
};

struct list_output_t {
    file_t* file;
    nchar_t* target;           // where the list goes, links followed (a heap block)
    nchar_t* temp_path;        // null when written directly
    const nchar_t* temp_name;  // inside temp_path
    folder_identity_t temp_identity;
    bool replaces_file;  // a plain file is there: the new list takes its owner and permissions
    const cancel_check_t* cancel;
    char* buffer;  // the lines not yet handed to the system
    size_t used;
    list_failure_t failure;  // the first one; nothing more is attempted after it
    os_error_t error;        // its reason
    bool cancelled;          // a cancel came while a pipe made the output wait
};

// Finds the target and creates the temporary file (or opens the target).
// False with out->failure and out->error set, or with out->cancelled.
bool list_output_open(list_output_t* out, const nchar_t* target, const cancel_check_t* cancel);
// True when the item of that name in the list's own folder is the run's
// temporary file.
bool list_output_is_temp_file(const list_output_t* out, const folder_identity_t* identity);
void list_output_write(list_output_t* out, const char* bytes, size_t length);
// Room for `length` bytes in the output's own buffer, for a line made in
// place; null when a line that long does not fit it, or writing has stopped.
// list_output_commit then takes the bytes made.
char* list_output_room(list_output_t* out, size_t length);
inline void list_output_commit(list_output_t* out, size_t length) {
    out->used += length;
}

enum list_finish_t {
    LIST_FINISHED,   // the new list is in place (or was all written to a direct target)
    LIST_CANCELLED,  // a cancel came before the replace: the old list stays
    LIST_FAILED,     // out->failure says why; the old list stays
};
// Writes what is left, flushes it to the disk, closes it and, unless a
// cancel has come by then (the one point where a cancel still counts),
// replaces the list. The temporary file is gone afterwards either way.
list_finish_t list_output_finish(list_output_t* out);
// Closes and removes the temporary file: the old list stays as it was.
void list_output_abandon(list_output_t* out);

// The list file as the walk writes it: lines go into a temporary file beside
// it, which replaces the list whole at the end. A cancel, a failure or a
// crash leaves the old list or the whole new one, never a part.
//
// A target that is not a plain file (a pipe, a device, a link) and a list in
// a folder where nothing else can be created are written directly.
#pragma once

#include <stddef.h>
#include <stdio.h>

#include "platform/platform.h"

struct list_output_t {
    FILE* file;
    const nchar_t* target;
    nchar_t* temp_path;        // null when written directly
    const nchar_t* temp_name;  // inside temp_path: the name the walk must not list
    char* buffer;              // the lines not yet handed to the system
    size_t used;
    bool failed;         // a write failed: nothing more is attempted
    bool out_of_memory;  // list_output_open found no memory for the buffer
};

// Creates the temporary file (or opens the target). False when neither can
// be created, or memory ran out (out_of_memory); nothing is shown.
bool list_output_open(list_output_t* out, const nchar_t* target);
void list_output_write(list_output_t* out, const char* bytes, size_t length);
// Writes what is left, flushes it to the disk, closes and replaces the list;
// false when any of that failed (the temporary file is gone then).
bool list_output_finish(list_output_t* out);
// Closes and removes the temporary file: the old list stays as it was.
void list_output_abandon(list_output_t* out);

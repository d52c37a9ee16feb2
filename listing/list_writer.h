// The list writer: the sorted entry tree into the list file, one line per
// entry, depth first.
#pragma once

#include <stdint.h>
#include <stdio.h>

#include "listing/cancel_check.h"
#include "listing/entry_list.h"
#include "platform/native_text.h"

struct write_options_t {
    int32_t case_mode;  // CASE_LOWER, CASE_UPPER; any other value leaves letters alone
    bool full_path;     // else the part below the top folder
    bool short_names;   // the short form where the entry has one
};

// Creates or empties the list file. On failure shows the writer's message
// and returns null.
FILE* open_list_file(const nchar_t* path);
// Writes the tree, whole lines only; stops when the cancel check sees a
// cancel. False when a write failed (the rest is not attempted).
bool write_entry_list(FILE* file, const entry_list_t* list, const write_options_t* options,
                      cancel_check_t* cancel);
// Closes the list file; false when the last writes or the close failed.
bool close_list_file(FILE* file);
// The message shown when the list file cannot be created or written.
void report_list_file_error();

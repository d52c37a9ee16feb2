// The folder walk: one folder (and, on request, everything below it) into
// sorted entry lists.
#pragma once

#include <stdint.h>

#include "filters/filter.h"
#include "listing/cancel_check.h"
#include "listing/entry_list.h"
#include "text/mbs.h"
#include "ui/progress/worker.h"

// Room to build one entry's texts. One is enough for the whole walk: an
// entry is complete before the walk goes down into it.
struct walk_scratch_t {
    char path[PATH_BUFFER_SIZE];
    char short_path[PATH_BUFFER_SIZE];
    char sort_key[4096];  // a platform sort key takes a few bytes per character
};

// What every level of one walk shares.
struct walk_context_t {
    cancel_check_t cancel;  // the worker's cancel event: after items now and then, after each folder
    uint32_t flags;         // FLAG_SUBFOLDERS and FLAG_SHORT_NAMES are read
    filter_t* filter;       // asked about files only
    const char* top;        // the top folder exactly as given: the base of relative names
    const char* short_top;  // its short form; null when short names are off or it has none
    walk_scratch_t scratch;
    worker_t* worker;  // told of each item found (the progress display); null for none
};

// The sorted entries of `folder`, whose short form is short_folder (or null).
// Null when cancelled or when the list could not be allocated. A folder that
// cannot be read gives an empty list.
entry_list_t* walk_folder(const char* folder, const char* short_folder, walk_context_t* context);

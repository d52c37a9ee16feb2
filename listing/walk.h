// The folder walk: one folder (and, on request, everything below it) into
// sorted entry lists.
#pragma once

#include <stdint.h>

#include "filters/filter.h"
#include "listing/cancel_check.h"
#include "listing/entry_list.h"

// What every level of one walk shares.
struct walk_context_t {
    cancel_check_t cancel;  // the worker's cancel event: after items now and then, after each folder
    uint32_t flags;         // FLAG_SUBFOLDERS and FLAG_SHORT_NAMES are read
    filter_t* filter;       // asked about files only
    const char* top;        // the top folder exactly as given: the base of relative names
    const char* short_top;  // its short form; null when short names are off or it has none
};

// The sorted entries of `folder`, whose short form is short_folder (or null).
// Null when cancelled or when the list could not be allocated. A folder that
// cannot be read gives an empty list.
entry_list_t* walk_folder(const char* folder, const char* short_folder, walk_context_t* context);

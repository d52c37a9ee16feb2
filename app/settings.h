// The job settings record: what one run lists and how it writes the list.
#pragma once

#include <stdint.h>

#include "app/user_path.h"
#include "text/mbs.h"

// Option bits of settings_t::flags; other bits are ignored.
constexpr uint32_t FLAG_FULL_PATH = 1;    // full path names, else relative to the folder
constexpr uint32_t FLAG_SUBFOLDERS = 2;   // walk subfolders too
constexpr uint32_t FLAG_SHORT_NAMES = 4;  // short 8.3 names where the file system has them
constexpr uint32_t FLAG_UTF8 = 8;         // the list in UTF-8, each name as the file system has it

// Letter case of the written names; any other value writes names unchanged.
constexpr int32_t CASE_UNCHANGED = 0;
constexpr int32_t CASE_LOWER = 1;
constexpr int32_t CASE_UPPER = 2;

// Filter kinds; any other code behaves as FILTER_NONE.
constexpr int32_t FILTER_NONE = 100;
constexpr int32_t FILTER_REGEXP = 101;
constexpr int32_t FILTER_WILDCARD = 102;

// The record owns the blocks of its two paths (app/user_path.h): release it
// with settings_free; of plain struct copies only one may be freed.
struct settings_t {
    user_path_t folder;  // exactly as given: not made absolute
    char filter_text[PATH_BUFFER_SIZE];
    uint32_t flags;
    int32_t case_mode;
    user_path_t output_file;
    int32_t filter_kind;
};

// Zero-fills s and sets the defaults: empty paths and texts, full path
// names, case unchanged, no filter.
void settings_init(settings_t* s);
// Releases the paths; s holds the defaults again.
void settings_free(settings_t* s);
// True when the folder exists and an output file is named.
bool settings_valid(const settings_t* s);

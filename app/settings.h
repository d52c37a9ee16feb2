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

// Which items get a line.
constexpr int32_t ONLY_ALL = 0;
constexpr int32_t ONLY_FILES = 1;    // no folder lines (folders are still walked)
constexpr int32_t ONLY_FOLDERS = 2;  // no file lines (the filter has nothing to choose from)

// The order within each group (folders, then files).
constexpr int32_t ORDER_NAME = 0;     // by name, letter case ignored
constexpr int32_t ORDER_NATURAL = 1;  // the same, with runs of digits compared by their value

// What each line holds.
constexpr int32_t FORMAT_LIST = 0;  // the path alone
constexpr int32_t FORMAT_CSV = 1;   // path, kind, size, date, attributes; a header row
constexpr int32_t FORMAT_TSV = 2;   // the same columns separated by tabs

// What ends each line of the plain list (a CSV or TSV row always ends in CR LF).
constexpr int32_t LINE_END_CRLF = 0;
constexpr int32_t LINE_END_LF = 1;
constexpr int32_t LINE_END_NUL = 2;

// Option bits of list_options_t::flags.
constexpr uint32_t LIST_TRIM = 1;       // a folder's line only when something below it is listed
constexpr uint32_t LIST_NO_HIDDEN = 2;  // hidden and system items (Linux: dot names) left out, not walked
constexpr uint32_t LIST_BOM = 4;        // a UTF-8 list begins with a byte-order mark

// Option bits of settings_t::run_flags: how the run reports, not what it lists.
constexpr uint32_t RUN_QUIET = 1;        // no message boxes and no beep: the exit status and the trace tell
constexpr uint32_t RUN_SUMMARY = 2;      // the closing summary also where standard error is no terminal
constexpr uint32_t RUN_FROM_DIALOG = 4;  // the settings came from the dialog: someone is watching

// Room for the names left out: several /skip: switches add up.
constexpr size_t SKIP_TEXT_SIZE = 2048;

// What is walked and listed beyond the folder and the filter, and how lines
// are written: the settings of the 詳細設定 dialog.
struct list_options_t {
    char skip_text[SKIP_TEXT_SIZE];  // wildcard patterns of names neither listed nor walked
    uint32_t max_depth;              // levels walked with FLAG_SUBFOLDERS (1: the top's own items); 0: all
    int32_t only;                    // ONLY_*
    int32_t order;                   // ORDER_*
    int32_t format;                  // FORMAT_*
    int32_t line_end;                // LINE_END_*, for FORMAT_LIST
    char separator;                  // between the parts of a path: '\\' or '/', for FORMAT_LIST
    uint32_t flags;                  // LIST_*
};

// The record owns the blocks of its two paths (app/user_path.h): release it
// with settings_free; of plain struct copies only one may be freed.
struct settings_t {
    user_path_t folder;  // exactly as given: not made absolute
    char filter_text[PATH_BUFFER_SIZE];
    uint32_t flags;
    int32_t case_mode;
    user_path_t output_file;
    int32_t filter_kind;
    list_options_t list;
    uint32_t run_flags;
};

// Zero-fills s and sets the defaults: empty paths and texts, full path
// names, case unchanged, no filter, every item in name order, plain lines
// ending in CR LF with "\" between the parts.
void settings_init(settings_t* s);
// The defaults of the list options alone.
void list_options_init(list_options_t* options);
// Releases the paths; s holds the defaults again.
void settings_free(settings_t* s);
// True when the folder exists and an output file is named.
bool settings_valid(const settings_t* s);

// The entries of a walked folder: one record per listed file or folder, in a
// doubly linked list per folder level.
#pragma once

#include <stdint.h>

#include "platform/platform.h"

struct entry_list_t;

// One listed item. The record and its texts are one heap block: `path`,
// `name` and `short_path` point into the bytes that follow the record, each
// exactly as long as its text, so a big tree costs little more memory than
// its names.
struct entry_t {
    entry_t* prev;
    entry_t* next;
    entry_list_t* children;      // a walked folder's contents; null for files
    char* path;                  // the walked folder joined with the name
    const char* rel_name;        // inside path: the part below the top folder
    char* short_path;            // the short (8.3) form of path, or null
    const char* short_rel_name;  // inside short_path, below the short top folder; or null
    const char* name;            // the name as the folder search returned it
    const char* sort_key;        // the platform's case-insensitive sort key of the name
    DWORD attributes;            // the search's attribute bits
};

struct entry_list_t {
    int32_t count;
    entry_t* first;
    entry_t* last;
};

inline bool entry_is_folder(const entry_t* entry) {
    return (entry->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// An entry for `path` (with its name, its sort key and, when short_path is
// not null, its short form); rel/short_rel are byte offsets of the parts
// below the top folder. Null when memory runs out.
entry_t* entry_new(const char* path, size_t rel_offset, const char* name, const char* sort_key,
                   DWORD attributes, const char* short_path, size_t short_rel_offset);

// The sort key of a name into key (key_size bytes): comparing two keys with
// strcmp orders the names as lstrcmpiA does. Null when it does not fit.
const char* make_sort_key(const char* name, char* key, size_t key_size);
// Frees the entry and its children.
void entry_free(entry_t* entry);

entry_list_t* entry_list_new();
// Puts the entry first; returns the new count.
int entry_list_push_front(entry_list_t* list, entry_t* entry);
// Folders before files, then the platform's name order without regard to
// case (lstrcmpiA's, through the sort keys: made once per entry rather than
// once per comparison).
int compare_entries(const entry_t* a, const entry_t* b);
// Stable: entries that compare equal keep their order.
void entry_list_sort(entry_list_t* list);
void entry_list_free(entry_list_t* list);

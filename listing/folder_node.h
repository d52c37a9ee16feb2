// One folder of a walk: its place in the walk order, its open folder and,
// once read, its sorted contents.
#pragma once

#include <stdint.h>

#include <atomic>

#include "listing/arena.h"
#include "platform/platform.h"

struct folder_node_t;

// One listed item of a folder: its texts live in the folder's arena.
struct listed_item_t {
    const char* text;       // code page 932: what filters, sort and list see
    const nchar_t* native;  // the name as the system has it
    const nchar_t* alias;   // the short (8.3) name, or null
    // The platform's case-insensitive key of text, terminated; in natural
    // order the natural key (listing/natural_key.h), key_length bytes.
    const char* sort_key;
    folder_node_t* child;  // the node of a folder to walk; null for files and unwalked folders
    uint32_t text_length;
    uint32_t native_length;
    uint32_t attributes;
    uint32_t key_length;
};

inline bool item_is_folder(const listed_item_t* item) {
    return (item->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// What a sheet's row shows beside the path, kept right after its item in
// the arena when the list is a sheet (CSV or TSV) and only then.
struct item_details_t {
    uint64_t size;
    int64_t modified;  // seconds since 1970, UTC
    bool known;        // false when the item was gone before it could be asked
};
static_assert(sizeof(listed_item_t) % alignof(item_details_t) == 0, "the details follow their item");

inline const item_details_t* details_of(const listed_item_t* item) {
    return (const item_details_t*)((const char*)item + sizeof(listed_item_t));
}

enum node_state_t {
    NODE_QUEUED,   // waiting for a reader
    NODE_READING,  // a reader (or the walk itself) has it
    NODE_READ,     // contents sorted, children queued
};

struct folder_node_t {
    folder_node_t* next;        // walk order: the folder the walk needs after this one
    folder_node_t* parent;      // null for the top folder
    const listed_item_t* item;  // this folder in the parent's contents; null for the top
    uint32_t index;             // the item's place among the parent's items
    uint32_t depth;             // 0 for the top folder
    // Open while the folder is read and until its last subfolder is open
    // (they open relative to it); closed at once for a folder without any.
    folder_t* folder;
    std::atomic<uint32_t> children_unopened;  // subfolders queued whose open has not yet been tried
    folder_identity_t identity;               // of a folder with subfolders: for the link checks below it
    bool has_identity;
    bool opened;         // its open succeeded (a folder may be closed since)
    node_state_t state;  // guarded by the read-ahead queue's lock
    // Written by the one reader that has the node, read once it is NODE_READ:
    listed_item_t** items;  // sorted: folders first, then by key
    uint32_t count;
    os_error_t error;   // why the folder could not be (wholly) read or held
    bool unreadable;    // the system would not let it be read (whole): listed as far as it went
    bool through_link;  // a link or a junction leads here: only the walk reads it
    bool loop;          // the same folder as one above it: listed, not walked
    bool seen_before;   // a link led to the same folder earlier in the walk: listed, not walked
    bool exhausted;     // memory or another resource of the program ran out: the run ends
    arena_t arena;      // the items, their texts and the child nodes
};

// True when a comes before b in the walk order: an ancestor before its
// descendants, and among others by the places of their branches.
bool node_precedes(const folder_node_t* a, const folder_node_t* b);

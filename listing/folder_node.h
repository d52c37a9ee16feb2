// One folder of a walk: its place in the walk order, its open folder and,
// once read, its sorted contents.
#pragma once

#include <stdint.h>

#include <atomic>

#include "listing/arena.h"
#include "platform/platform.h"

struct folder_node_t;

// One listed item of a folder: a small record followed by its texts, all in
// the folder's arena, so that a folder of a million files costs little more
// than its names. The texts lie one after another, each terminated: the
// native name, its short (8.3) form where there is one, the code page 932
// text and the sort key; where two are the same bytes (an ASCII name on
// POSIX is its own text, a lower-case one its own key) they are kept once.
struct listed_item_t {
    uint16_t native_length;  // units, without the terminator
    uint16_t text_length;    // bytes of the code page 932 text
    uint16_t key_length;     // bytes of the sort key (a natural key may hold NULs)
    uint16_t flags;          // ITEM_*
    uint32_t attributes;     // FILE_ATTRIBUTE_* bits
};

constexpr uint16_t ITEM_HAS_ALIAS = 1;       // a short name follows the native one
constexpr uint16_t ITEM_TEXT_IS_NATIVE = 2;  // the text is the native name's bytes (POSIX)
constexpr uint16_t ITEM_KEY_IS_TEXT = 4;     // the sort key is the text's bytes
constexpr uint16_t ITEM_KEY_IS_FOLDED = 32;  // the sort key is the text with A to Z as a to z: not kept
constexpr uint16_t ITEM_HAS_DETAILS = 8;     // size and date follow the texts (item_details_t)
constexpr uint16_t ITEM_WALKED = 16;         // a folder whose node is queued: the walk enters it

inline const nchar_t* item_native(const listed_item_t* item) {
    return (const nchar_t*)(item + 1);
}

// The short (8.3) name, or null.
inline const nchar_t* item_alias(const listed_item_t* item) {
    if (!(item->flags & ITEM_HAS_ALIAS)) return nullptr;
    return item_native(item) + item->native_length + 1;
}

// The end of the native texts, where the program's own begin.
inline const char* item_after_native(const listed_item_t* item) {
    const nchar_t* end = item_native(item) + item->native_length + 1;
    if (item->flags & ITEM_HAS_ALIAS) {
        while (*end) ++end;
        ++end;
    }
    return (const char*)end;
}

// Code page 932: what filters, sort and list see.
inline const char* item_text(const listed_item_t* item) {
    return (item->flags & ITEM_TEXT_IS_NATIVE) ? (const char*)item_native(item) : item_after_native(item);
}

// The platform's case-insensitive key of the text (or the natural key),
// where it is kept (not ITEM_KEY_IS_FOLDED).
inline const char* item_key(const listed_item_t* item) {
    if (item->flags & (ITEM_KEY_IS_TEXT | ITEM_KEY_IS_FOLDED)) return item_text(item);
    const char* text = item_text(item);
    return text == (const char*)item_native(item) ? item_after_native(item) : text + item->text_length + 1;
}

inline bool item_is_folder(const listed_item_t* item) {
    return (item->attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// What a sheet's row shows beside the path, kept after the item's texts
// when the list is a sheet (CSV or TSV) and only then.
struct item_details_t {
    uint64_t size;
    int64_t modified;  // seconds since 1970, UTC
    bool known;        // false when the item was gone before it could be asked
};

// Just past the last of the item's texts.
inline const char* item_texts_end(const listed_item_t* item) {
    if (!(item->flags & (ITEM_KEY_IS_TEXT | ITEM_KEY_IS_FOLDED)))
        return item_key(item) + item->key_length + 1;
    if (item->flags & ITEM_TEXT_IS_NATIVE) return item_after_native(item);
    return item_text(item) + item->text_length + 1;
}

inline const item_details_t* details_of(const listed_item_t* item) {
    const char* end = item_texts_end(item);
    const uintptr_t aligned =
        ((uintptr_t)end + alignof(item_details_t) - 1) & ~(uintptr_t)(alignof(item_details_t) - 1);
    return (const item_details_t*)aligned;
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
    // Where descriptors run short, a folder held open only for its
    // subfolders may be closed and opened again (folder_read.cpp).
    std::atomic<folder_t*> folder;
    std::atomic<uint32_t> children_unopened;  // subfolders queued whose open has not yet been tried
    std::atomic<uint32_t> folder_users;       // threads opening a subfolder through `folder` now
    folder_identity_t identity;               // of a folder with subfolders: for the link checks below it
                                              // (with identity_on_demand, asked by the first such check)
    bool has_identity;
    bool opened;         // its open succeeded (a folder may be closed since)
    node_state_t state;  // guarded by the read-ahead queue's lock
    // Written by the one reader that has the node, read once it is NODE_READ:
    listed_item_t** items;  // sorted: folders first, then by key
    uint32_t count;
    bool items_owned;   // items is a block of its own, not in the arena
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

#include "listing/folder_read.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

namespace {

constexpr size_t KEY_BUFFER_SIZE = 2048;  // a platform sort key takes a few bytes per character

bool same_native(const nchar_t* a, size_t a_length, const nchar_t* b) {
    return native_length(b) == a_length && memcmp(a, b, a_length * sizeof(nchar_t)) == 0;
}

// Folders first, then the platform's order without regard to case; names
// that compare equal there (they differ only in letter case) by their bytes,
// then by their native names, which differ in any folder: the same folder
// gives the same list wherever it is stored, whatever order the disk keeps.
bool comes_before(const listed_item_t* a, const listed_item_t* b) {
    const bool a_folder = item_is_folder(a);
    if (a_folder != item_is_folder(b)) return a_folder;
    int order = strcmp(a->sort_key, b->sort_key);
    if (order == 0) order = strcmp(a->text, b->text);
    if (order == 0) {
        const size_t shorter = a->native_length < b->native_length ? a->native_length : b->native_length;
        order = memcmp(a->native, b->native, shorter * sizeof(nchar_t));
        if (order == 0) return a->native_length < b->native_length;
    }
    return order < 0;
}

uint64_t prefix_of(const char* key) {
    uint64_t prefix = 0;
    size_t i = 0;
    for (; i < 8 && key[i]; ++i) prefix = prefix << 8 | (unsigned char)key[i];
    return prefix << (8 * (8 - i));
}

bool slot_before(const sort_slot_t& a, const sort_slot_t& b) {
    if (a.is_file != b.is_file) return a.is_file < b.is_file;
    if (a.key_prefix != b.key_prefix) return a.key_prefix < b.key_prefix;
    return comes_before(a.item, b.item);
}

// Null when the platform gives no key (no name is that long: something
// else failed) or memory ran out; the reason is in os_last_error().
const char* make_sort_key(arena_t* arena, const char* text) {
    char key[KEY_BUFFER_SIZE];
    const int size = os.sort_key(text, key, sizeof key);
    if (size <= 0) return nullptr;
    const char* copy = (const char*)arena_copy_terminated(arena, key, (size_t)size - 1, 1);
    if (!copy) os_set_last_error(OS_ERROR_NO_MEMORY);
    return copy;
}

// The item in the node's arena; null with the reason in os_last_error().
listed_item_t* new_item(arena_t* arena, const folder_item_t* found) {
    os_set_last_error(OS_ERROR_NO_MEMORY);
    listed_item_t* item = (listed_item_t*)arena_take(arena, sizeof(listed_item_t));
    if (!item) return nullptr;
    item->text = (const char*)arena_copy_terminated(arena, found->text, found->text_length, 1);
    item->native =
        (const nchar_t*)arena_copy_terminated(arena, found->native, found->native_length, sizeof(nchar_t));
    item->alias = nullptr;
    if (found->alias[0]) {
        item->alias = (const nchar_t*)arena_copy_terminated(arena, found->alias, native_length(found->alias),
                                                            sizeof(nchar_t));
        if (!item->alias) return nullptr;
    }
    if (!item->text || !item->native) return nullptr;
    item->sort_key = make_sort_key(arena, item->text);
    item->child = nullptr;
    item->text_length = (uint32_t)found->text_length;
    item->native_length = (uint32_t)found->native_length;
    item->attributes = found->attributes;
    return item->sort_key ? item : nullptr;
}

enum link_check_t { LINK_WALKED, LINK_LOOPS, LINK_UNKNOWN };

// Whether the node's folder is one of the folders above it: only a link or
// a junction can lead back up, so only those are asked. A link whose
// identity cannot be told is not walked: it might loop.
link_check_t check_link(folder_node_t* node, const read_settings_t* settings) {
    if (!node->item || !(node->item->attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return LINK_WALKED;
    os.lock_enter(settings->identity_lock);
    link_check_t check = LINK_WALKED;
    folder_identity_t self;
    if (!os.folder_identity(node->folder, &self)) check = LINK_UNKNOWN;
    for (folder_node_t* above = node->parent; above && check == LINK_WALKED; above = above->parent) {
        folder_identity_t other;
        if (!os.folder_identity(above->folder, &other)) {
            check = LINK_UNKNOWN;
        } else if (same_folder(&self, &other)) {
            check = LINK_LOOPS;
        }
    }
    const os_error_t error = os_last_error();
    os.lock_leave(settings->identity_lock);
    if (check == LINK_UNKNOWN) node->error = error;
    return check;
}

// Memory and descriptors belong to the program, not to the folder: their
// lack ends the run instead of passing for a folder that cannot be read.
bool is_exhaustion(os_error_code_t code) {
    return code == OS_ERROR_NO_MEMORY || code == OS_ERROR_NO_DESCRIPTORS || code == OS_ERROR_NO_THREADS;
}

void exhausted(folder_node_t* node, os_error_t error) {
    node->exhausted = true;
    node->error = error;
}

// The node's folder could not be wholly read, or the program ran short.
void not_wholly_read(folder_node_t* node, os_error_t error) {
    if (is_exhaustion(error.code)) return exhausted(node, error);
    node->unreadable = true;
    node->error = error;
}

// The list's temporary file, by its identity: a file of the same name
// elsewhere is listed like any other. One whose identity cannot be told
// might be it: it is left out, and its folder counts as not wholly read
// (unless it is gone already).
bool is_temp_file(folder_node_t* node, const folder_item_t* found, const read_settings_t* settings) {
    if (!settings->temp_name || !same_native(found->native, found->native_length, settings->temp_name)) {
        return false;
    }
    folder_identity_t identity;
    if (os.folder_item_identity(node->folder, found->native, &identity)) {
        return same_folder(&identity, &settings->temp_identity);
    }
    const os_error_t error = os_last_error();
    if (error.code != OS_ERROR_NOT_FOUND) not_wholly_read(node, error);
    return true;
}

bool add_slot(reader_t* reader, size_t count, const sort_slot_t& slot) {
    if (count == reader->slot_capacity) {
        const size_t capacity = reader->slot_capacity ? reader->slot_capacity * 2 : 1024;
        sort_slot_t* slots = (sort_slot_t*)os.malloc(capacity * sizeof(sort_slot_t));
        if (!slots) return false;
        if (count) memcpy(slots, reader->slots, count * sizeof(sort_slot_t));
        free(reader->slots);
        reader->slots = slots;
        reader->slot_capacity = capacity;
    }
    reader->slots[count] = slot;
    return true;
}

// The items of the node's folder into the reader's slots; their count.
size_t read_items(folder_node_t* node, const read_settings_t* settings, reader_t* reader) {
    size_t count = 0;
    folder_item_t found;
    while (os.folder_read(node->folder, &found)) {
        if (settings->stop->load(std::memory_order_relaxed)) return count;
        if (is_temp_file(node, &found, settings)) {
            if (node->exhausted) return count;
            continue;
        }
        const bool is_folder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!is_folder && !reader->filter->matches(found.text)) continue;
        listed_item_t* item = new_item(&node->arena, &found);
        if (!item) {
            exhausted(node, os_last_error());
            return count;
        }
        if (!add_slot(reader, count, sort_slot_t{prefix_of(item->sort_key), is_folder ? 0u : 1u, item})) {
            exhausted(node, os_error_t{OS_ERROR_NO_MEMORY, 0});
            return count;
        }
        ++count;
    }
    const os_error_t error = os_last_error();
    if (error.code == OS_ERROR_NONE) return count;
    if (is_exhaustion(error.code)) {
        exhausted(node, error);
    } else {
        node->unreadable = true;
        node->error = error;
    }
    return count;
}

}  // namespace

void read_folder_node(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child) {
    *first_child = *last_child = nullptr;
    node->folder = node->parent ? os.folder_open_child(node->parent->folder, node->item->native,
                                                       settings->folder_options)
                                : os.folder_open(settings->top, settings->folder_options);
    if (!node->folder) {
        const os_error_t error = os_last_error();
        if (is_exhaustion(error.code)) {
            exhausted(node, error);
        } else {
            node->unreadable = true;
            node->error = error;
        }
        return;
    }
    switch (check_link(node, settings)) {
        case LINK_WALKED:
            break;
        case LINK_LOOPS:
            node->loop = true;
            return;
        case LINK_UNKNOWN:
            not_wholly_read(node, node->error);
            return;
    }
    const size_t count = read_items(node, settings, reader);
    if (node->exhausted) return;

    std::sort(reader->slots, reader->slots + count, slot_before);
    node->items = (listed_item_t**)arena_take(&node->arena, (count + 1) * sizeof(listed_item_t*));
    if (!node->items) {
        exhausted(node, os_error_t{OS_ERROR_NO_MEMORY, 0});
        return;
    }
    node->count = (uint32_t)count;
    for (uint32_t i = 0; i < node->count; ++i) node->items[i] = reader->slots[i].item;
    node->items[node->count] = nullptr;
    if (!settings->subfolders) return;

    folder_node_t* first = nullptr;
    folder_node_t* last = nullptr;
    for (uint32_t i = 0; i < node->count; ++i) {
        listed_item_t* item = node->items[i];
        if (!item_is_folder(item)) break;  // folders come first
        folder_node_t* child = (folder_node_t*)arena_take(&node->arena, sizeof(folder_node_t));
        if (!child) {
            // None of the chain is handed out: it lives in this node's arena.
            for (uint32_t j = 0; j < i; ++j) node->items[j]->child = nullptr;
            exhausted(node, os_error_t{OS_ERROR_NO_MEMORY, 0});
            return;
        }
        new (child) folder_node_t{};
        child->parent = node;
        child->item = item;
        child->index = i;
        child->depth = node->depth + 1;
        child->state = NODE_QUEUED;
        child->arena = ARENA_EMPTY;
        item->child = child;
        if (last) {
            last->next = child;
        } else {
            first = child;
        }
        last = child;
    }
    *first_child = first;
    *last_child = last;
}

bool node_precedes(const folder_node_t* a, const folder_node_t* b) {
    if (a == b) return false;
    // Lift the deeper one to the other's depth: an ancestor comes first.
    const folder_node_t* x = a;
    const folder_node_t* y = b;
    while (x->depth > y->depth) x = x->parent;
    while (y->depth > x->depth) y = y->parent;
    if (x == y) return a->depth < b->depth;
    while (x->parent != y->parent) {
        x = x->parent;
        y = y->parent;
    }
    return x->index < y->index;
}

void free_reader(reader_t* reader) {
    free(reader->slots);
    reader->slots = nullptr;
    reader->slot_capacity = 0;
}

void free_folder_node(folder_node_t* node) {
    if (node->folder) os.folder_close(node->folder);
    node->folder = nullptr;
    arena_free(&node->arena);
    node->items = nullptr;
    node->count = 0;
}

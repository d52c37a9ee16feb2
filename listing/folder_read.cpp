#include "listing/folder_read.h"

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

const char* make_sort_key(arena_t* arena, const char* text) {
    char key[KEY_BUFFER_SIZE];
    int size =
        os.LCMapStringA(LOCALE_USER_DEFAULT, LCMAP_SORTKEY | NORM_IGNORECASE, text, -1, key, sizeof key);
    // A name without a key (none is that long) sorts by its bytes.
    if (size <= 0) return text;
    return (const char*)arena_copy_terminated(arena, key, (size_t)size - 1, 1);
}

listed_item_t* new_item(arena_t* arena, const folder_item_t* found) {
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
    item->sort_key = item->text ? make_sort_key(arena, item->text) : nullptr;
    item->child = nullptr;
    item->text_length = (uint32_t)found->text_length;
    item->native_length = (uint32_t)found->native_length;
    item->attributes = found->attributes;
    if (!item->text || !item->native || !item->sort_key) return nullptr;
    return item;
}

// True when the node's folder is one of the folders above it: only a link
// or a junction can lead back up, so only those are asked.
bool leads_back_up(folder_node_t* node, const read_settings_t* settings) {
    if (!node->item || !(node->item->attributes & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
    std::lock_guard<std::mutex> hold(*settings->identity_lock);
    folder_identity_t self;
    if (!os.folder_identity(node->folder, &self)) return false;
    for (folder_node_t* above = node->parent; above; above = above->parent) {
        folder_identity_t other;
        if (os.folder_identity(above->folder, &other) && same_folder(&self, &other)) return true;
    }
    return false;
}

void read_items(folder_node_t* node, const read_settings_t* settings, reader_t* reader) {
    reader->slots.clear();
    folder_item_t found;
    while (os.folder_read(node->folder, &found)) {
        if (settings->stop->load(std::memory_order_relaxed)) return;
        if (settings->skipped_name &&
            same_native(found.native, found.native_length, settings->skipped_name)) {
            continue;
        }
        const bool is_folder = (found.attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        if (!is_folder && !reader->filter->matches(found.text)) continue;
        listed_item_t* item = new_item(&node->arena, &found);
        if (!item) {
            node->out_of_memory = true;
            return;
        }
        try {
            reader->slots.push_back(sort_slot_t{prefix_of(item->sort_key), is_folder ? 0u : 1u, item});
        } catch (const std::bad_alloc&) {
            node->out_of_memory = true;
            return;
        }
    }
    const DWORD error = GetLastError();
    if (error != 0) {
        node->unreadable = true;
        node->error = error;
    }
}

}  // namespace

void read_folder_node(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child) {
    *first_child = *last_child = nullptr;
    node->folder = node->parent ? os.folder_open_child(node->parent->folder, node->item->native,
                                                       settings->folder_options)
                                : os.folder_open(settings->top, settings->folder_options);
    if (!node->folder) {
        node->unreadable = true;
        node->error = GetLastError();
        return;
    }
    if (leads_back_up(node, settings)) {
        node->loop = true;
        return;
    }
    read_items(node, settings, reader);
    if (node->out_of_memory) return;

    std::sort(reader->slots.begin(), reader->slots.end(), slot_before);
    node->count = (uint32_t)reader->slots.size();
    node->items = (listed_item_t**)arena_take(&node->arena, (node->count + 1) * sizeof(listed_item_t*));
    if (node->items) {
        for (uint32_t i = 0; i < node->count; ++i) node->items[i] = reader->slots[i].item;
        node->items[node->count] = nullptr;
    }
    if (!node->items) {
        node->out_of_memory = true;
        node->count = 0;
        return;
    }
    if (!settings->subfolders) return;
    for (uint32_t i = 0; i < node->count; ++i) {
        listed_item_t* item = node->items[i];
        if (!item_is_folder(item)) break;  // folders come first
        folder_node_t* child = (folder_node_t*)arena_take(&node->arena, sizeof(folder_node_t));
        if (!child) {
            node->out_of_memory = true;
            return;
        }
        new (child) folder_node_t{};
        child->parent = node;
        child->item = item;
        child->state = NODE_QUEUED;
        child->arena = ARENA_EMPTY;
        item->child = child;
        if (*last_child) {
            (*last_child)->next = child;
        } else {
            *first_child = child;
        }
        *last_child = child;
    }
}

void free_folder_node(folder_node_t* node) {
    if (node->folder) os.folder_close(node->folder);
    node->folder = nullptr;
    arena_free(&node->arena);
    node->items = nullptr;
    node->count = 0;
}

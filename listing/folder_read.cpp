#include "listing/folder_read.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

#include "listing/natural_key.h"

namespace {

constexpr size_t KEY_BUFFER_SIZE = 2048;  // a platform sort key takes a few bytes per character

bool same_native(const nchar_t* a, size_t a_length, const nchar_t* b) {
    return native_length(b) == a_length && memcmp(a, b, a_length * sizeof(nchar_t)) == 0;
}

// Folders first, then the platform's order without regard to case (or the
// natural order); names that compare equal there (they differ only in letter
// case, or in leading zeros) by their bytes, then by their native names,
// which differ in any folder: the same folder gives the same list wherever
// it is stored, whatever order the disk keeps.
bool comes_before(const listed_item_t* a, const listed_item_t* b, bool natural) {
    const bool a_folder = item_is_folder(a);
    if (a_folder != item_is_folder(b)) return a_folder;
    int order;
    if (natural) {
        const natural_key_t key_a = {(const unsigned char*)a->sort_key, a->key_length};
        const natural_key_t key_b = {(const unsigned char*)b->sort_key, b->key_length};
        order = compare_natural_keys(&key_a, &key_b);
    } else {
        order = strcmp(a->sort_key, b->sort_key);
    }
    if (order == 0) order = strcmp(a->text, b->text);
    if (order == 0) {
        const size_t shorter = a->native_length < b->native_length ? a->native_length : b->native_length;
        order = memcmp(a->native, b->native, shorter * sizeof(nchar_t));
        if (order == 0) return a->native_length < b->native_length;
    }
    return order < 0;
}

// The key's first 8 bytes as a number: as the keys compare, so do these,
// or they tie.
uint64_t prefix_of(const char* key, size_t length) {
    uint64_t prefix = 0;
    size_t i = 0;
    for (; i < 8 && i < length; ++i) prefix = prefix << 8 | (unsigned char)key[i];
    return i == 0 ? 0 : prefix << (8 * (8 - i));
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
listed_item_t* new_item(arena_t* arena, const folder_item_t* found, const read_settings_t* settings) {
    os_set_last_error(OS_ERROR_NO_MEMORY);
    const size_t size = sizeof(listed_item_t) + (settings->details ? sizeof(item_details_t) : 0);
    listed_item_t* item = (listed_item_t*)arena_take(arena, size);
    if (!item) return nullptr;
    if (settings->details) {
        item_details_t* details = (item_details_t*)((char*)item + sizeof(listed_item_t));
        *details = item_details_t{found->size, found->modified, found->details_known};
    }
    const bool natural = settings->natural;
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
    if (natural) {
        natural_key_t key;
        if (!make_natural_key(arena, item->text, found->text_length, &key)) return nullptr;
        item->sort_key = (const char*)key.bytes;
        item->key_length = (uint32_t)key.length;
    } else {
        item->sort_key = make_sort_key(arena, item->text);
        if (!item->sort_key) return nullptr;
        item->key_length = (uint32_t)strlen(item->sort_key);
    }
    item->child = nullptr;
    item->text_length = (uint32_t)found->text_length;
    item->native_length = (uint32_t)found->native_length;
    item->attributes = found->attributes;
    return item;
}

enum link_check_t { LINK_WALKED, LINK_LOOPS, LINK_SEEN, LINK_UNKNOWN, LINK_NO_ROOM };

// The identities of the folders above the top one, asked once: a link may
// lead to any of them ("up -> ..", "root -> /") as well as to one inside.
void find_top_ancestors(const read_settings_t* settings, link_state_t* links) {
    links->ancestors_known = true;
    constexpr size_t MOST_LEVELS = 4096;
    folder_t* at = os.folder_open(settings->top, 0);
    folder_identity_t below;
    if (!at) return;
    if (!os.folder_identity(at, &below)) {
        os.folder_close(at);
        return;
    }
    for (size_t level = 0; level < MOST_LEVELS; ++level) {
        folder_t* parent = os.folder_open_child(at, NTEXT(".."), 0);
        os.folder_close(at);
        at = parent;
        folder_identity_t identity;
        if (!at || !os.folder_identity(at, &identity) || same_folder(&identity, &below)) break;  // the root
        if (links->top_ancestor_count % 16 == 0) {
            folder_identity_t* grown =
                (folder_identity_t*)os.malloc((links->top_ancestor_count + 16) * sizeof(folder_identity_t));
            if (!grown) break;
            if (links->top_ancestor_count) {
                memcpy(grown, links->top_ancestors, links->top_ancestor_count * sizeof(folder_identity_t));
            }
            free(links->top_ancestors);
            links->top_ancestors = grown;
        }
        links->top_ancestors[links->top_ancestor_count++] = identity;
        below = identity;
    }
    if (at) os.folder_close(at);
}

// Whether the folder a link leads to is walked: not when it is one of the
// folders above it (in the walk or above the top), nor when a link earlier
// in the walk led to it. A link whose identity cannot be told is not walked
// either: it might loop. Called by the walk alone.
link_check_t check_link(folder_node_t* node, const read_settings_t* settings) {
    link_state_t* links = settings->links;
    folder_identity_t self;
    if (!os.folder_identity(node->folder, &self)) {
        node->error = os_last_error();
        return LINK_UNKNOWN;
    }
    // Every folder above has subfolders, and so its identity (its folder
    // may be closed by now).
    for (folder_node_t* above = node->parent; above; above = above->parent) {
        if (!above->has_identity) {
            node->error = above->error;
            return LINK_UNKNOWN;
        }
        if (same_folder(&self, &above->identity)) return LINK_LOOPS;
    }
    if (!links->ancestors_known) find_top_ancestors(settings, links);
    for (size_t i = 0; i < links->top_ancestor_count; ++i) {
        if (same_folder(&self, &links->top_ancestors[i])) return LINK_LOOPS;
    }
    switch (link_targets_add(&links->targets, &self)) {
        case LINK_TARGET_NEW:
            return LINK_WALKED;
        case LINK_TARGET_SEEN:
            return LINK_SEEN;
        case LINK_TARGET_NO_ROOM:
            break;
    }
    node->error = os_last_error();
    return LINK_NO_ROOM;
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
        if (settings->no_hidden && (found.attributes & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM)))
            continue;
        if (reader->skip && reader->skip->matches(found.text)) continue;
        if (!is_folder && (settings->files_unneeded || !reader->filter->matches(found.text))) continue;
        listed_item_t* item = new_item(&node->arena, &found, settings);
        if (!item) {
            exhausted(node, os_last_error());
            return count;
        }
        const uint64_t prefix = prefix_of(item->sort_key, item->key_length);
        if (!add_slot(reader, count, sort_slot_t{prefix, is_folder ? 0u : 1u, item})) {
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

void close_folder(folder_node_t* node, const read_settings_t* settings) {
    if (!node->folder) return;
    os.folder_close(node->folder);
    node->folder = nullptr;
    settings->open_folders->fetch_sub(1, std::memory_order_relaxed);
}

// The parent's folder is needed until the last of its subfolders is open:
// the reader that tried that one closes it.
void child_tried(folder_node_t* parent, const read_settings_t* settings) {
    if (parent->children_unopened.fetch_sub(1, std::memory_order_acq_rel) == 1)
        close_folder(parent, settings);
}

// Reads the items and queues the subfolders of the node's open folder.
void read_open_folder(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child);

}  // namespace

void read_folder_node(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child) {
    *first_child = *last_child = nullptr;
    folder_node_t* parent = node->parent;
    node->folder = parent ? os.folder_open_child(parent->folder, node->item->native, settings->folder_options)
                          : os.folder_open(settings->top, settings->folder_options);
    const os_error_t open_error = os_last_error();
    if (node->folder) {
        settings->open_folders->fetch_add(1, std::memory_order_relaxed);
        node->opened = true;
    }
    if (parent) child_tried(parent, settings);
    if (node->folder) {
        read_open_folder(node, settings, reader, first_child, last_child);
        // A folder without subfolders to open holds nothing more.
        if (!*first_child) close_folder(node, settings);
        return;
    }
    if (is_exhaustion(open_error.code)) {
        exhausted(node, open_error);
    } else {
        node->unreadable = true;
        node->error = open_error;
    }
}

namespace {

void read_open_folder(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child) {
    if (node->through_link) {
        switch (check_link(node, settings)) {
            case LINK_WALKED:
                break;
            case LINK_LOOPS:
                node->loop = true;
                return;
            case LINK_SEEN:
                node->seen_before = true;
                return;
            case LINK_UNKNOWN:
                not_wholly_read(node, node->error);
                return;
            case LINK_NO_ROOM:
                node->exhausted = true;
                return;
        }
    }
    const size_t count = read_items(node, settings, reader);
    if (node->exhausted) return;

    const bool natural = settings->natural;
    std::sort(reader->slots, reader->slots + count, [natural](const sort_slot_t& a, const sort_slot_t& b) {
        if (a.is_file != b.is_file) return a.is_file < b.is_file;
        if (a.key_prefix != b.key_prefix) return a.key_prefix < b.key_prefix;
        return comes_before(a.item, b.item, natural);
    });
    node->items = (listed_item_t**)arena_take(&node->arena, (count + 1) * sizeof(listed_item_t*));
    if (!node->items) {
        exhausted(node, os_error_t{OS_ERROR_NO_MEMORY, 0});
        return;
    }
    node->count = (uint32_t)count;
    for (uint32_t i = 0; i < node->count; ++i) node->items[i] = reader->slots[i].item;
    node->items[node->count] = nullptr;
    // Folders at the last level are listed, not walked.
    if (!settings->subfolders || (settings->max_depth && node->depth + 1 >= settings->max_depth)) return;

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
        child->through_link = (item->attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
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
    if (!first) return;
    // Asked now, while the folder is open: the link checks below it need it.
    node->has_identity = os.folder_identity(node->folder, &node->identity);
    if (!node->has_identity) node->error = os_last_error();
    uint32_t children = 0;
    for (folder_node_t* child = first; child != last; child = child->next) ++children;
    node->children_unopened.store(children + 1, std::memory_order_relaxed);
    *first_child = first;
    *last_child = last;
}

}  // namespace

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

void free_link_state(link_state_t* links) {
    link_targets_free(&links->targets);
    free(links->top_ancestors);
    links->top_ancestors = nullptr;
    links->top_ancestor_count = 0;
    links->ancestors_known = false;
}

void free_reader(reader_t* reader) {
    free(reader->slots);
    reader->slots = nullptr;
    reader->slot_capacity = 0;
}

void free_folder_node(folder_node_t* node, const read_settings_t* settings) {
    close_folder(node, settings);
    arena_free(&node->arena);
    node->items = nullptr;
    node->count = 0;
}

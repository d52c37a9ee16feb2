#include "listing/folder_read.h"

#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <new>

#include "listing/natural_key.h"
#include "text/byte_words.h"

namespace {

constexpr size_t KEY_BUFFER_SIZE = 2048;  // a platform sort key takes a few bytes per character
// Up to this many items a folder's list of them goes into its arena; a
// larger one takes the reader's slots.
constexpr size_t ITEMS_IN_ARENA = 4096;

bool same_native(const nchar_t* a, size_t a_length, const nchar_t* b, size_t b_length) {
    return a_length == b_length && memcmp(a, b, a_length * sizeof(nchar_t)) == 0;
}

// Folders first, then the platform's order without regard to case (or the
// natural order); names that compare equal there (they differ only in letter
// case, or in leading zeros) by their bytes, then by their native names,
// which differ in any folder: the same folder gives the same list wherever
// it is stored, whatever order the disk keeps.
// strcmp of the two items' sort keys, folding on the way the one that is
// only its folded text (ITEM_KEY_IS_FOLDED).
int compare_keys(const listed_item_t* a, const listed_item_t* b) {
    const unsigned char* key_a = (const unsigned char*)item_key(a);
    const unsigned char* key_b = (const unsigned char*)item_key(b);
    const bool fold_a = (a->flags & ITEM_KEY_IS_FOLDED) != 0;
    const bool fold_b = (b->flags & ITEM_KEY_IS_FOLDED) != 0;
    for (;; ++key_a, ++key_b) {
        unsigned c_a = *key_a;
        unsigned c_b = *key_b;
        if (fold_a && c_a - 'A' < 26u) c_a += 'a' - 'A';
        if (fold_b && c_b - 'A' < 26u) c_b += 'a' - 'A';
        if (c_a != c_b) return c_a < c_b ? -1 : 1;
        if (c_a == 0) return 0;
    }
}

bool comes_before(const listed_item_t* a, const listed_item_t* b, bool natural) {
    const bool a_folder = item_is_folder(a);
    if (a_folder != item_is_folder(b)) return a_folder;
    int order = natural ? compare_natural_keys(item_key(a), a->key_length, item_key(b), b->key_length)
                        : compare_keys(a, b);
    if (order == 0) order = strcmp(item_text(a), item_text(b));
    if (order == 0) {
        const size_t shorter = a->native_length < b->native_length ? a->native_length : b->native_length;
        order = memcmp(item_native(a), item_native(b), shorter * sizeof(nchar_t));
        if (order == 0) return a->native_length < b->native_length;
    }
    return order < 0;
}

// The key's eight bytes from `offset` on as a number, zeros past its end,
// folded where the key is compared folded (folding is bytewise, so the
// number's bytes fold as the text's would).
uint64_t key_word_at(const listed_item_t* item, size_t offset) {
    const char* key = item_key(item) + offset;
    const size_t left = item->key_length > offset ? item->key_length - offset : 0;
    uint64_t word = 0;
    if (left >= 8) {
        word = word_in_text_order(load_word(key));
    } else {
        for (size_t i = 0; i < 8; ++i) word = word << 8 | (i < left ? (unsigned char)key[i] : 0);
    }
    return item->flags & ITEM_KEY_IS_FOLDED ? fold_ascii_word(word) : word;
}

// Where the sort begins: files after folders (the top bit), then the key's
// first bytes as a number. As the items compare, so do these, or they tie.
uint64_t sort_order_of(const listed_item_t* item) {
    return (item_is_folder(item) ? 0 : 1ull << 63) | key_word_at(item, 0) >> 1;
}

// The first sort order holds the key's first seven bytes whole; each further
// round the next eight.
constexpr size_t FIRST_ROUND_BYTES = 7;
constexpr size_t ROUND_BYTES = 8;

// Sorts the slots by their orders. Slots whose orders tie sort again by the
// next bytes of their keys, round after round: an item's key is read once a
// round, not once a comparison, and the comparisons touch only the slots.
// Keys equal to their end go by comes_before (natural keys at once: their
// order is not their bytes').
void sort_slots(sort_slot_t* slots, size_t count, size_t offset, bool natural) {
    std::sort(slots, slots + count,
              [](const sort_slot_t& a, const sort_slot_t& b) { return a.order < b.order; });
    for (size_t first = 0; first < count;) {
        size_t end = first + 1;
        while (end < count && slots[end].order == slots[first].order) ++end;
        sort_slot_t* tied = slots + first;
        const size_t tied_count = end - first;
        first = end;
        if (tied_count < 2) continue;
        bool key_left = false;
        if (!natural) {
            for (size_t i = 0; i < tied_count; ++i) {
                tied[i].order = key_word_at(tied[i].item, offset);
                key_left |= tied[i].item->key_length > offset;
            }
        }
        if (key_left) {
            sort_slots(tied, tied_count, offset + ROUND_BYTES, natural);
        } else {
            std::sort(tied, tied + tied_count, [natural](const sort_slot_t& a, const sort_slot_t& b) {
                return comes_before(a.item, b.item, natural);
            });
        }
    }
}

bool same_bytes(const void* a, size_t a_length, const void* b, size_t b_length) {
    return a_length == b_length && memcmp(a, b, a_length) == 0;
}

// True when key is text with A to Z as a to z (and nothing else changed).
bool is_folded(const char* key, size_t key_length, const char* text, size_t text_length) {
    if (key_length != text_length) return false;
    for (size_t i = 0; i < key_length; ++i) {
        const char c = text[i];
        if (key[i] != (c >= 'A' && c <= 'Z' ? (char)(c + ('a' - 'A')) : c)) return false;
    }
    return true;
}

// How an ASCII name compares where its key would be the name folded: as its
// own key (no letter A to Z), or folded when compared; 0 for any other name.
uint16_t key_of_ascii(const char* text, size_t length) {
    uint64_t high = 0;
    uint64_t upper = 0;
    size_t i = 0;
    for (; i + 8 <= length; i += 8) {
        const uint64_t word = load_word(text + i);
        high |= word;
        upper |= ascii_upper_bytes(word);
    }
    uint64_t tail = 0;
    for (; i < length; ++i) tail = tail << 8 | (unsigned char)text[i];
    high |= tail;
    upper |= ascii_upper_bytes(tail);
    if (high & BYTE_HIGHS) return 0;
    return upper ? ITEM_KEY_IS_FOLDED : ITEM_KEY_IS_TEXT;
}

// The item in the node's arena, texts and all; null with the reason in
// os_last_error().
listed_item_t* new_item(arena_t* arena, const folder_item_t* found, const read_settings_t* settings) {
    char key[KEY_BUFFER_SIZE];
    size_t key_length = found->text_length;
    const uint16_t key_kind =
        settings->keys_fold_ascii && !settings->natural ? key_of_ascii(found->text, found->text_length) : 0;
    if (key_kind) {
        // The key would be the text folded: none is made.
    } else if (settings->natural) {
        key_length = natural_key(found->text, found->text_length, key, sizeof key);
        if (key_length == 0) return nullptr;
    } else {
        const int size = os.sort_key(found->text, key, sizeof key);
        if (size <= 0) return nullptr;
        key_length = (size_t)size - 1;
    }
    const size_t alias_length = found->alias[0] ? native_length(found->alias) : 0;
    // One copy where the bytes are the same: an ASCII name on POSIX is its
    // own text, and a lower-case one its own key.
    const bool text_is_native =
        sizeof(nchar_t) == 1 && !alias_length &&
        same_bytes(found->text, found->text_length, found->native, found->native_length);
    const bool key_is_text =
        key_kind ? key_kind == ITEM_KEY_IS_TEXT
                 : !settings->natural && same_bytes(key, key_length, found->text, found->text_length);
    // A key that is only the text folded is made again when compared (the
    // locales without rules, and every ASCII name in the C locale).
    const bool key_is_folded = key_kind ? key_kind == ITEM_KEY_IS_FOLDED
                                        : !key_is_text && !settings->natural &&
                                              is_folded(key, key_length, found->text, found->text_length);
    size_t size = sizeof(listed_item_t) + (found->native_length + 1) * sizeof(nchar_t);
    if (alias_length) size += (alias_length + 1) * sizeof(nchar_t);
    if (!text_is_native) size += found->text_length + 1;
    if (!key_is_text && !key_is_folded) size += key_length + 1;
    if (settings->details) size += alignof(item_details_t) - 1 + sizeof(item_details_t);

    listed_item_t* item = (listed_item_t*)arena_take_aligned(arena, size, alignof(listed_item_t));
    if (!item) {
        os_set_last_error(OS_ERROR_NO_MEMORY);
        return nullptr;
    }
    item->native_length = (uint16_t)found->native_length;
    item->text_length = (uint16_t)found->text_length;
    item->key_length = (uint16_t)key_length;
    item->flags =
        (uint16_t)((alias_length ? ITEM_HAS_ALIAS : 0) | (text_is_native ? ITEM_TEXT_IS_NATIVE : 0) |
                   (key_is_text ? ITEM_KEY_IS_TEXT : 0) | (key_is_folded ? ITEM_KEY_IS_FOLDED : 0) |
                   (settings->details ? ITEM_HAS_DETAILS : 0));
    item->attributes = found->attributes;
    nchar_t* native = (nchar_t*)(item + 1);
    memcpy(native, found->native, found->native_length * sizeof(nchar_t));
    native[found->native_length] = 0;
    char* next = (char*)(native + found->native_length + 1);
    if (alias_length) {
        memcpy(next, found->alias, (alias_length + 1) * sizeof(nchar_t));
        next += (alias_length + 1) * sizeof(nchar_t);
    }
    if (!text_is_native) {
        memcpy(next, found->text, found->text_length);
        next[found->text_length] = '\0';
        next += found->text_length + 1;
    }
    if (!key_is_text && !key_is_folded) {
        memcpy(next, key, key_length);
        next[key_length] = '\0';
    }
    if (settings->details) {
        *(item_details_t*)details_of(item) =
            item_details_t{found->size, found->modified, found->details_known};
    }
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

// The node's folder opened anew from the top folder, name by name (its own
// may be closed by now), or null with the reason in os_last_error(). With
// `identify`, each folder on the way that has no identity yet is asked it,
// and the way ends at the first that cannot tell.
folder_t* open_from_top(folder_node_t* node, const read_settings_t* settings, bool identify) {
    folder_node_t** chain = (folder_node_t**)os.malloc((node->depth + 1) * sizeof(folder_node_t*));
    if (!chain) return nullptr;
    for (folder_node_t* above = node; above; above = above->parent) chain[above->depth] = above;
    folder_t* at = os.folder_open(settings->top, 0);
    for (uint32_t level = 0; at; ++level) {
        folder_node_t* here = chain[level];
        if (identify && !here->has_identity) here->has_identity = os.folder_identity(at, &here->identity);
        if ((identify && !here->has_identity) || level == node->depth) break;
        folder_t* below = os.folder_open_child(at, item_native(chain[level + 1]->item), 0);
        const os_error_t error = os_last_error();
        os.folder_close(at);
        at = below;
        os_set_last_error(error);
    }
    free(chain);
    if (at && identify && !node->has_identity) {
        const os_error_t error = os_last_error();
        os.folder_close(at);
        os_set_last_error(error);
        return nullptr;
    }
    return at;
}

// The identities of the node's folder and of those above it that were read
// without theirs (identity_on_demand): asked now, through a walk down from
// the top folder, since their folders are closed by now. False, with the
// reason in node->error, when a folder on the way cannot be opened or told.
bool ask_identities(folder_node_t* node, const read_settings_t* settings) {
    folder_t* at = open_from_top(node, settings, true);
    if (!at) {
        node->error = os_last_error();
        return false;
    }
    os.folder_close(at);
    return true;
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
    // may be closed by now), or one to be asked.
    if (settings->identity_on_demand && node->parent && !node->parent->has_identity &&
        !ask_identities(node->parent, settings)) {
        return LINK_UNKNOWN;
    }
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
    if (!settings->temp_name ||
        !same_native(found->native, found->native_length, settings->temp_name, settings->temp_name_length)) {
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
        if (!add_slot(reader, count, sort_slot_t{sort_order_of(item), item})) {
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
    folder_t* folder = node->folder.exchange(nullptr);
    if (!folder) return;
    os.folder_close(folder);
    settings->open_folders->fetch_sub(1, std::memory_order_relaxed);
}

// Descriptors run short where every folder on the walk's path still has a
// subfolder to open (a deep tree with a sibling at each level): where the
// folders open reach os.folders_open_max() (which keeps a reserve for the
// list, the trace and the C library), or an open fails for want of a
// descriptor all the same, a folder held open only for its subfolders is
// closed ("parked") to make room, and opened again from the top folder,
// name by name, when its next subfolder opens, as fts does. Parked first
// are the ones highest up: their next subfolder comes latest, and their way
// down is the shortest.
//
// Opening a subfolder takes no lock: the opener counts itself among the
// folder's users, then reads the folder; the parker takes the folder away,
// then reads the users, and gives it back when there is one (each sees the
// other's first step: both are sequentially consistent). Parking and
// opening again take the folders lock, one thread at a time.

// With the folders lock held.
bool park(folder_node_t* node, const read_settings_t* settings) {
    folder_t* folder = node->folder.exchange(nullptr);
    if (!folder) return false;
    if (node->folder_users.load() != 0) {
        node->folder.store(folder);
        return false;
    }
    os.folder_close(folder);
    settings->open_folders->fetch_sub(1, std::memory_order_relaxed);
    return true;
}

// Parks the folder highest above `node`'s parent that is held only for its
// subfolders and that nobody opens one through now. With the folders lock.
bool park_a_folder_above(folder_node_t* node, const read_settings_t* settings) {
    constexpr int ATTEMPTS = 3;  // another thread may begin to use the one chosen
    for (int attempt = 0; attempt < ATTEMPTS; ++attempt) {
        folder_node_t* highest = nullptr;
        for (folder_node_t* above = node->parent->parent; above; above = above->parent) {
            if (above->folder.load() && above->folder_users.load() == 0) highest = above;
        }
        if (!highest) return false;
        if (park(highest, settings)) return true;
    }
    return false;
}

// Parks folders above `node` while the folders open reach the limit.
void make_room(folder_node_t* node, const read_settings_t* settings) {
    os.lock_enter(settings->folders_lock);
    while (settings->open_folders->load(std::memory_order_relaxed) >= settings->folders_open_max &&
           park_a_folder_above(node, settings)) {
    }
    os.lock_leave(settings->folders_lock);
}

// Opens a parked folder again, if it is still the folder it was (a folder
// renamed or replaced since is not). False, with the reason in
// os_last_error(), when it cannot be; a descriptor short is made room for.
bool reopen_parked(folder_node_t* below, folder_node_t* node, const read_settings_t* settings) {
    os.lock_enter(settings->folders_lock);
    bool there = node->folder.load() != nullptr;  // another thread may have opened it again
    // Each turn opens it, or parks a folder above to make room, or ends.
    while (!there) {
        folder_t* folder = open_from_top(node, settings, false);
        folder_identity_t now;
        if (folder && node->has_identity &&
            !(os.folder_identity(folder, &now) && same_folder(&now, &node->identity))) {
            const os_error_t error = os_last_error();
            os.folder_close(folder);
            folder = nullptr;
            os_set_last_error(error.code == OS_ERROR_NONE ? os_error_t{OS_ERROR_NOT_FOUND, 0} : error);
        }
        if (folder) {
            settings->open_folders->fetch_add(1, std::memory_order_relaxed);
            node->folder.store(folder);
            there = true;
        } else if (os_last_error().code != OS_ERROR_NO_DESCRIPTORS || !park_a_folder_above(below, settings)) {
            break;
        }
    }
    const os_error_t error = os_last_error();
    os.lock_leave(settings->folders_lock);
    os_set_last_error(error);
    return there;
}

// Opens the node's folder, counted among those open: the top one by its
// path, any other through its parent's, which is closed once its last
// subfolder has been tried. The count takes a subfolder before it is
// opened, so that threads opening at once cannot all pass the limit.
folder_t* open_node_folder(folder_node_t* node, const read_settings_t* settings) {
    std::atomic<unsigned>* open_folders = settings->open_folders;
    folder_node_t* parent = node->parent;
    if (!parent) {
        folder_t* top = os.folder_open(settings->top, settings->folder_options);
        if (top) open_folders->fetch_add(1, std::memory_order_relaxed);
        return top;
    }
    if (open_folders->load(std::memory_order_relaxed) >= settings->folders_open_max)
        make_room(node, settings);
    folder_t* opened = nullptr;
    for (;;) {
        parent->folder_users.fetch_add(1);
        folder_t* through = parent->folder.load();
        if (!through) {
            parent->folder_users.fetch_sub(1);
            if (reopen_parked(node, parent, settings)) continue;
            break;
        }
        open_folders->fetch_add(1, std::memory_order_relaxed);
        opened = os.folder_open_child(through, item_native(node->item), settings->folder_options);
        const os_error_t error = os_last_error();
        parent->folder_users.fetch_sub(1);
        if (opened) break;
        open_folders->fetch_sub(1, std::memory_order_relaxed);
        os.lock_enter(settings->folders_lock);
        const bool room_made = error.code == OS_ERROR_NO_DESCRIPTORS && park_a_folder_above(node, settings);
        os.lock_leave(settings->folders_lock);
        os_set_last_error(error);
        if (!room_made) break;
    }
    const os_error_t error = os_last_error();
    if (parent->children_unopened.fetch_sub(1) == 1) close_folder(parent, settings);
    os_set_last_error(error);
    return opened;
}

// Reads the items and queues the subfolders of the node's open folder.
void read_open_folder(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child);

}  // namespace

void read_folder_node(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child) {
    *first_child = *last_child = nullptr;
    node->folder = open_node_folder(node, settings);
    const os_error_t open_error = os_last_error();
    if (node->folder) {
        node->opened = true;
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
    sort_slots(reader->slots, count, FIRST_ROUND_BYTES, natural);
    if (count > ITEMS_IN_ARENA) {
        // A large folder takes the reader's slots, made its list of items in
        // place (a pointer is half a slot): its items cost no more room.
        listed_item_t** items = (listed_item_t**)(void*)reader->slots;
        for (size_t i = 0; i < count; ++i) items[i] = reader->slots[i].item;
        node->items = items;
        node->items_owned = true;
        reader->slots = nullptr;
        reader->slot_capacity = 0;
    } else {
        node->items = (listed_item_t**)arena_take(&node->arena, (count + 1) * sizeof(listed_item_t*));
        if (!node->items) {
            exhausted(node, os_error_t{OS_ERROR_NO_MEMORY, 0});
            return;
        }
        for (size_t i = 0; i < count; ++i) node->items[i] = reader->slots[i].item;
    }
    node->count = (uint32_t)count;
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
            for (uint32_t j = 0; j < i; ++j) node->items[j]->flags &= (uint16_t)~ITEM_WALKED;
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
        item->flags |= ITEM_WALKED;
        if (last) {
            last->next = child;
        } else {
            first = child;
        }
        last = child;
    }
    if (!first) return;
    // Asked now, while the folder is open: the link checks below it need it.
    if (!settings->identity_on_demand) {
        node->has_identity = os.folder_identity(node->folder, &node->identity);
        if (!node->has_identity) node->error = os_last_error();
    }
    uint32_t children = 1;
    for (folder_node_t* child = first; child != last; child = child->next) ++children;
    node->children_unopened.store(children);
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
    if (node->items_owned) free(node->items);
    node->items_owned = false;
    arena_free(&node->arena);
    node->items = nullptr;
    node->count = 0;
}

#include "listing/link_targets.h"

#include <stdlib.h>
#include <string.h>

namespace {

bool is_free(const folder_identity_t* slot) {
    return slot->volume == 0 && slot->file == 0;
}

size_t hash_of(const folder_identity_t* identity) {
    uint64_t h = identity->file * 0x9E3779B97F4A7C15ull ^ (identity->volume + 0x632BE59BD9B4E019ull);
    h ^= h >> 29;
    return (size_t)h;
}

folder_identity_t* find_slot(folder_identity_t* slots, size_t capacity, const folder_identity_t* identity) {
    size_t at = hash_of(identity) & (capacity - 1);
    while (!is_free(&slots[at]) && !same_folder(&slots[at], identity)) at = (at + 1) & (capacity - 1);
    return &slots[at];
}

bool grow(link_targets_t* targets) {
    const size_t capacity = targets->capacity ? targets->capacity * 2 : 64;
    folder_identity_t* slots = (folder_identity_t*)os.malloc(capacity * sizeof(folder_identity_t));
    if (!slots) return false;
    memset(slots, 0, capacity * sizeof(folder_identity_t));
    for (size_t i = 0; i < targets->capacity; ++i) {
        if (!is_free(&targets->slots[i])) *find_slot(slots, capacity, &targets->slots[i]) = targets->slots[i];
    }
    free(targets->slots);
    targets->slots = slots;
    targets->capacity = capacity;
    return true;
}

}  // namespace

link_target_add_t link_targets_add(link_targets_t* targets, const folder_identity_t* identity) {
    // Half full at most; an identity of all zeros (none a file system gives)
    // would read as a free slot, so it is kept as if its file were 1.
    folder_identity_t key = *identity;
    if (is_free(&key)) key.file = 1;
    if ((targets->count + 1) * 2 > targets->capacity && !grow(targets)) return LINK_TARGET_NO_ROOM;
    folder_identity_t* slot = find_slot(targets->slots, targets->capacity, &key);
    if (!is_free(slot)) return LINK_TARGET_SEEN;
    *slot = key;
    ++targets->count;
    return LINK_TARGET_NEW;
}

void link_targets_free(link_targets_t* targets) {
    free(targets->slots);
    *targets = LINK_TARGETS_EMPTY;
}

// The folders a walk has reached through links, by identity: a folder is
// walked the first time a link leads to it, and later links to it are
// listed and not walked. Memory grows with the folders reached through
// links, not with the tree.
#pragma once

#include <stddef.h>

#include "platform/platform.h"

struct link_targets_t {
    folder_identity_t* slots;  // open addressing; a slot with file 0 and volume 0 is free
    size_t capacity;           // a power of two, or 0
    size_t count;
};

constexpr link_targets_t LINK_TARGETS_EMPTY = {nullptr, 0, 0};

enum link_target_add_t {
    LINK_TARGET_NEW,      // added: walk it
    LINK_TARGET_SEEN,     // already reached through a link
    LINK_TARGET_NO_ROOM,  // memory ran out (os_last_error())
};

link_target_add_t link_targets_add(link_targets_t* targets, const folder_identity_t* identity);
void link_targets_free(link_targets_t* targets);

// The memory of one folder's contents: a few large blocks from os.malloc,
// freed together when the folder has been written. A folder of any size
// costs a handful of allocations, not one per entry.
#pragma once

#include <stddef.h>

struct arena_block_t;

struct arena_t {
    arena_block_t* blocks;  // newest first
    char* next;             // free room in the newest block
    size_t left;
    size_t next_block_size;
};

constexpr arena_t ARENA_EMPTY = {nullptr, nullptr, 0, 0};

// `size` bytes aligned for any record; null when memory runs out.
void* arena_take(arena_t* arena, size_t size);
// `size` bytes aligned to `alignment` (a power of two, at most that of any
// record): small records and texts waste no room.
void* arena_take_aligned(arena_t* arena, size_t size, size_t alignment);
// A copy of `count` elements of `size` bytes followed by one zeroed element.
void* arena_copy_terminated(arena_t* arena, const void* data, size_t count, size_t size);
void arena_free(arena_t* arena);

#include "listing/arena.h"

#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "platform/platform.h"

struct arena_block_t {
    arena_block_t* next;
};

namespace {

constexpr size_t ALIGNMENT = alignof(max_align_t);
constexpr size_t FIRST_BLOCK_SIZE = 16 * 1024;  // most folders fit in the first block
constexpr size_t LARGEST_STEP = 4 * 1024 * 1024;

size_t aligned(size_t size) {
    return (size + ALIGNMENT - 1) & ~(ALIGNMENT - 1);
}

}  // namespace

void* arena_take(arena_t* arena, size_t size) {
    return arena_take_aligned(arena, size, ALIGNMENT);
}

void* arena_take_aligned(arena_t* arena, size_t size, size_t alignment) {
    // Each take moves the free room on by no more than its alignment needs;
    // a new block begins aligned for any record.
    const size_t skip = arena->next ? (size_t)(-(uintptr_t)arena->next & (alignment - 1)) : 0;
    if (!arena->next || skip + size > arena->left) {
        // Each block twice the last, up to a step that keeps the waste small.
        size_t block_size = arena->next_block_size ? arena->next_block_size : FIRST_BLOCK_SIZE;
        const size_t header = aligned(sizeof(arena_block_t));
        if (block_size < size + header) block_size = size + header;
        arena_block_t* block = (arena_block_t*)os.malloc(block_size);
        if (!block) return nullptr;
        block->next = arena->blocks;
        arena->blocks = block;
        arena->next = (char*)block + header;
        arena->left = block_size - header;
        const size_t doubled = block_size * 2;
        arena->next_block_size = doubled < LARGEST_STEP ? doubled : LARGEST_STEP;
    } else {
        arena->next += skip;
        arena->left -= skip;
    }
    void* taken = arena->next;
    arena->next += size;
    arena->left -= size;
    return taken;
}

void* arena_copy_terminated(arena_t* arena, const void* data, size_t count, size_t size) {
    char* copy = (char*)arena_take(arena, (count + 1) * size);
    if (!copy) return nullptr;
    if (count > 0) memcpy(copy, data, count * size);
    memset(copy + count * size, 0, size);
    return copy;
}

void arena_free(arena_t* arena) {
    arena_block_t* block = arena->blocks;
    while (block) {
        arena_block_t* next = block->next;
        free(block);
        block = next;
    }
    *arena = ARENA_EMPTY;
}

// xorshift32 for the benchmarks' made-up names: the same list on every
// machine and every run.
#pragma once

#include <stddef.h>
#include <stdint.h>

struct name_random {
    uint32_t state;
    uint32_t next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return state;
    }
    int below(int n) { return (int)(next() % (uint32_t)n); }
    template <size_t N>
    const char* pick(const char* const (&items)[N]) {
        return items[below((int)N)];
    }
};

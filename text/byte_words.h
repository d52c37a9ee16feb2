// Eight bytes at a time: tests and folds on 64-bit words of text, for the
// loops that see every byte of every name. Each test gives the high bit of
// the bytes it finds (with `bytes_below`, maybe of some bytes after a found
// one as well): a word has such a byte exactly when the result is not 0.
#pragma once

#include <stdint.h>
#include <string.h>

constexpr uint64_t BYTE_ONES = 0x0101010101010101ull;
constexpr uint64_t BYTE_HIGHS = 0x8080808080808080ull;

inline uint64_t load_word(const void* bytes) {
    uint64_t word;
    memcpy(&word, bytes, sizeof word);
    return word;
}

// Bytes below n (n at most 0x80).
inline uint64_t bytes_below(uint64_t word, unsigned n) {
    return (word - BYTE_ONES * n) & ~word & BYTE_HIGHS;
}

inline uint64_t bytes_equal_to(uint64_t word, unsigned char c) {
    return bytes_below(word ^ (BYTE_ONES * c), 1);
}

// The ASCII letters A to Z, exactly.
inline uint64_t ascii_upper_bytes(uint64_t word) {
    const uint64_t low = word & ~BYTE_HIGHS;  // no carry between bytes below
    return (low + BYTE_ONES * (0x80 - 'A')) & ~(low + BYTE_ONES * (0x80 - 'Z' - 1)) & ~word & BYTE_HIGHS;
}

// A to Z as a to z, every other byte as it is.
inline uint64_t fold_ascii_word(uint64_t word) {
    return word | ascii_upper_bytes(word) >> 2;
}

// The word's bytes as a number whose first byte is the most significant,
// so that numbers compare as the bytes do.
inline uint64_t word_in_text_order(uint64_t word) {
#if defined(__BYTE_ORDER__) && __BYTE_ORDER__ == __ORDER_BIG_ENDIAN__
    return word;
#else
    return __builtin_bswap64(word);
#endif
}

// Code page 932 as Windows converts it, character by character.
//
// The tables (text/cp932_table.cpp) are made by scripts/make_cp932_table.py
// from the code page's round-trip mapping: a character has a code only when
// that code decodes back to it. So U+301C, U+2016, U+2212, U+2014, U+00A2,
// U+00A3 and U+00AC have none (their look-alikes U+FF5E, U+2225, U+FF0D,
// U+2015, U+FFE0, U+FFE1 and U+FFE2 hold those codes), nor have U+00A5 and
// U+203E (which only "\" and "~" could stand for). Both builds convert with
// these tables, so both write the same bytes for every name.
//
// A code is one byte below 0x100, else lead byte * 256 + trail byte.
#pragma once

#include <stdint.h>

constexpr uint16_t CP932_NONE = 0xFFFF;  // no code for a character, no character for a code
constexpr uint16_t CP932_TRAIL_FIRST = 0x40;
constexpr uint16_t CP932_TRAIL_LAST = 0xFC;
// What Windows makes of a double-byte code the code page leaves empty, and of
// a lead byte that ends the text: U+30FB, the katakana middle dot.
constexpr uint16_t CP932_UNKNOWN_CHAR = 0x30FB;

extern const uint8_t cp932_block_of_high[256];
extern const uint16_t cp932_code_blocks[][256];
extern const uint16_t cp932_byte_chars[256];
extern const uint8_t cp932_row_of_lead[256];
extern const uint16_t cp932_pair_rows[][CP932_TRAIL_LAST - CP932_TRAIL_FIRST + 1];

// The code of a character of the Basic Multilingual Plane, or CP932_NONE.
inline uint16_t cp932_code_of(uint16_t unicode) {
    return cp932_code_blocks[cp932_block_of_high[unicode >> 8]][unicode & 0xFF];
}

// The character of a one-byte code (any byte but a lead byte).
inline uint16_t cp932_char_of_byte(uint8_t byte) {
    return cp932_byte_chars[byte];
}

// The character of a double-byte code, or CP932_NONE.
inline uint16_t cp932_char_of_pair(uint8_t lead, uint8_t trail) {
    const uint8_t row = cp932_row_of_lead[lead];
    if (row == 0xFF || trail < CP932_TRAIL_FIRST || trail > CP932_TRAIL_LAST) return CP932_NONE;
    return cp932_pair_rows[row][trail - CP932_TRAIL_FIRST];
}

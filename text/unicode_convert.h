// The system's Unicode text (the UTF-8 bytes of POSIX names, the UTF-16 of
// Windows names) into code page 932 or UTF-8, and code page 932 back into
// Unicode. Both builds convert names here, with the tables of text/cp932.h,
// so both write the same bytes for the same name.
//
// Every function writes at most out_size - 1 units and a terminator, cut at a
// whole character, and returns the length of the whole result, so that a
// result of out_size or more means "cut: call again with more room". None of
// them allocates or keeps state.
#pragma once

#include <stddef.h>

#ifdef _WIN32
typedef wchar_t utf16_unit_t;  // the system's wide text
#else
typedef char16_t utf16_unit_t;
#endif

// Characters that become "?" besides those the target cannot hold (bits; a
// NUL always does).
enum : unsigned {
    REPLACE_CONTROLS = 1,   // the C0 controls, DEL and the C1 controls U+0080 to U+009F
    REPLACE_BACKSLASH = 2,  // "\"
    REPLACE_SLASH = 4,      // "/"
};

// Invalid UTF-8 is cut into sequences as Wine cuts a Linux name into the
// UTF-16 it hands a Windows program, U+FFFD for each sequence, so that both
// builds show one "?" (or one U+FFFD) for the same bytes:
// - a byte 0x80 to 0xC1 or 0xF5 to 0xFF that starts no character is one;
// - a lead byte whose length reaches past the end of the text takes the rest
//   of the text with it ("x\xF0.z" is "x" and one sequence);
// - else the lead takes its continuation bytes one by one and stops at the
//   first byte that is none, or just after the second byte when that one
//   shows an overlong form (E0 80..9F, F0 80..8F), a surrogate (ED A0..BF) or
//   a value above U+10FFFF (F4 90..BF): "\xED\xA0\x80" is two sequences.

// Code page 932 text: each character the code page lacks, each character
// outside the Basic Multilingual Plane, each invalid sequence (UTF-8) and each
// lone surrogate (UTF-16) becomes one "?".
size_t cp932_from_utf8(char* out, size_t out_size, const char* utf8, size_t length, unsigned replaced);
size_t cp932_from_utf16(char* out, size_t out_size, const utf16_unit_t* utf16, size_t length,
                        unsigned replaced);

// UTF-8 text: each invalid sequence (UTF-8) and each lone surrogate (UTF-16)
// becomes one U+FFFD; the replaced characters become "?".
size_t utf8_from_utf8(char* out, size_t out_size, const char* utf8, size_t length, unsigned replaced);
size_t utf8_from_utf16(char* out, size_t out_size, const utf16_unit_t* utf16, size_t length,
                       unsigned replaced);

// Unicode of code page 932 text. A lead byte takes the byte after it as its
// trail, as mbs_next steps; a double-byte code the code page leaves empty, and
// a lead byte that ends the text, become U+30FB as on Windows.
size_t utf8_from_cp932(char* out, size_t out_size, const char* text, size_t length);
size_t utf16_from_cp932(utf16_unit_t* out, size_t out_size, const char* text, size_t length);

// Shift-JIS (code page 932) text and path helpers.
//
// Every text of the program is a NUL-terminated byte string in code page 932.
// These functions step such strings one whole character at a time, so the
// second byte of a double-byte character is never taken for a separator, a
// delimiter, a letter to case-map or a place to cut. Lead bytes are fixed
// (0x81-0x9F and 0xE0-0xFC), whatever the system's code page.
//
// None of them allocates or keeps state: they are safe on any thread.
// Positions returned point into the string that was passed in.
#pragma once

#include <stdarg.h>
#include <stddef.h>

// Every path buffer holds at most 521 bytes of text and the terminator.
constexpr size_t PATH_BUFFER_SIZE = 522;
// Message and trace buffers: at most 1023 characters and the terminator.
constexpr size_t FORMAT_BUFFER_SIZE = 1024;

// A set of one-byte character codes; double-byte characters are never members.
struct charset_t {
    unsigned char bits[32];
};

// --- Character stepping and classification ---------------------------------

inline bool mbs_is_lead_byte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
inline bool mbs_is_trail_byte(unsigned char b) {
    return b >= 0x40 && b <= 0xFC && b != 0x7F;
}

// Code of the character at p: the byte for a one-byte character, lead * 256 +
// second byte for a double-byte one, 0 at the terminator. A lead byte directly
// before the terminator is a one-byte character.
inline unsigned int mbs_char(const char* p) {
    const unsigned char b = (unsigned char)p[0];
    if (!mbs_is_lead_byte(b)) return b;
    const unsigned char second = (unsigned char)p[1];
    return second != 0 ? b * 256u + second : b;
}

// Position of the next character; p itself at the terminator.
inline const char* mbs_next(const char* p) {
    const unsigned char b = (unsigned char)p[0];
    if (b == 0) return p;
    if (!mbs_is_lead_byte(b)) return p + 1;
    return p[1] != '\0' ? p + 2 : p + 1;
}
inline char* mbs_next(char* p) {
    return const_cast<char*>(mbs_next((const char*)p));
}

// Classifies s[i]: 0 a one-byte character, 1 a lead byte, 2 the second byte of
// a double-byte character. 0 when the terminator comes at or before i.
int mbs_byte_type(const char* s, size_t i);

// --- Searching ----------------------------------------------------------------

bool charset_build(charset_t* out, const char* members);
inline bool charset_has(const charset_t* set, unsigned int code) {
    return code < 256 && (set->bits[code / 8] & (1u << (code % 8))) != 0;
}

const char* mbs_chr(const char* s, unsigned int c);  // c = 0 finds the terminator
size_t mbs_cspn(const char* s, const char* set);     // bytes before the first member
size_t mbs_spn(const char* s, const char* set);      // bytes of members only
const char* mbs_skip_blanks(const char* s);          // past leading spaces and tabs
const char* mbs_find_delim(const char* s);           // first space or ';', or null

// --- Comparison ---------------------------------------------------------------

bool str_equal(const char* a, const char* b);
bool str_iequal(const char* a, const char* b);            // A-Z taken as a-z, byte by byte
bool mbs_nequal(const char* a, const char* b, size_t n);  // first n bytes, whole characters
bool mbs_has_prefix(const char* t, const char* p);

// --- Copying, formatting, memory ------------------------------------------------

void* mem_zero(void* block, size_t size);  // returns the address just past the block
inline const char* str_end(const char* s) {
    while (*s) ++s;
    return s;
}
inline char* str_end(char* s) {
    return const_cast<char*>(str_end((const char*)s));
}

// Copies at most n - 1 bytes (n - 2 when the cut would split a double-byte
// character) and terminates; the rest of the copied span is zero-filled.
void str_copy_bounded(char* d, const char* s, size_t n);
// Copies [start, end), at most 521 bytes, into a PATH_BUFFER_SIZE buffer.
void str_copy_span(char* d, const char* start, const char* end);
// printf into a FORMAT_BUFFER_SIZE buffer: the length; 0 for empty output;
// -1 for failure or a text over 1023 characters (then cut at 1023).
int str_vformat(char* d, const char* format, va_list args);
int str_format(char* d, const char* format, ...)
#if defined(__GNUC__)
    __attribute__((format(printf, 2, 3)))
#endif
    ;

// --- Case mapping in place (one-byte ASCII letters only) -------------------------

void mbs_lower(char* s);
void mbs_upper(char* s);

// --- Paths: the backslash is the only separator, never a second byte ----------------

bool path_is_sep_at(const char* s, size_t i);
const char* path_find_sep(const char* s);
const char* path_find_last_sep(const char* s);
const char* path_find_trailing_sep(const char* s);
bool path_has_trailing_sep(const char* s);
const char* path_find_name(const char* s);
const char* path_find_ext(const char* s);
char* path_split_name(char* s);
char* path_split_ext(char* s);
// Joins base b and relative r ("/" or "\" separated, "." and ".." resolved)
// into o, a PATH_BUFFER_SIZE buffer. False when ".." finds nothing to remove.
bool path_combine(char* o, const char* b, const char* r);

// Bounded copies, formatting into fixed buffers, and ASCII case mapping.
#include <stdio.h>
#include <string.h>

#include "text/mbs.h"

void* mem_zero(void* block, size_t size) {
    memset(block, 0, size);
    return (char*)block + size;
}

void str_copy_bounded(char* d, const char* s, size_t n) {
    // memchr stops at the first match, so a short s is never read past.
    const char* terminator = (const char*)memchr(s, '\0', n);
    size_t length = terminator != nullptr ? (size_t)(terminator - s) : n;
    size_t m = n - 1;
    // Never leave a lead byte at the cut without its second byte; only a
    // source that reaches the cut can be split by it.
    if (length == n && mbs_byte_type(s, n - 1) == 2) m = n - 2;
    if (length > m) length = m;
    memmove(d, s, length);  // d may be s (path_combine(o, o, r))
    memset(d + length, 0, m + 1 - length);
}

void str_copy_span(char* d, const char* start, const char* end) {
    size_t length = (size_t)(end - start);
    if (length > PATH_BUFFER_SIZE - 1) length = PATH_BUFFER_SIZE - 1;
    memcpy(d, start, length);
    d[length] = '\0';
}

int str_vformat(char* d, const char* format, va_list args) {
    const int length = vsnprintf(d, FORMAT_BUFFER_SIZE, format, args);
    if (length > 0 && (size_t)length < FORMAT_BUFFER_SIZE) return length;
    // Empty, failed or cut: some runtimes leave the buffer unterminated when
    // the text does not fit, so terminate at the last byte in every case.
    d[FORMAT_BUFFER_SIZE - 1] = '\0';
    return length == 0 ? 0 : -1;
}

int str_format(char* d, const char* format, ...) {
    va_list args;
    va_start(args, format);
    const int result = str_vformat(d, format, args);
    va_end(args);
    return result;
}

// Maps the one-byte letters in [from, from + 25] by adding delta; both bytes
// of a double-byte character are stepped over unchanged. (Sorting maps every
// name once, so this walks bytes rather than calling mbs_next.)
static void map_ascii_letters(char* s, unsigned char from, int delta) {
    for (unsigned char* p = (unsigned char*)s; *p != 0; ++p) {
        if (mbs_is_lead_byte(*p)) {
            if (p[1] == 0) break;  // a lone lead byte at the end: no letter
            ++p;
        } else if ((unsigned)(*p - from) < 26u) {
            *p = (unsigned char)(*p + delta);
        }
    }
}

void mbs_lower(char* s) {
    map_ascii_letters(s, 'A', 'a' - 'A');
}
void mbs_upper(char* s) {
    map_ascii_letters(s, 'a', 'A' - 'a');
}

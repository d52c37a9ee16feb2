// Native text: what the operating system calls names and paths in.
//
// Windows names are UTF-16 (`wchar_t`), POSIX names are the bytes of the
// directory entry (`char`, usually UTF-8). The program's own text is code
// page 932 (text/mbs.h); a name or a path crosses from one to the other only
// on its way to the user (a list line, a trace, a box), never on its way back
// to the system.
#pragma once

#include <stddef.h>

#ifdef _WIN32
typedef wchar_t nchar_t;
#define NTEXT(literal) L##literal
#else
typedef char nchar_t;
#define NTEXT(literal) literal
#endif

inline size_t native_length(const nchar_t* text) {
    const nchar_t* end = text;
    while (*end) ++end;
    return (size_t)(end - text);
}

// How a native text becomes program text.
enum text_kind_t {
    TEXT_PATH,  // a path: separators stay as they are
    TEXT_NAME,  // one name: a control character, and on POSIX a backslash, also becomes "?"
};

// The code page 932 text of native text (`length` units): every character the
// code page cannot hold becomes one "?", never a look-alike (so U+00A5 and
// U+203E, which the code page could only give as "\" and "~", become "?").
// Writes at most out_size - 1 bytes and a terminator, cut at a whole
// character; returns the length of the whole text, so that a result of
// out_size or more means "cut: call again with more room".
size_t text_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind);

// The native text of program text (code page 932), for texts that the
// program itself composes; the program's "\" separators become the system's.
// Returns the length of the whole text, as above.
size_t native_from_text(nchar_t* out, size_t out_size, const char* text);

// The UTF-8 text of native text: on Windows from UTF-16, on POSIX the bytes
// themselves, each sequence that is not UTF-8 becoming U+FFFD. Returns the
// length of the whole text, as above.
size_t utf8_from_native(char* out, size_t out_size, const nchar_t* native, size_t length);

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

// How a native text becomes program text (or UTF-8): which characters show
// "?" besides those the code page lacks. Every kind shows "?" for a NUL, and
// in code page 932 text for each character outside the Basic Multilingual
// Plane, each invalid UTF-8 sequence (POSIX) and each lone surrogate
// (Windows). A kind is TEXT_NAME or TEXT_PATH, with any of the TEXT_KEEP bits.
enum text_kind_t : unsigned {
    // A path as the user gave it: the system's separators stay ("/" on POSIX,
    // "\" and "/" on Windows); a control character, and a "\" inside a POSIX
    // path, become "?".
    TEXT_PATH = 0,
    // One name: a control character, "\" and "/" become "?" (on POSIX a Linux
    // name may hold "\", and under Wine it reaches the Windows build whole).
    TEXT_NAME = 1,
    // Control characters (C0, DEL and C1) stay: for lists whose lines end in NUL.
    TEXT_KEEP_CONTROLS = 2,
    // A "\" stays: for lists whose names are separated by "/".
    TEXT_KEEP_BACKSLASH = 4,
    // A command-line argument, which may be a switch: only what the code page
    // lacks becomes "?" (a regular expression keeps its "\").
    TEXT_ARGUMENT = TEXT_PATH | TEXT_KEEP_CONTROLS | TEXT_KEEP_BACKSLASH,
};

constexpr text_kind_t operator|(text_kind_t a, text_kind_t b) {
    return (text_kind_t)((unsigned)a | (unsigned)b);
}

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
// themselves, each invalid sequence (and each lone surrogate) becoming one
// U+FFFD, and what `kind` replaces becoming "?". Returns the length of the
// whole text, as above.
size_t utf8_from_native(char* out, size_t out_size, const nchar_t* native, size_t length, text_kind_t kind);

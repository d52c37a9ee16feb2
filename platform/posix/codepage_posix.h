// Code page 932 <-> UTF-8 for the POSIX stand-ins.
//
// The program sees every name in code page 932, as the Windows ANSI functions
// give it; names on disk here are UTF-8. A character that code page 932
// cannot hold becomes "?", as the ANSI functions do on Windows.
#pragma once

#include <stddef.h>

// UTF-8 text (a name or an argument) into code page 932. Invalid UTF-8 and
// unmappable characters become "?"; so do the yen sign and the overline,
// which the code page could only hold as "\" and "~" (a yen sign read as a
// path separator would change what a path names). The output is cut at a
// whole character to fit; false when it had to be cut.
bool cp932_from_utf8(char* out, size_t out_size, const char* utf8);

// A path in the program's text into a path for the POSIX calls: code page 932
// to UTF-8, and each "\" separator (never the second byte of a double-byte
// character) to "/". False when it does not fit.
bool posix_path_from_cp932(char* out, size_t out_size, const char* path);

// Code page 932 text into UTF-8 for the terminal; nothing else changes.
bool utf8_from_cp932(char* out, size_t out_size, const char* text);

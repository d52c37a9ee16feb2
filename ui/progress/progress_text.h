// The text that tells how far a run is: "Scrivlet が作業中です (12,345 件)".
// The tray icon's tip and the Linux program's terminal line show the same.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Room for the longest text: the tip field of the tray record (64 bytes with
// the terminator), which also bounds the terminal line.
constexpr size_t PROGRESS_TEXT_SIZE = 64;

// `count` with its digits grouped by commas ("12,345"); `out` holds 27 bytes
// or more (the largest count has 20 digits and 6 commas).
void format_grouped_count(char* out, uint64_t count);

// `base` followed by " (COUNT 件)", in at most size - 1 bytes. When the count
// part does not fit, it is left off whole; the base is cut, when it must be,
// without splitting a double-byte character.
void format_progress_text(char* out, size_t size, const char* base, uint64_t count);

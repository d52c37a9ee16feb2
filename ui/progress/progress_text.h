// The text that tells how far a run is and what it lists:
// "Scrivlet: 一覧を作成中 ― C:\Data\Photos (12,345 件)". The tray icon's tip
// and the Linux program's terminal line show the same.
#pragma once

#include <stddef.h>
#include <stdint.h>

// Room for the longest text: the tip field of the tray record (128 bytes
// with the terminator), which also bounds the terminal line.
constexpr size_t PROGRESS_TEXT_SIZE = 128;

// `count` with its digits grouped by commas ("12,345"); `out` holds 27 bytes
// or more (the largest count has 20 digits and 6 commas).
void format_grouped_count(char* out, uint64_t count);

// "Scrivlet: 一覧を作成中 ― FOLDER (COUNT 件)" in at most size - 1 bytes. A
// folder too long for that is shortened in its middle ("C:\Data\...\Photos"),
// never splitting a double-byte character. Without a folder, or where not
// even a shortened one fits, the text is "Scrivlet: 一覧を作成中 (COUNT 件)",
// cut at a whole character if it must be.
void format_progress_text(char* out, size_t size, const char* folder, uint64_t count);

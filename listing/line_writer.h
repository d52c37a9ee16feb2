// What each line of the list says, and how it ends: the plain list (the
// path alone, its parts separated by "\" or "/", lines ending in CR LF, LF
// or NUL) or a sheet (CSV or TSV: path, kind, size, date, attributes, with a
// header row), in code page 932 or UTF-8.
#pragma once

#include <stdint.h>

#include "listing/folder_node.h"
#include "listing/list_output.h"
#include "listing/text_buffer.h"

struct line_format_t {
    const char* top;    // the top folder in the list's encoding and form (long or short), as given
    bool full_path;     // else the part below the top folder
    bool short_names;   // aliases where items have them (the top has a short form)
    bool utf8;          // names from their native text in UTF-8, else code page 932
    int32_t case_mode;  // CASE_LOWER, CASE_UPPER; any other value leaves letters alone
    int32_t format;     // FORMAT_LIST, FORMAT_CSV, FORMAT_TSV
    char separator;     // between the parts of a path
    const char* line_end;
    size_t line_end_length;  // 1 for the NUL of "/null"
    text_kind_t name_kind;   // how a name becomes text: TEXT_NAME and what the format keeps
    bool bom;                // the list begins with a UTF-8 byte-order mark
};

struct line_writer_t {
    const line_format_t* format;
    list_output_t* out;
    text_buffer_t row;  // the line being made
    uint64_t replaced;  // names written with "?" for characters the code page cannot hold
};

// The byte-order mark and the header row, where the format has them.
bool line_writer_start(line_writer_t* writer);
// Appends the item's name as the list shows it; false when memory ran out.
bool append_name(line_writer_t* writer, text_buffer_t* t, const listed_item_t* item);
// A plain list's line made in place in the output: the prefix, the item's
// name, the separator after a folder, the line end. False when it must be
// made by write_item_line instead (a sheet, or a line too long).
bool write_plain_line(line_writer_t* writer, const char* prefix, size_t prefix_length,
                      const listed_item_t* item);
// One item's line: `path` as the plain list shows it (a folder's ending in
// the separator), and for a sheet the item's kind, size, date and
// attributes. False when memory ran out.
bool write_item_line(line_writer_t* writer, const char* path, size_t length, const listed_item_t* item);
void line_writer_free(line_writer_t* writer);

// Letter case: only the letters A to Z change, stepping whole characters of
// code page 932, or bytes of UTF-8 (where no byte of a longer character is
// ASCII).
void map_case(char* text, size_t length, const line_format_t* format);

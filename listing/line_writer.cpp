#include "listing/line_writer.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/settings.h"
#include "text/mbs.h"
#include "text/unicode_convert.h"

namespace {

const char UTF8_BOM[] = "\xEF\xBB\xBF";
// Program text (code page 932): put into the list's encoding on the way.
const char HEADER_CSV[] = "パス,種類,サイズ,更新日時,属性";
const char HEADER_TSV[] = "パス\t種類\tサイズ\t更新日時\t属性";
const char KIND_FOLDER[] = "フォルダ";
const char KIND_FILE[] = "ファイル";
// A row of a sheet ends in CR LF whatever the plain list's line end: that
// is what spreadsheets read.
const char SHEET_LINE_END[] = "\r\n";

bool is_sheet(const line_format_t* format) {
    return format->format == FORMAT_CSV || format->format == FORMAT_TSV;
}

// Program text in the list's encoding.
bool append_program_text(text_buffer_t* t, const char* text, const line_format_t* format) {
    const size_t length = strlen(text);
    if (!format->utf8) return text_append(t, text, length);
    const size_t room = length * 3 + 1;
    if (!text_reserve(t, room)) return false;
    t->length += utf8_from_cp932(t->bytes + t->length, room, text, length);
    return true;
}

template <typename unit_t>
size_t count_of(const unit_t* text, size_t length, unit_t c) {
    size_t count = 0;
    for (size_t i = 0; i < length; ++i) count += text[i] == c;
    return count;
}

// One pass over the field: four memchr calls cost more than the rest of a
// row where memchr goes byte by byte (Wine's C library).
bool needs_quotes(const char* field, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const char c = field[i];
        if (c == ',' || c == '"' || c == '\r' || c == '\n') return true;
    }
    return false;
}

// A CSV field is quoted when it holds a comma, a quote or a line end; a
// quote inside is doubled. No trail byte of code page 932 is one of those.
bool append_csv_field(text_buffer_t* t, const char* field, size_t length) {
    if (!needs_quotes(field, length)) return text_append(t, field, length);
    if (!text_append(t, "\"", 1)) return false;
    for (size_t i = 0; i < length; ++i) {
        if (field[i] == '"' && !text_append(t, "\"", 1)) return false;
        if (!text_append(t, &field[i], 1)) return false;
    }
    return text_append(t, "\"", 1);
}

// Windows: R H S A, and L for a reparse point (a link, a junction); on
// POSIX the folder reader sets only what applies there (R, H, L).
char* attribute_letters(char* out, uint32_t attributes) {
    const struct {
        uint32_t bit;
        char letter;
    } letters[] = {{FILE_ATTRIBUTE_READONLY, 'R'},
                   {FILE_ATTRIBUTE_HIDDEN, 'H'},
                   {FILE_ATTRIBUTE_SYSTEM, 'S'},
                   {FILE_ATTRIBUTE_ARCHIVE, 'A'},
                   {FILE_ATTRIBUTE_REPARSE_POINT, 'L'}};
    for (const auto& letter : letters) {
        if (attributes & letter.bit) *out++ = letter.letter;
    }
    return out;
}

// The digits of value, zeros in front up to width; the end.
char* put_digits(char* out, uint64_t value, int width) {
    char digits[20];
    int count = 0;
    do {
        digits[count++] = (char)('0' + value % 10);
        value /= 10;
    } while (value > 0);
    while (count < width) digits[count++] = '0';
    while (count > 0) *out++ = digits[--count];
    return out;
}

// "YYYY/MM/DD HH:MM:SS" into DATE_ROOM bytes; the end.
constexpr size_t DATE_ROOM = 48;
char* put_date(char* out, const local_time_t& when) {
    if (when.year < 0) {  // before year 0: a date no clock shows, as the C library writes it
        const int length = snprintf(out, DATE_ROOM, "%04d/%02d/%02d %02d:%02d:%02d", when.year, when.month,
                                    when.day, when.hour, when.minute, when.second);
        return out + (length > 0 ? length : 0);
    }
    const struct {
        int value;
        char after;
    } parts[] = {{when.year, '/'}, {when.month, '/'},  {when.day, ' '},
                 {when.hour, ':'}, {when.minute, ':'}, {when.second, '\0'}};
    for (const auto& part : parts) {
        out = put_digits(out, (uint64_t)part.value, &part == parts ? 4 : 2);
        if (part.after) *out++ = part.after;
    }
    return out;
}

bool append_sheet_row(line_writer_t* w, const char* path, size_t length, const listed_item_t* item) {
    const line_format_t* format = w->format;
    const bool csv = format->format == FORMAT_CSV;
    const char separator = csv ? ',' : '\t';
    text_buffer_t* row = &w->row;
    const bool folder = item_is_folder(item);
    if (!(csv ? append_csv_field(row, path, length) : text_append(row, path, length)) ||
        !text_append(row, &separator, 1) ||
        !append_program_text(row, folder ? KIND_FOLDER : KIND_FILE, format) ||
        !text_append(row, &separator, 1)) {
        return false;
    }
    const item_details_t* details = details_of(item);
    // Gone between the folder's read and the question: the row stays, without them.
    if (!details->known) GetTraceProc()("サイズと更新日時を読めませんでした: %.*s\r\n", (int)length, path);
    // The rest of the row in one piece: size, date, attributes and the line end.
    char rest[24 + DATE_ROOM + 16];
    char* end = rest;
    if (details->known && !folder) end = put_digits(end, details->size, 1);
    *end++ = separator;
    local_time_t when;
    if (details->known && os.local_time(details->modified, &when)) end = put_date(end, when);
    *end++ = separator;
    end = attribute_letters(end, item->attributes);
    memcpy(end, SHEET_LINE_END, sizeof SHEET_LINE_END - 1);
    end += sizeof SHEET_LINE_END - 1;
    return text_append(row, rest, (size_t)(end - rest));
}

}  // namespace

void map_case(char* text, size_t length, const line_format_t* format) {
    if (format->case_mode != CASE_LOWER && format->case_mode != CASE_UPPER) return;
    const bool lower = format->case_mode == CASE_LOWER;
    if (!format->utf8) {
        // Whole characters: the terminator of the text, or of this part.
        const char kept = text[length];
        text[length] = '\0';
        lower ? mbs_lower(text) : mbs_upper(text);
        text[length] = kept;
        return;
    }
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i];
        if (lower && c >= 'A' && c <= 'Z') text[i] = (char)(c - 'A' + 'a');
        if (!lower && c >= 'a' && c <= 'z') text[i] = (char)(c - 'a' + 'A');
    }
}

bool line_writer_start(line_writer_t* w) {
    const line_format_t* format = w->format;
    w->row.length = 0;
    if (format->utf8 && (format->bom || is_sheet(format)) && !text_append(&w->row, UTF8_BOM, 3)) return false;
    if (is_sheet(format)) {
        if (!append_program_text(&w->row, format->format == FORMAT_CSV ? HEADER_CSV : HEADER_TSV, format) ||
            !text_append(&w->row, SHEET_LINE_END, sizeof SHEET_LINE_END - 1)) {
            return false;
        }
    }
    list_output_write(w->out, w->row.bytes ? w->row.bytes : "", w->row.length);
    return true;
}

// The most bytes the item's name can take in the list, and a terminator.
size_t name_room(const listed_item_t* item) {
    // A name converts to at most 3 bytes per unit (and 4 per surrogate pair).
    const nchar_t* alias = item_alias(item);
    const size_t units =
        alias ? native_length(alias) > item->native_length ? native_length(alias) : item->native_length
              : item->native_length;
    const size_t room = units * 3 + 1;
    return room > (size_t)item->text_length + 1 ? room : (size_t)item->text_length + 1;
}

// The item's name as the list shows it into out (name_room bytes); its length.
size_t put_name(line_writer_t* w, char* out, size_t room, const listed_item_t* item) {
    const line_format_t* format = w->format;
    const nchar_t* native = item_native(item);
    size_t native_units = item->native_length;
    const nchar_t* alias = item_alias(item);
    if (format->short_names && alias) {
        native = alias;
        native_units = native_length(alias);
    }
    size_t length;
    bool same_as_native = false;
    if (!format->utf8 && native == item_native(item) && format->name_kind == TEXT_NAME) {
        // The item's own text is this text: no second conversion.
        length = item->text_length;
        memcpy(out, item_text(item), length + 1);
        same_as_native = (item->flags & ITEM_TEXT_IS_NATIVE) != 0;
    } else {
        length = format->utf8 ? utf8_from_native(out, room, native, native_units, format->name_kind)
                              : text_from_native(out, room, native, native_units, format->name_kind);
        if (length >= room) length = 0;
        out[length] = '\0';
    }
    // A "?" the system's name does not have stands for what the code page lacks.
    if (!format->utf8 && !same_as_native && memchr(out, '?', length) &&
        count_of(out, length, '?') > count_of(native, native_units, NTEXT('?'))) {
        ++w->replaced;
    }
    map_case(out, length, format);
    return length;
}

bool append_name(line_writer_t* w, text_buffer_t* t, const listed_item_t* item) {
    const size_t room = name_room(item);
    if (!text_reserve(t, room)) return false;
    t->length += put_name(w, t->bytes + t->length, room, item);
    return true;
}

bool write_plain_line(line_writer_t* w, const char* prefix, size_t prefix_length, const listed_item_t* item) {
    const line_format_t* format = w->format;
    if (is_sheet(format)) return false;
    const size_t room = name_room(item);
    char* line = list_output_room(w->out, prefix_length + room + 1 + format->line_end_length);
    if (!line) return false;
    memcpy(line, prefix, prefix_length);
    size_t length = prefix_length + put_name(w, line + prefix_length, room, item);
    if (item_is_folder(item)) line[length++] = format->separator;
    memcpy(line + length, format->line_end, format->line_end_length);
    list_output_commit(w->out, length + format->line_end_length);
    return true;
}

bool write_item_line(line_writer_t* w, const char* path, size_t length, const listed_item_t* item) {
    const line_format_t* format = w->format;
    if (!is_sheet(format)) {
        list_output_write(w->out, path, length);
        list_output_write(w->out, format->line_end, format->line_end_length);
        return true;
    }
    w->row.length = 0;
    if (!append_sheet_row(w, path, length, item)) return false;
    list_output_write(w->out, w->row.bytes, w->row.length);
    return true;
}

void line_writer_free(line_writer_t* w) {
    text_free(&w->row);
}

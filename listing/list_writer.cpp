#include "listing/list_writer.h"

#include <string.h>

#include "TOOLS/toolwind/toolwind.h"
#include "app/settings.h"
#include "text/mbs.h"

namespace {

// Lines end in CR LF. The file is written in binary with the CR LF spelled
// out, so every build writes the same bytes.
constexpr char LINE_END[] = "\r\n";
constexpr size_t LINE_BUFFER_SIZE = PATH_BUFFER_SIZE + sizeof LINE_END;

// Larger than stdio's default: a big tree is one long stream of short lines.
constexpr size_t FILE_BUFFER_SIZE = 64 * 1024;

const char* line_text(const entry_t* entry, const write_options_t* options) {
    if (options->short_names && entry->short_rel_name) {
        return options->full_path ? entry->short_path : entry->short_rel_name;
    }
    return options->full_path ? entry->path : entry->rel_name;
}

bool write_entry_line(FILE* file, const write_options_t* options, const entry_t* entry) {
    char line[LINE_BUFFER_SIZE];
    const char* text = line_text(entry, options);
    size_t length = strlen(text);  // a stored path: at most 521 bytes
    memcpy(line, text, length + 1);
    // A folder line ends in exactly one backslash, as path_combine(text, "")
    // gives it: none is added to a text that ends in one, or to a full buffer.
    if (entry_is_folder(entry) && length > 0 && length < PATH_BUFFER_SIZE - 1 &&
        !path_has_trailing_sep(line)) {
        line[length++] = '\\';
    }
    line[length] = '\0';
    if (options->case_mode == CASE_LOWER) mbs_lower(line);
    if (options->case_mode == CASE_UPPER) mbs_upper(line);
    memcpy(line + length, LINE_END, sizeof LINE_END);
    return os.fwrite(line, 1, length + 2, file) == length + 2;
}

}  // namespace

void report_list_file_error() {
    MessageBoxFormat(nullptr, "Scrivlet", MB_OK, "ファイルの作成に失敗しました。");
}

FILE* open_list_file(const nchar_t* path) {
    FILE* file = os.fopen(path, "wb");
    if (!file) {
        report_list_file_error();
        return nullptr;
    }
    setvbuf(file, nullptr, _IOFBF, FILE_BUFFER_SIZE);
    return file;
}

bool write_entry_list(FILE* file, const entry_list_t* list, const write_options_t* options,
                      cancel_check_t* cancel) {
    for (const entry_t* entry = list->first; entry; entry = entry->next) {
        if (cancel_check_due(cancel)) return true;
        if (!write_entry_line(file, options, entry)) return false;
        if (entry->children && !write_entry_list(file, entry->children, options, cancel)) return false;
    }
    return true;
}

bool close_list_file(FILE* file) {
    const bool clean = !ferror(file);
    return os.fclose(file) == 0 && clean;
}

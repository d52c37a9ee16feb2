#include "app/command_line.h"

#include <stdlib.h>

#include "app/file_tests.h"
#include "app/platform_rules.h"
#include "text/mbs.h"

// --- Splitting ------------------------------------------------------------------
//
// One scanner runs twice over the text: first only counting arguments and
// text bytes, then writing into the block allocated from those counts. It
// steps whole characters, so the second byte of a double-byte character
// (表 is 0x95 0x5C) is never taken for a backslash, a quote or a blank.

namespace {

struct arg_writer_t {
    char* text;    // where the next text byte goes; null while counting
    char** table;  // the next pointer slot; null while counting
    size_t bytes;  // text bytes so far, terminators included
    int count;
};

void begin_argument(arg_writer_t* w) {
    if (w->table != nullptr) *w->table++ = w->text;
    ++w->count;
}

void put_byte(arg_writer_t* w, char c) {
    if (w->text != nullptr) *w->text++ = c;
    ++w->bytes;
}

void put_bytes(arg_writer_t* w, const char* p, size_t n) {
    for (size_t k = 0; k < n; ++k) put_byte(w, p[k]);
}

void put_backslashes(arg_writer_t* w, size_t n) {
    for (size_t k = 0; k < n; ++k) put_byte(w, '\\');
}

// Copies one character (a lead byte with the byte after it) and steps over it.
const char* put_character(arg_writer_t* w, const char* p) {
    const char* next = mbs_next(p);
    put_bytes(w, p, (size_t)(next - p));
    return next;
}

// Argument 0: quotes only delimit it, backslashes mean nothing.
const char* scan_program_name(arg_writer_t* w, const char* p) {
    begin_argument(w);
    const bool quoted = *p == '"';
    if (quoted) ++p;
    const size_t length = mbs_cspn(p, quoted ? "\"" : " \t");
    put_bytes(w, p, length);
    p += length;
    if (quoted && *p == '"') ++p;
    put_byte(w, '\0');
    return p;
}

// One argument: 2n backslashes and a quote give n backslashes and toggle the
// quoting, 2n + 1 give n and a literal quote; "" inside quotes is one quote.
const char* scan_argument(arg_writer_t* w, const char* p) {
    begin_argument(w);
    bool quoted = false;
    for (;;) {
        const size_t backslashes = mbs_spn(p, "\\");
        p += backslashes;
        if (*p == '"') {
            put_backslashes(w, backslashes / 2);
            ++p;
            if (backslashes % 2 == 1) {
                put_byte(w, '"');
                continue;
            }
            if (quoted && *p == '"') {
                put_byte(w, '"');
                ++p;
            }
            quoted = !quoted;
            continue;
        }
        put_backslashes(w, backslashes);
        if (*p == '\0' || (!quoted && (*p == ' ' || *p == '\t'))) break;
        p = put_character(w, p);
    }
    put_byte(w, '\0');
    return p;
}

void scan_command_line(arg_writer_t* w, const char* text) {
    const char* p = scan_program_name(w, text);
    for (;;) {
        p = mbs_skip_blanks(p);
        if (*p == '\0') break;
        p = scan_argument(w, p);
    }
    if (w->table != nullptr) *w->table = nullptr;
}

}  // namespace

char** split_command_line(const char* text, int* count) {
    arg_writer_t counter = {nullptr, nullptr, 0, 0};
    scan_command_line(&counter, text);

    const size_t table_size = ((size_t)counter.count + 1) * sizeof(char*);
    char** block = (char**)malloc(table_size + counter.bytes);
    if (block == nullptr) return nullptr;
    arg_writer_t writer = {(char*)block + table_size, block, 0, 0};
    scan_command_line(&writer, text);
    *count = counter.count;
    return block;
}

// --- Switches and positional arguments -------------------------------------------

bool is_output_argument(const char* arg) {
    if (arg[0] != '/') return true;
    return ABSOLUTE_PATHS_BEGIN_WITH_SLASH && mbs_chr(arg + 1, '/') != nullptr;
}

bool parse_command_line(settings_t* s, int count, const char* const* args) {
    bool wanted = true;
    bool automatic = false;
    if (count <= 1) return true;

    for (int i = 1; i < count; ++i) {
        const char* arg = args[i];
        if (str_iequal(arg, "/noui")) {
            wanted = false;
        } else if (str_iequal(arg, "/auto")) {
            automatic = true;
        } else if (str_iequal(arg, "/sub:1")) {
            s->flags |= FLAG_SUBFOLDERS;
        } else if (is_existing_folder(arg)) {
            str_copy_bounded(s->folder, arg, PATH_BUFFER_SIZE);
        } else if (is_output_argument(arg)) {
            str_copy_bounded(s->output_file, arg, PATH_BUFFER_SIZE);
        }
        // Anything else is an unknown switch, ignored without a word.
    }

    if (automatic && s->folder[0] != '\0' && s->output_file[0] == '\0') {
        char name[PATH_BUFFER_SIZE];
        mem_zero(name, sizeof name);
        if (make_auto_output_name(name, s->folder)) {
            str_copy_bounded(s->output_file, name, PATH_BUFFER_SIZE);
            wanted = false;
        }
    }
    return wanted;
}

// --- Automatic output name -------------------------------------------------------

bool make_auto_output_name(char* out, const char* folder) {
    char candidate[FORMAT_BUFFER_SIZE];
    // -1 stands for the plain "<folder>.txt", tried first.
    for (int i = -1; i <= 9; ++i) {
        const int length =
            i < 0 ? str_format(candidate, "%s.txt", folder) : str_format(candidate, "%s(%d).txt", folder, i);
        // A cut name would be another file; every later candidate is longer.
        if (length <= 0 || (size_t)length >= PATH_BUFFER_SIZE) return false;
        str_copy_bounded(out, candidate, PATH_BUFFER_SIZE);
        if (!path_exists(out)) return true;
    }
    return false;
}

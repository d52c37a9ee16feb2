#include "app/command_line.h"

#include <stdlib.h>
#include <string.h>

#include "app/file_tests.h"
#include "app/platform_rules.h"
#include "text/mbs.h"

// --- Switches ---------------------------------------------------------------------

namespace {

// "/wild:" and the like: the name in any letter case, the value as given.
const char* value_after(const char* arg, const char* prefix) {
    for (; *prefix; ++arg, ++prefix) {
        char c = *arg;
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        if (c != *prefix) return nullptr;
    }
    return arg;
}

struct reading_t {
    bool noui;
    bool automatic;
    bool options_ended;  // after "--": only folders and list files
};

void set_filter(settings_t* s, int32_t kind, const char* text, command_line_t* result, const char* arg) {
    if (strlen(text) > PATH_BUFFER_SIZE - 1) {
        // A cut expression would be another filter.
        if (result->problem == PROBLEM_NONE) result->problem = PROBLEM_TOO_LONG;
        if (!result->refused) result->refused = arg;
        return;
    }
    s->filter_kind = kind;
    str_copy_bounded(s->filter_text, text, sizeof s->filter_text);
}

// Reads one switch into s; false when arg is none the program knows.
bool read_switch(settings_t* s, const char* arg, reading_t* r, command_line_t* result) {
    const char* value = nullptr;
    if (str_iequal(arg, "/noui")) {
        r->noui = true;
    } else if (str_iequal(arg, "/auto")) {
        r->automatic = true;
    } else if (str_iequal(arg, "/sub:1")) {
        s->flags |= FLAG_SUBFOLDERS;
    } else if (str_iequal(arg, "/sub:0")) {
        s->flags &= ~FLAG_SUBFOLDERS;
    } else if (str_iequal(arg, "/full")) {
        s->flags |= FLAG_FULL_PATH;
    } else if (str_iequal(arg, "/rel")) {
        s->flags &= ~FLAG_FULL_PATH;
    } else if (str_iequal(arg, "/short")) {
        s->flags |= FLAG_SHORT_NAMES;
    } else if (str_iequal(arg, "/utf8")) {
        s->flags |= FLAG_UTF8;
    } else if (str_iequal(arg, "/case:upper")) {
        s->case_mode = CASE_UPPER;
    } else if (str_iequal(arg, "/case:lower")) {
        s->case_mode = CASE_LOWER;
    } else if (str_iequal(arg, "/case:asis")) {
        s->case_mode = CASE_UNCHANGED;
    } else if ((value = value_after(arg, "/wild:")) != nullptr) {
        set_filter(s, FILTER_WILDCARD, value, result, arg);
    } else if ((value = value_after(arg, "/regex:")) != nullptr) {
        set_filter(s, FILTER_REGEXP, value, result, arg);
    } else if (str_iequal(arg, "/nofilter")) {
        set_filter(s, FILTER_NONE, "", result, arg);
    } else if (str_equal(arg, "/?") || (DASH_OPTIONS && (str_equal(arg, "-h") || str_equal(arg, "--help")))) {
        result->help = true;
    } else if (DASH_OPTIONS && str_equal(arg, "--version")) {
        result->version = true;
    } else {
        return false;
    }
    return true;
}

void take_path(user_path_t* path, const char* text, const nchar_t* native, command_line_t* result) {
    const bool held = native ? user_path_set(path, native) : user_path_set_text(path, text);
    if (held) return;
    // Never cut: the earlier value stays, and the run is refused.
    if (result->problem == PROBLEM_NONE) result->problem = PROBLEM_TOO_LONG;
    if (!result->refused) result->refused = text;
}

bool names_existing_folder(const char* text, const nchar_t* native) {
    if (native) return is_existing_folder(native);
    user_path_t path;
    user_path_init(&path);
    const bool exists = user_path_set_text(&path, text) && is_existing_folder(path.native);
    user_path_free(&path);
    return exists;
}

}  // namespace

bool is_output_argument(const char* arg) {
    if (arg[0] != '/') return true;
    return ABSOLUTE_PATHS_BEGIN_WITH_SLASH && mbs_chr(arg + 1, '/') != nullptr;
}

void read_command_line(settings_t* s, int count, const char* const* args, const nchar_t* const* native,
                       command_line_t* result) {
    mem_zero(result, sizeof *result);
    reading_t r = {false, false, false};

    for (int i = 1; i < count; ++i) {
        const char* arg = args[i];
        const nchar_t* arg_native = native ? native[i] : nullptr;
        if (!r.options_ended) {
            if (DASH_OPTIONS && str_equal(arg, "--")) {
                r.options_ended = true;
                continue;
            }
            // A known switch wins over the rule that reads "/.../..." as a path.
            if (read_switch(s, arg, &r, result)) continue;
        }
        if (names_existing_folder(arg, arg_native)) {
            take_path(&s->folder, arg, arg_native, result);
        } else if (!r.options_ended && DASH_OPTIONS && arg[0] == '-') {
            if (result->problem == PROBLEM_NONE) result->problem = PROBLEM_UNKNOWN_OPTION;
            if (!result->refused) result->refused = arg;
        } else if (r.options_ended || is_output_argument(arg)) {
            take_path(&s->output_file, arg, arg_native, result);
        }
        // Anything else is an unknown switch, ignored without a word.
    }

    result->dialog_wanted = !r.noui;
    if (r.automatic && !user_path_is_empty(&s->folder) && user_path_is_empty(&s->output_file)) {
        const command_problem_t named = make_auto_output_name(&s->output_file, s->folder.native);
        if (named == PROBLEM_NONE) {
            result->dialog_wanted = false;
        } else if (result->problem == PROBLEM_NONE) {
            result->problem = named;
        }
    }
}

bool parse_command_line(settings_t* s, int count, const char* const* args) {
    command_line_t result;
    read_command_line(s, count, args, nullptr, &result);
    return result.dialog_wanted;
}

// --- Automatic output name -------------------------------------------------------

namespace {

bool is_native_sep(nchar_t c) {
    // Windows takes both; on Linux only "/" separates.
    return c == NTEXT('/') || (!ABSOLUTE_PATHS_BEGIN_WITH_SLASH && c == NTEXT('\\'));
}

// True when the folder, its trailing separators dropped (length units
// left), is a root that has no name of its own.
bool is_root(const nchar_t* folder, size_t length) {
    if (length == 0) return true;  // "/", "\" or "\\"
    if (ABSOLUTE_PATHS_BEGIN_WITH_SLASH) return false;
    if (length == 2 && folder[1] == NTEXT(':')) return true;  // "C:" or "C:\"
    // "\\server\share": a network share's root.
    if (length > 2 && is_native_sep(folder[0]) && is_native_sep(folder[1])) {
        size_t separators = 0;
        for (size_t i = 2; i < length; ++i) {
            if (is_native_sep(folder[i])) ++separators;
        }
        return separators <= 1;
    }
    return false;
}

size_t append(nchar_t* out, size_t at, const char* ascii) {
    for (; *ascii; ++ascii) out[at++] = (nchar_t)*ascii;
    out[at] = 0;
    return at;
}

}  // namespace

command_problem_t make_auto_output_name(user_path_t* out, const nchar_t* folder) {
    size_t length = native_length(folder);
    while (length > 0 && is_native_sep(folder[length - 1])) --length;
    if (is_root(folder, length)) return PROBLEM_AUTO_ROOT;

    const size_t longest_suffix = sizeof "(9).txt" - 1;
    if (length + longest_suffix > USER_PATH_MAX) return PROBLEM_TOO_LONG;
    nchar_t* candidate = (nchar_t*)malloc((length + longest_suffix + 1) * sizeof(nchar_t));
    if (!candidate) return PROBLEM_TOO_LONG;
    memcpy(candidate, folder, length * sizeof(nchar_t));

    command_problem_t result = PROBLEM_AUTO_TAKEN;
    // -1 stands for the plain "<folder>.txt", tried first.
    for (int i = -1; i <= 9; ++i) {
        size_t end = length;
        if (i >= 0) {
            const char number[] = {'(', (char)('0' + i), ')', '\0'};
            end = append(candidate, end, number);
        }
        append(candidate, end, ".txt");
        if (path_exists(candidate)) continue;
        result = user_path_set(out, candidate) ? PROBLEM_NONE : PROBLEM_TOO_LONG;
        break;
    }
    free(candidate);
    return result;
}

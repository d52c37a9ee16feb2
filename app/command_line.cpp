#include "app/command_line.h"

#include <stdlib.h>
#include <string.h>

#include "app/auto_output_name.h"
#include "app/file_tests.h"
#include "app/platform_rules.h"
#include "text/mbs.h"

// --- Switches ---------------------------------------------------------------------

namespace {

// The state of one reading of the arguments.
struct reading_t {
    settings_t* s;
    command_line_t* result;
    bool noui;
    bool automatic;
    bool options_ended;  // after "--": only folders and list files
    // The paths among the arguments (folders and list files), and the first
    // of them when it was taken as the list file for naming no folder.
    int paths;
    bool folder_named;
    int first_path_index;  // 0: the first path named a folder or standard output
    // The last switch of each kind that may conflict with another, for the message.
    const char* format_switch;    // "/csv" or "/tsv"
    const char* line_switch;      // "/null", "/lf" or "/sep:"
    const char* bom_switch;       // "/bom"
    const nchar_t* value_native;  // the native text of a GNU spelling's value, or null
};

// The arguments being read: their texts and, where known, their native texts.
struct arguments_t {
    int count;
    const char* const* args;
    const nchar_t* const* native;
};

void refuse(reading_t* r, command_problem_t problem, const char* arg) {
    if (r->result->problem != PROBLEM_NONE) return;
    r->result->problem = problem;
    r->result->refused = arg;
}

// A text into a fixed field, never cut: a cut pattern would be another filter.
bool store_text(reading_t* r, char* field, size_t size, const char* text, const char* arg) {
    if (strlen(text) > size - 1) {
        refuse(r, PROBLEM_TOO_LONG, arg);
        return false;
    }
    str_copy_bounded(field, text, size);
    return true;
}

// A setting switch's action: value is the text after "/name:" or "--name=",
// or null for a switch without one; arg is the whole argument, for messages.
typedef void (*switch_action_t)(reading_t* r, const char* value, const char* arg);

void set_flag(uint32_t* flags, uint32_t flag, bool on) {
    *flags = on ? (*flags | flag) : (*flags & ~flag);
}

void take_filter(reading_t* r, int32_t kind, const char* value, const char* arg) {
    if (store_text(r, r->s->filter_text, sizeof r->s->filter_text, value, arg)) r->s->filter_kind = kind;
}

void take_skip(reading_t* r, const char* value, const char* arg) {
    char* skip = r->s->list.skip_text;
    const size_t used = strlen(skip);
    // Several /skip: switches add up, one list separated by ";".
    const size_t needed = used + (used ? 1 : 0) + strlen(value);
    if (needed > SKIP_TEXT_SIZE - 1) {
        refuse(r, PROBLEM_TOO_LONG, arg);
        return;
    }
    if (used) skip[used] = ';';
    str_copy_bounded(skip + used + (used ? 1 : 0), value, SKIP_TEXT_SIZE - used - (used ? 1 : 0));
}

// 1 to 65535 levels; anything else (0, a sign, a blank, a huge number) is refused.
void take_depth(reading_t* r, const char* value, const char* arg) {
    uint32_t depth = 0;
    for (const char* p = value; *p; ++p) {
        if (*p < '0' || *p > '9' || depth > 65535) return refuse(r, PROBLEM_BAD_VALUE, arg);
        depth = depth * 10 + (uint32_t)(*p - '0');
    }
    if (depth == 0 || depth > 65535) return refuse(r, PROBLEM_BAD_VALUE, arg);
    r->s->list.max_depth = depth;
}

// One of the named values, letter case ignored; false (and refused) for any other.
struct named_value_t {
    const char* name;
    int32_t value;
};

template <size_t N>
bool take_named(reading_t* r, const named_value_t (&names)[N], const char* value, const char* arg,
                int32_t* field) {
    for (const named_value_t& named : names) {
        if (str_iequal(value, named.name)) {
            *field = named.value;
            return true;
        }
    }
    refuse(r, PROBLEM_BAD_VALUE, arg);
    return false;
}

const named_value_t ONLY_VALUES[] = {{"files", ONLY_FILES}, {"folders", ONLY_FOLDERS}, {"all", ONLY_ALL}};
const named_value_t ORDER_VALUES[] = {{"name", ORDER_NAME}, {"natural", ORDER_NATURAL}};
const named_value_t CASE_VALUES[] = {{"upper", CASE_UPPER}, {"lower", CASE_LOWER}, {"asis", CASE_UNCHANGED}};

void take_format(reading_t* r, int32_t format, const char* arg) {
    r->s->list.format = format;
    r->format_switch = format == FORMAT_LIST ? nullptr : arg;
}

void take_line_end(reading_t* r, int32_t line_end, const char* arg) {
    r->s->list.line_end = line_end;
    r->line_switch = arg;
}

void take_separator(reading_t* r, const char* value, const char* arg) {
    if (!str_equal(value, "/") && !str_equal(value, "\\")) return refuse(r, PROBLEM_BAD_VALUE, arg);
    r->s->list.separator = value[0];
    if (value[0] == '/') r->line_switch = arg;
}

void take_output(reading_t* r, const char* value, const char* arg);

// Every switch: its Windows spelling (letter case ignored; a name ending in
// ":" takes the rest of the argument as its value), and on Linux its GNU
// spellings ("--long", "--long=value" or "--long value", "-x"). A null
// Windows name is a GNU-only spelling.
struct switch_t {
    const char* name;
    const char* long_name;
    char short_name;
    bool takes_value;  // the GNU spellings take one
    switch_action_t action;
};

#define ACTION(body)                                       \
    [](reading_t* r, const char* value, const char* arg) { \
        (void)r;                                           \
        (void)value;                                       \
        (void)arg;                                         \
        body;                                              \
    }

const switch_t SWITCHES[] = {
    {"/noui", "--noui", 0, false, ACTION(r->noui = true)},
    {"/auto", "--auto", 0, false, ACTION(r->automatic = true)},
    {"/sub:1", "--recursive", 'r', false, ACTION(set_flag(&r->s->flags, FLAG_SUBFOLDERS, true))},
    {"/sub:0", nullptr, 0, false, ACTION(set_flag(&r->s->flags, FLAG_SUBFOLDERS, false))},
    {"/full", "--full", 0, false, ACTION(set_flag(&r->s->flags, FLAG_FULL_PATH, true))},
    {"/rel", "--relative", 0, false, ACTION(set_flag(&r->s->flags, FLAG_FULL_PATH, false))},
    {"/short", "--short", 0, false, ACTION(set_flag(&r->s->flags, FLAG_SHORT_NAMES, true))},
    {"/utf8", "--utf8", 0, false, ACTION(set_flag(&r->s->flags, FLAG_UTF8, true))},
    {"/case:upper", nullptr, 0, false, ACTION(r->s->case_mode = CASE_UPPER)},
    {"/case:lower", nullptr, 0, false, ACTION(r->s->case_mode = CASE_LOWER)},
    {"/case:asis", nullptr, 0, false, ACTION(r->s->case_mode = CASE_UNCHANGED)},
    {nullptr, "--case", 0, true, ACTION(take_named(r, CASE_VALUES, value, arg, &r->s->case_mode))},
    {"/wild:", "--wild", 0, true, ACTION(take_filter(r, FILTER_WILDCARD, value, arg))},
    {"/regex:", "--regex", 0, true, ACTION(take_filter(r, FILTER_REGEXP, value, arg))},
    {"/nofilter", "--no-filter", 0, false, ACTION(take_filter(r, FILTER_NONE, "", arg))},
    {"/skip:", "--skip", 0, true, ACTION(take_skip(r, value, arg))},
    {"/depth:", "--max-depth", 0, true, ACTION(take_depth(r, value, arg))},
    {"/only:", "--only", 0, true, ACTION(take_named(r, ONLY_VALUES, value, arg, &r->s->list.only))},
    {nullptr, "--files-only", 0, false, ACTION(r->s->list.only = ONLY_FILES)},
    {nullptr, "--folders-only", 0, false, ACTION(r->s->list.only = ONLY_FOLDERS)},
    {"/trim", "--trim", 0, false, ACTION(set_flag(&r->s->list.flags, LIST_TRIM, true))},
    {"/nohidden", "--no-hidden", 0, false, ACTION(set_flag(&r->s->list.flags, LIST_NO_HIDDEN, true))},
    {"/order:", "--order", 0, true, ACTION(take_named(r, ORDER_VALUES, value, arg, &r->s->list.order))},
    {"/csv", "--csv", 0, false, ACTION(take_format(r, FORMAT_CSV, arg))},
    {"/tsv", "--tsv", 0, false, ACTION(take_format(r, FORMAT_TSV, arg))},
    {"/null", "--null", '0', false, ACTION(take_line_end(r, LINE_END_NUL, arg))},
    {"/lf", "--lf", 0, false, ACTION(take_line_end(r, LINE_END_LF, arg))},
    {"/sep:", "--sep", 0, true, ACTION(take_separator(r, value, arg))},
    {"/bom", "--bom", 0, false, ACTION(set_flag(&r->s->list.flags, LIST_BOM, true); r->bom_switch = arg)},
    {"/quiet", "--quiet", 'q', false, ACTION(set_flag(&r->s->run_flags, RUN_QUIET, true))},
    {"/v", "--verbose", 'v', false, ACTION(set_flag(&r->s->run_flags, RUN_SUMMARY, true))},
    {"/?", "--help", 'h', false, ACTION(r->result->help = true)},
    {nullptr, "--version", 0, false, ACTION(r->result->version = true)},
    {nullptr, "--output", 'o', true, ACTION(take_output(r, value, arg))},
};

#undef ACTION

// "/wild:" and the like: the name in any letter case, the value as given.
const char* value_after(const char* arg, const char* prefix) {
    for (; *prefix; ++arg, ++prefix) {
        char c = *arg;
        if (c >= 'A' && c <= 'Z') c = (char)(c - 'A' + 'a');
        if (c != *prefix) return nullptr;
    }
    return arg;
}

bool takes_windows_value(const char* name) {
    return name[strlen(name) - 1] == ':';
}

// A Windows spelling; false when arg is none the program knows.
bool read_windows_switch(reading_t* r, const char* arg) {
    for (const switch_t& sw : SWITCHES) {
        if (!sw.name) continue;
        if (takes_windows_value(sw.name)) {
            const char* value = value_after(arg, sw.name);
            // "/sub:1" and "/case:upper" are whole names; the others take what follows.
            if (value) {
                sw.action(r, value, arg);
                return true;
            }
        } else if (str_iequal(arg, sw.name)) {
            sw.action(r, nullptr, arg);
            return true;
        }
    }
    return false;
}

// Where the value of a GNU spelling lies: in the argument itself
// ("--output=FILE", "-oFILE") or in the next one. The prefixes are ASCII, one
// unit each in every text, so the native value is found at the same offset.
void set_value(reading_t* r, const arguments_t* a, int index, const char* value) {
    r->value_native = a->native ? a->native[index] + (value - a->args[index]) : nullptr;
}

const switch_t* find_long(const char* name, size_t length) {
    for (const switch_t& sw : SWITCHES) {
        if (sw.long_name && strlen(sw.long_name) == length && strncmp(name, sw.long_name, length) == 0)
            return &sw;
    }
    return nullptr;
}

const switch_t* find_short(char letter) {
    for (const switch_t& sw : SWITCHES) {
        if (sw.short_name && sw.short_name == letter) return &sw;
    }
    return nullptr;
}

// "--name", "--name=value" or "--name value" at a->args[*i].
bool read_long_switch(reading_t* r, const arguments_t* a, int* i) {
    const char* arg = a->args[*i];
    const char* equals = strchr(arg, '=');
    const switch_t* sw = find_long(arg, equals ? (size_t)(equals - arg) : strlen(arg));
    if (!sw) return false;
    const char* value = nullptr;
    if (equals) {
        if (!sw->takes_value) {
            refuse(r, PROBLEM_BAD_VALUE, arg);
            return true;
        }
        value = equals + 1;
        set_value(r, a, *i, value);
    } else if (sw->takes_value) {
        if (*i + 1 >= a->count) {
            refuse(r, PROBLEM_MISSING_VALUE, arg);
            return true;
        }
        value = a->args[++*i];
        set_value(r, a, *i, value);
    }
    sw->action(r, value, arg);
    return true;
}

// "-r", "-rq0" (letters without values together), "-o FILE", "-oFILE".
bool read_short_switches(reading_t* r, const arguments_t* a, int* i) {
    const char* arg = a->args[*i];
    // Every letter must be known before any is taken.
    for (const char* p = arg + 1; *p; ++p) {
        const switch_t* sw = find_short(*p);
        if (!sw) return false;
        if (sw->takes_value) break;
    }
    for (const char* p = arg + 1; *p; ++p) {
        const switch_t* sw = find_short(*p);
        if (!sw->takes_value) {
            sw->action(r, nullptr, arg);
            continue;
        }
        const char* value = p + 1;
        int at = *i;
        if (*value == '\0') {
            if (*i + 1 >= a->count) {
                refuse(r, PROBLEM_MISSING_VALUE, arg);
                return true;
            }
            at = ++*i;
            value = a->args[at];
        }
        set_value(r, a, at, value);
        sw->action(r, value, arg);
        break;
    }
    return true;
}

// A GNU spelling at a->args[*i], which may take the next argument as its
// value; false when it is none the program knows.
bool read_gnu_switch(reading_t* r, const arguments_t* a, int* i) {
    const char* arg = a->args[*i];
    if (arg[0] != '-' || arg[1] == '\0') return false;
    return arg[1] == '-' ? read_long_switch(r, a, i) : read_short_switches(r, a, i);
}

void take_path(user_path_t* path, const char* text, const nchar_t* native, reading_t* r) {
    const bool held = native ? user_path_set(path, native) : user_path_set_text(path, text);
    // Never cut: the earlier value stays, and the run is refused.
    if (!held) refuse(r, PROBLEM_TOO_LONG, text);
}

bool names_existing_folder(const char* text, const nchar_t* native) {
    if (native) return is_existing_folder(native);
    user_path_t path;
    user_path_init(&path);
    const bool exists = user_path_set_text(&path, text) && is_existing_folder(path.native);
    user_path_free(&path);
    return exists;
}

// "-o FILE": FILE is the list file, whatever it names.
void take_output(reading_t* r, const char* value, const char*) {
    take_path(&r->s->output_file, value, r->value_native, r);
    r->result->output_named = true;
}

// A path that names no folder was read as the list file. Where the paths
// show it was meant as the folder (the first of several, or the only one of
// /auto), it is the folder after all: a run is then refused for the folder
// it names, and the dialog shows it in the folder's box.
void take_missing_folder(reading_t* r, const arguments_t* a) {
    if (r->folder_named || r->first_path_index == 0) return;
    const bool first_of_several = r->paths >= 2;
    const bool only_one_of_auto = r->automatic && r->paths == 1;
    if (!first_of_several && !only_one_of_auto) return;
    const int i = r->first_path_index;
    take_path(&r->s->folder, a->args[i], a->native ? a->native[i] : nullptr, r);
    // The only path was the list file's too; that one stays to be named.
    if (only_one_of_auto) user_path_free(&r->s->output_file);
}

// The settings that do not go together, found once every switch is read.
void check_conflicts(reading_t* r) {
    const list_options_t* list = &r->s->list;
    if (list->format != FORMAT_LIST && (list->line_end != LINE_END_CRLF || list->separator != '\\')) {
        refuse(r, PROBLEM_CONFLICT, r->line_switch ? r->line_switch : r->format_switch);
    }
    if ((list->flags & LIST_BOM) && !(r->s->flags & FLAG_UTF8)) refuse(r, PROBLEM_CONFLICT, r->bom_switch);
}

}  // namespace

bool is_output_argument(const char* arg) {
    if (arg[0] != '/') return true;
    return ABSOLUTE_PATHS_BEGIN_WITH_SLASH && mbs_chr(arg + 1, '/') != nullptr;
}

void read_command_line(settings_t* s, int count, const char* const* args, const nchar_t* const* native,
                       command_line_t* result) {
    mem_zero(result, sizeof *result);
    reading_t r = {};
    r.s = s;
    r.result = result;
    const arguments_t arguments = {count, args, native};

    for (int i = 1; i < count; ++i) {
        if (!r.options_ended) {
            const char* arg = args[i];
            if (DASH_OPTIONS && str_equal(arg, "--")) {
                r.options_ended = true;
                continue;
            }
            // A known switch wins over the rule that reads "/.../..." as a path.
            if (read_windows_switch(&r, arg)) continue;
            if (DASH_OPTIONS && read_gnu_switch(&r, &arguments, &i)) continue;
        }
        const char* arg = args[i];
        const nchar_t* arg_native = native ? native[i] : nullptr;
        if (str_equal(arg, STANDARD_OUTPUT_NAME)) {
            take_path(&s->output_file, arg, arg_native, &r);
            result->output_named = true;
            ++r.paths;
        } else if (names_existing_folder(arg, arg_native)) {
            take_path(&s->folder, arg, arg_native, &r);
            ++r.paths;
            r.folder_named = true;
        } else if (!r.options_ended && DASH_OPTIONS && arg[0] == '-') {
            refuse(&r, PROBLEM_UNKNOWN_OPTION, arg);
        } else if (r.options_ended || is_output_argument(arg)) {
            take_path(&s->output_file, arg, arg_native, &r);
            result->output_named = true;
            if (r.paths++ == 0) r.first_path_index = i;
        }
        // Anything else is an unknown switch, ignored without a word.
    }
    take_missing_folder(&r, &arguments);
    check_conflicts(&r);

    result->dialog_wanted = !r.noui;
    result->unattended = r.noui || r.automatic;
    if (r.automatic && !user_path_is_empty(&s->folder) && !is_existing_folder(s->folder.native)) {
        refuse(&r, PROBLEM_NO_FOLDER, nullptr);
    } else if (r.automatic && !user_path_is_empty(&s->folder) && user_path_is_empty(&s->output_file)) {
        const command_problem_t named = make_auto_output_name(&s->output_file, s->folder.native);
        if (named == PROBLEM_NONE) {
            result->dialog_wanted = false;
        } else {
            refuse(&r, named, nullptr);
        }
    }
}

bool parse_command_line(settings_t* s, int count, const char* const* args) {
    command_line_t result;
    read_command_line(s, count, args, nullptr, &result);
    return result.dialog_wanted;
}

// --- Automatic output name -------------------------------------------------------

command_problem_t make_auto_output_name(user_path_t* out, const nchar_t* folder) {
    switch (find_auto_output_name(out, folder)) {
        case AUTO_NAMED:
            return PROBLEM_NONE;
        case AUTO_NAME_ROOT:
            return PROBLEM_AUTO_ROOT;
        case AUTO_NAME_TAKEN:
            return PROBLEM_AUTO_TAKEN;
        default:
            return PROBLEM_TOO_LONG;
    }
}

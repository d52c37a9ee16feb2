// The process command line: splitting it into arguments and reading the
// switches and positional arguments into the job settings.
#pragma once

#include "app/settings.h"
#include "platform/native_text.h"

// Splits a whole command line, program name first, into arguments. The result
// is one heap block, released with free(): *count + 1 pointers (the last one
// null) followed by the argument texts. Null when memory runs out. The same
// rules for code page 932 text and for wide text (GetCommandLineW).
char** split_command_line(const char* text, int* count);
wchar_t** split_command_line(const wchar_t* text, int* count);

// Why a command line gives no run, the first reason found.
enum command_problem_t {
    PROBLEM_NONE,
    PROBLEM_UNKNOWN_OPTION,  // "-x" or "--x" naming no folder, before any "--" (Linux)
    PROBLEM_BAD_VALUE,       // a switch with a value it cannot take ("/depth:0", "/only:all files")
    PROBLEM_MISSING_VALUE,   // "-o" or "--skip" with nothing after it (Linux)
    PROBLEM_CONFLICT,        // switches that do not go together ("/csv" with "/null", "/bom" without "/utf8")
    PROBLEM_TOO_LONG,        // a path or a filter the program cannot hold whole
    PROBLEM_NO_FOLDER,       // no existing folder was named
    PROBLEM_NO_OUTPUT,       // no list file was named
    PROBLEM_AUTO_TAKEN,      // every /auto name is taken
    PROBLEM_AUTO_ROOT,       // /auto on a root, which has no name to take
    PROBLEM_NO_DIALOG,       // neither /noui nor /auto, and the program has no dialog
};

// What the command line asks for besides the settings.
struct command_line_t {
    bool dialog_wanted;         // no /noui, and /auto did not name the list
    bool unattended;            // /noui or /auto: a run without the dialog was asked for
    bool output_named;          // an argument named the list file (an empty one too)
    bool help;                  // "/?", and on Linux "-h" and "--help"
    bool version;               // "--version" (Linux)
    command_problem_t problem;  // the first reason the command line cannot be used, or PROBLEM_NONE
    const char* refused;        // the argument behind the problem, where one is to blame
};

// The list file name that stands for standard output.
constexpr char STANDARD_OUTPUT_NAME[] = "-";

// Reads args[1 .. count - 1] into s, which holds the defaults: "/noui",
// "/auto" and the setting switches (any letter case; later ones replace
// earlier ones, "/skip:" adds up), an existing folder and a list file; on
// Linux also the GNU spellings ("-r", "--output=FILE", "--max-depth 2").
// Where no path names an existing folder, the first of two or more paths,
// and the only path after /auto, is the folder all the same (one that does
// not exist, so that the run is refused with the folder named).
// args are the code page 932 texts, on which switches are read; native the
// same arguments in native text, which the paths keep. native may be null:
// the paths are then made from args.
void read_command_line(settings_t* s, int count, const char* const* args, const nchar_t* const* native,
                       command_line_t* result);
// The same on code page 932 texts alone; true when the settings dialog is wanted.
bool parse_command_line(settings_t* s, int count, const char* const* args);

// True when an argument that is neither a switch nor an existing folder names
// the output file: anything not beginning with "/", and on hosts where
// absolute paths begin with "/", also a "/" path with a second "/".
bool is_output_argument(const char* arg);

// The first of "<folder>.txt", "<folder>(0).txt" .. "<folder>(9).txt" where
// nothing exists yet, made on the native text of the folder after its
// trailing separators were dropped, into out. PROBLEM_NONE when named;
// PROBLEM_AUTO_ROOT for a root (C:\, \\server\share, /), PROBLEM_AUTO_TAKEN
// when all eleven are taken, PROBLEM_TOO_LONG when the name cannot be held.
command_problem_t make_auto_output_name(user_path_t* out, const nchar_t* folder);

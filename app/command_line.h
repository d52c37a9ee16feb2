// The process command line: splitting it into arguments and reading the
// switches and positional arguments into the job settings.
#pragma once

#include "app/settings.h"

// Splits a whole command line, program name first, into arguments. The result
// is one heap block, released with free(): *count + 1 pointers (the last one
// null) followed by the argument texts. Null when memory runs out.
char** split_command_line(const char* text, int* count);

// Reads "/noui", "/auto", "/sub:1" (any letter case), an existing folder and
// an output file from args[1 .. count - 1] into s, which holds the defaults.
// True when the settings dialog is wanted.
bool parse_command_line(settings_t* s, int count, const char* const* args);

// True when an argument that is neither a switch nor an existing folder names
// the output file: anything not beginning with "/", and on hosts where
// absolute paths begin with "/", also a "/" path with a second "/".
bool is_output_argument(const char* arg);

// Writes into out (PATH_BUFFER_SIZE bytes) the first of "<folder>.txt",
// "<folder>(0).txt" .. "<folder>(9).txt" where nothing exists yet. False when
// all eleven are taken (or the name would not fit in out).
bool make_auto_output_name(char* out, const char* folder);

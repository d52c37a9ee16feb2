// What the program says about its command line: the usage text, the version
// and why a command line cannot be used. The Windows program shows the usage
// in a window of its own; the Linux program writes to its standard streams.
#pragma once

#include "app/command_line.h"

// The usage text in code page 932, lines ending in "\n".
const char* usage_text();

// Why a command line cannot be used, in code page 932; where
// command_problem_names_argument says so, the refused argument follows it.
const char* command_problem_text(command_problem_t problem);
bool command_problem_names_argument(command_problem_t problem);

// Why a command line gives no run, as one message for the Windows program's
// dialog: the problem's text with the refused argument where it names one;
// for a missing folder, the folder itself. out holds FORMAT_BUFFER_SIZE bytes.
void describe_unusable_command_line(char* out, command_problem_t problem, const char* argument,
                                    const char* folder);

// The usage: a window on Windows (ui/info/usage_window.h), standard output on
// Linux. False, with a line on standard error, when it could not be written
// (a closed or full standard output).
bool show_usage();
// "scrivlet VERSION" on standard output (Linux); false as above.
bool show_version();
// One line on standard error saying why (Linux), as describe_unusable_command_line
// says it: argument is the refused argument, or null; folder the folder the
// command line named, for a missing one. The Windows program opens its
// dialog instead.
void report_unusable_command_line(command_problem_t problem, const char* argument, const char* folder);

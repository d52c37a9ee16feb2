// The main flow of one run: settings, worker, progress window, beep.
#pragma once

#include "app/exit_status.h"
#include "app/settings.h"
#include "platform/native_text.h"
#include "platform/platform.h"
#include "ui/progress/worker.h"

// Fills s from the defaults and the command line (args in code page 932
// text, native the same arguments in native text), showing the settings
// dialog when it is wanted or the settings are not usable. True when a job
// is to run; else *exit_code holds the process exit code (0 after the usage,
// the version or a cancelled dialog that was simply wanted; 1 for a command
// line that cannot be used: refused, or short of what a run without the
// dialog needs, where there is no dialog or its dialog was cancelled). s
// must be released with settings_free either way.
bool prepare_settings(settings_t* s, int count, const char* const* args, const nchar_t* const* native,
                      int* exit_code);

// The whole run after the command line has been split. The process exit code.
int app_main(HINSTANCE instance, int count, const char* const* args, const nchar_t* const* native);

// The program's own small icon for the notification area (null where there is none).
HICON load_small_app_icon(HINSTANCE instance);

struct listing_outcome_t;

// True where the program's lines reach a person at a terminal (Linux:
// standard error is a terminal).
bool console_is_terminal();

// The exit code of a run whose worker has ended: the job's status, and on
// Linux 128 + the signal's number for a run a signal cancelled.
int app_exit_code(worker_t* worker, const listing_outcome_t* outcome);

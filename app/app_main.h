// The main flow of one run: settings, worker, progress window, beep.
#pragma once

#include "app/settings.h"
#include "platform/platform.h"
#include "ui/progress/worker.h"

// Fills s from the defaults and the command line, showing the settings dialog
// when it is wanted or the settings are not usable. True when a job is to run.
bool prepare_settings(settings_t* s, int count, const char* const* args);

// The whole run after the command line has been split. The process exit code.
int app_main(HINSTANCE instance, int count, const char* const* args);

// The 16 x 16 application icon for the notification area (null where there is none).
HICON load_small_app_icon(HINSTANCE instance);

// The exit code of a run whose worker has ended: 0 for the Windows program;
// the command-line build passes a failed list write on so scripts notice.
int app_exit_code(worker_t* worker);

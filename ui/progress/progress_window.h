// The progress window: runs while the worker lists, and closes itself when
// the worker's thread has ended.
#pragma once

#include "platform/platform.h"
#include "ui/progress/worker.h"

// Returns once the worker's thread has ended (or the window could not be set up).
bool progress_run(HINSTANCE instance, worker_t* worker, HICON icon);

// The listing job: builds the filter, walks the folder tree into sorted entry
// lists, and writes the list file.
#pragma once

#include "app/settings.h"
#include "ui/progress/worker.h"

// Results of listing_job (the worker thread's exit code).
constexpr unsigned LISTING_DONE = 0;          // written, cancelled, or nothing to write
constexpr unsigned LISTING_WRITE_FAILED = 2;  // the list file could not be created or written

// The worker's job; job_arg is the settings_t of the run.
unsigned listing_job(worker_t* worker, void* job_arg);

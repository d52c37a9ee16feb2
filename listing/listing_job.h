// The listing job: builds the filters, walks the folder tree and writes the
// list file as it goes.
#pragma once

#include "app/settings.h"
#include "ui/progress/worker.h"

// Results of listing_job (the worker thread's exit code).
constexpr unsigned LISTING_DONE = 0;           // written
constexpr unsigned LISTING_WRITE_FAILED = 2;   // the list file could not be created or written
constexpr unsigned LISTING_INCOMPLETE = 3;     // written, but some folders could not be read
constexpr unsigned LISTING_OUT_OF_MEMORY = 4;  // memory ran out: no list was written
constexpr unsigned LISTING_CANCELLED = 130;    // cancelled: an existing list stays as it was

// Reader threads beside the walk's own: LISTING_READERS_AUTO chooses by the
// top folder (one per processor, more on a network share); tests and
// benchmarks set a number (0: the walk reads every folder itself).
constexpr int LISTING_READERS_AUTO = -1;
extern int listing_reader_threads;

// The message shown when the list file cannot be created or written.
void report_list_file_error();

// The worker's job; job_arg is the settings_t of the run.
unsigned listing_job(worker_t* worker, void* job_arg);

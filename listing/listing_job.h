// The listing job: builds the filters, walks the folder tree and writes the
// list file as it goes. It shows nothing: what became of the run is in its
// outcome, which the program reports once (app/report.h).
#pragma once

#include <stdint.h>

#include "app/exit_status.h"
#include "app/settings.h"
#include "listing/list_output.h"
#include "ui/progress/worker.h"

// Why a run ended short of a whole list.
enum listing_failure_t {
    LISTING_FAILURE_NONE,
    LISTING_FAILURE_LIST_FILE,       // the list file (outcome.list_failure says what of it)
    LISTING_FAILURE_TOP_UNREADABLE,  // the top folder could not be read: nothing was listed
    LISTING_FAILURE_NO_MEMORY,       // memory, a thread or an event could not be had
};

struct listing_outcome_t {
    exit_status_t status;  // also the worker thread's exit code
    listing_failure_t failure;
    list_failure_t list_failure;
    os_error_t error;      // the system's reason, where there is one
    uint64_t folders;      // lines written for folders
    uint64_t files;        // lines written for files
    uint64_t unreadable;   // folders that could not be (wholly) read
    uint64_t replaced;     // names written with "?" for what the list's code cannot hold
    bool cancel_too_late;  // a cancel came after the new list had taken the old one's place
};

// One run: the settings it reads and the outcome it leaves.
struct listing_run_t {
    const settings_t* settings;
    listing_outcome_t outcome;
};

// Reader threads beside the walk's own: LISTING_READERS_AUTO chooses by the
// top folder (one per processor, more on a network share); tests and
// benchmarks set a number (0: the walk reads every folder itself).
constexpr int LISTING_READERS_AUTO = -1;
extern int listing_reader_threads;

// Whether a folder is asked its identity only when a link below it needs it:
// LISTING_IDENTITY_AUTO as the platform would (FOLDER_IDENTITY_COSTS_AN_OPEN);
// tests set 0 or 1 to try either way on any platform.
constexpr int LISTING_IDENTITY_AUTO = -1;
extern int listing_identity_on_demand;

// The worker's job; job_arg is the listing_run_t of the run.
unsigned listing_job(worker_t* worker, void* job_arg);

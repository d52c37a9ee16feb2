// The walk: the folder tree, depth first, into the list file as it goes.
//
// Each folder's sorted lines are written as soon as the walk has them and
// freed once written, so memory grows with the folders on the current path
// and the read-ahead window, not with the tree. With /trim a folder's line
// waits on the path until something below it is written, and is dropped
// when the walk leaves the folder first: nothing more is held.
#pragma once

#include <stdint.h>

#include "listing/cancel_check.h"
#include "listing/line_writer.h"
#include "listing/list_output.h"
#include "listing/read_ahead.h"

struct walk_job_t {
    read_settings_t read;
    filter_t* const* filters;  // threads + 1
    filter_t* const* skips;    // threads + 1, or null when no names are left out
    unsigned threads;          // readers beside the walk itself
    read_window_t window;      // how far they may read ahead
    line_format_t format;
    int32_t only;          // ONLY_ALL, ONLY_FILES, ONLY_FOLDERS: which lines are written
    bool trim;             // a folder's line only once something below it is written
    const char* top_text;  // the top folder's program text, for what the walk reports
    const cancel_check_t* cancel;
    worker_t* worker;  // counts the items found; may be null
};

enum walk_end_t {
    WALK_DONE,
    WALK_CANCELLED,
    WALK_EXHAUSTED,     // memory or another resource ran out (walk_result_t::error)
    WALK_WRITE_FAILED,  // the list output failed
    WALK_TOP_UNREADABLE,
};

struct walk_result_t {
    walk_end_t end;
    os_error_t error;     // why, for WALK_EXHAUSTED and WALK_TOP_UNREADABLE
    uint64_t folders;     // folder lines written
    uint64_t files;       // file lines written
    uint64_t unreadable;  // folders that could not be (wholly) read
    uint64_t replaced;    // names written with "?" for what the code page cannot hold
};

walk_result_t walk_and_write(const walk_job_t* job, list_output_t* out);

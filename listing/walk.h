// The walk: the folder tree, depth first, into the list file as it goes.
//
// Each folder's sorted lines are written as soon as the walk has them and
// freed once written, so memory grows with the folders on the current path
// and the read-ahead window, not with the tree.
#pragma once

#include <stdint.h>

#include "listing/cancel_check.h"
#include "listing/list_output.h"
#include "listing/read_ahead.h"

// How lines are written.
struct line_format_t {
    const char* top;    // the top folder in the list's encoding and form (long or short)
    bool full_path;     // else the part below the top folder
    bool short_names;   // aliases where items have them (the top has a short form)
    bool utf8;          // names from their native text in UTF-8, else code page 932
    int32_t case_mode;  // CASE_LOWER, CASE_UPPER; any other value leaves letters alone
};

struct walk_job_t {
    read_settings_t read;
    filter_t* const* filters;  // threads + 1
    unsigned threads;          // readers beside the walk itself
    line_format_t format;
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
};

walk_result_t walk_and_write(const walk_job_t* job, list_output_t* out);

// What the program tells the user once a run has ended: each failure named
// once, with the file or folder and the system's reason.
//
// A line goes to the trace and to the console (Linux: standard error;
// Windows: the console the program was started from, if any). Where no
// console took it, the Windows program shows a message box, unless the run
// is quiet (/quiet): then the exit status and the trace tell.
#pragma once

#include "listing/listing_job.h"

// After a list was written, a summary: on a terminal (or with /v) one line
// of counts; in a box after a run from the dialog, where names were written
// with "?" or folders were not read; else in the trace alone.
void report_outcome(const settings_t* settings, const listing_outcome_t* outcome, bool terminal);

// The message of a failed list file into out (FORMAT_BUFFER_SIZE bytes):
// "ファイルの作成に失敗しました。", the path and the reason, one per line
// (for a box) or on one line.
void format_list_file_failure(char* out, const char* path, const listing_outcome_t* outcome, bool one_line);

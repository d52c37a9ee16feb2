// The settings dialog: edits the job settings before a run.
#pragma once

#include <stdint.h>

#include "text/mbs.h"

// The six settings in the order the dialog keeps them.
struct dialog_param_t {
    char folder[PATH_BUFFER_SIZE];
    char filter_text[PATH_BUFFER_SIZE];
    int32_t filter_kind;
    uint32_t flags;
    int32_t case_mode;
    char output_file[PATH_BUFFER_SIZE];
};

// Runs the dialog modally; true only when it ended with OK, and the record
// then holds the edited values.
bool show_settings_dialog(dialog_param_t* param);

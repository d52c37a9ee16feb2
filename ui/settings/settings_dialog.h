// The settings dialog: edits the job settings before a run.
#pragma once

#include <stdint.h>

#include "app/settings.h"
#include "app/user_path.h"
#include "text/mbs.h"

// The boxes a message of the dialog can point at.
enum dialog_box_t { DIALOG_BOX_NONE, DIALOG_BOX_FOLDER, DIALOG_BOX_OUTPUT };

// The settings in the order the dialog keeps them: the six of the first
// view, then the list options of its 詳細設定 dialog. The record owns its
// two paths (app/user_path.h): dialog_param_init before use, dialog_param_free
// after.
struct dialog_param_t {
    user_path_t folder;
    char filter_text[PATH_BUFFER_SIZE];
    int32_t filter_kind;
    uint32_t flags;
    int32_t case_mode;
    user_path_t output_file;
    list_options_t list;
    // Why the dialog opens in place of the run the command line asked for,
    // or null: shown (error icon) once the dialog is up, after which the box
    // problem_box names has the focus. Not owned; the dialog never writes it.
    const char* problem;
    int32_t problem_box;  // a dialog_box_t
};

// Empty paths and texts, the default list options, every other field zero.
void dialog_param_init(dialog_param_t* param);
void dialog_param_free(dialog_param_t* param);

// Runs the dialog modally; true only when it ended with OK, and the record
// then holds the edited values.
bool show_settings_dialog(dialog_param_t* param);

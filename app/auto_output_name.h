// The list file named after the folder: what /auto writes to, and what the
// settings dialog's "自動" proposes.
#pragma once

#include "app/user_path.h"
#include "platform/native_text.h"

enum auto_name_result_t {
    AUTO_NAMED,          // the first free name is in out
    AUTO_NAME_ROOT,      // a root (C:\, \\server\share, /) has no name to take
    AUTO_NAME_TAKEN,     // all eleven names are taken
    AUTO_NAME_TOO_LONG,  // the name cannot be held
};

// The first of "<folder>.txt", "<folder>(0).txt" .. "<folder>(9).txt" where
// nothing exists yet, made on the native text of the folder after its
// trailing separators were dropped, into out (untouched unless AUTO_NAMED).
auto_name_result_t find_auto_output_name(user_path_t* out, const nchar_t* folder);

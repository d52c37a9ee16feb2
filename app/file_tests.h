// File-system tests on native paths (platform/native_text.h).
#pragma once

#include "platform/native_text.h"

// True when path names an existing folder.
bool is_existing_folder(const nchar_t* path);
// True when anything, file or folder, exists at path.
bool path_exists(const nchar_t* path);

// File-system tests on the program's own path text.
#pragma once

// True when path names an existing folder.
bool is_existing_folder(const char* path);
// True when anything, file or folder, exists at path.
bool path_exists(const char* path);

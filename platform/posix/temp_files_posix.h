// The run's temporary files, which a signal that ends the program removes.
//
// file_create_temp notes each one, file_replace and file_remove forget it.
// temp_files_remove_now is async-signal-safe: a handler calls it before
// the process ends, so no hidden file is left behind.
#pragma once

void temp_files_note(const char* path);
void temp_files_forget(const char* path);
void temp_files_remove_now();

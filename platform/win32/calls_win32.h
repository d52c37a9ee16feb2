// The Windows side of the rows of the os table that are the program's own.
#pragma once

#include "platform/platform.h"

folder_t* win32_folder_open(const wchar_t* path, unsigned options);
folder_t* win32_folder_open_child(folder_t* parent, const wchar_t* name, unsigned options);
bool win32_folder_read(folder_t* folder, folder_item_t* item);
bool win32_folder_identity(folder_t* folder, folder_identity_t* identity);
void win32_folder_close(folder_t* folder);
bool win32_folder_is_remote(const wchar_t* path);
size_t win32_short_path(const wchar_t* path, wchar_t* out, size_t out_size);
unsigned win32_processor_count();
void win32_console_line(const char* text);
int win32_list_target_kind(const wchar_t* path);
FILE* win32_create_temp_file(const wchar_t* beside, wchar_t** temp_path);
bool win32_flush_file(FILE* file);
bool win32_replace_file(const wchar_t* from, const wchar_t* to);
bool win32_remove_file(const wchar_t* path);

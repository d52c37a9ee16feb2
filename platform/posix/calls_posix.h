// POSIX stand-ins for the Win32 file calls the program makes.
#pragma once

#include "platform/platform.h"

folder_t* posix_folder_open(const char* path, unsigned options);
folder_t* posix_folder_open_child(folder_t* parent, const char* name, unsigned options);
bool posix_folder_read(folder_t* folder, folder_item_t* item);
bool posix_folder_identity(folder_t* folder, folder_identity_t* identity);
void posix_folder_close(folder_t* folder);
bool posix_folder_is_remote(const char* path);
size_t posix_short_path(const char* path, char* out, size_t out_size);
unsigned posix_processor_count();
void posix_console_line(const char* text);
int posix_list_target_kind(const char* path);
FILE* posix_create_temp_file(const char* beside, char** temp_path);
bool posix_flush_file(FILE* file);
bool posix_replace_file(const char* from, const char* to);
bool posix_remove_file(const char* path);
DWORD WINAPI posix_GetFileAttributesA(LPCSTR path);
int WINAPI posix_lstrcmpiA(LPCSTR a, LPCSTR b);
int WINAPI posix_LCMapStringA(LCID locale, DWORD flags, LPCSTR source, int source_length, LPSTR dest,
                              int dest_size);
DWORD posix_file_attributes(const char* path);

void WINAPI posix_OutputDebugStringA(LPCSTR text);
int WINAPI posix_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
BOOL WINAPI posix_MessageBeep(UINT type);

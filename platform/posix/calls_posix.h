// POSIX stand-ins for the Win32 file calls the program makes.
#pragma once

#include "platform/platform.h"

HANDLE WINAPI posix_FindFirstFileA(LPCSTR pattern, LPWIN32_FIND_DATAA data);
BOOL WINAPI posix_FindNextFileA(HANDLE find, LPWIN32_FIND_DATAA data);
BOOL WINAPI posix_FindClose(HANDLE find);
DWORD WINAPI posix_GetFileAttributesA(LPCSTR path);
DWORD WINAPI posix_GetShortPathNameA(LPCSTR long_path, LPSTR short_path, DWORD size);
int WINAPI posix_lstrcmpiA(LPCSTR a, LPCSTR b);
int WINAPI posix_LCMapStringA(LCID locale, DWORD flags, LPCSTR source, int source_length, LPSTR dest,
                              int dest_size);
DWORD posix_file_attributes(const char* path);

void WINAPI posix_OutputDebugStringA(LPCSTR text);
int WINAPI posix_MessageBoxA(HWND owner, LPCSTR text, LPCSTR caption, UINT type);
BOOL WINAPI posix_MessageBeep(UINT type);

// The platform calls of the Windows build: kernel32, user32 and the C runtime.
#include <process.h>
#include <stdio.h>
#include <stdlib.h>

#include "platform/platform.h"
#include "platform/win32/calls_win32.h"
#include "platform/win32/long_path_win32.h"

namespace {

DWORD file_attributes_win32(const wchar_t* path) {
    wchar_t* whole = win32_long_path(path);
    if (!whole) return INVALID_FILE_ATTRIBUTES;
    const DWORD attributes = GetFileAttributesW(whole);
    free(whole);
    return attributes;
}

FILE* fopen_win32(const wchar_t* path, const char* mode) {
    wchar_t wide_mode[8];
    size_t i = 0;
    for (; mode[i] && i + 1 < sizeof wide_mode / sizeof wide_mode[0]; ++i) wide_mode[i] = (wchar_t)mode[i];
    wide_mode[i] = L'\0';
    wchar_t* whole = win32_long_path(path);
    if (!whole) return nullptr;
    FILE* file = _wfopen(whole, wide_mode);
    free(whole);
    return file;
}

}  // namespace

const platform_calls_t os_default = {
    .folder_open = win32_folder_open,
    .folder_open_child = win32_folder_open_child,
    .folder_read = win32_folder_read,
    .folder_identity = win32_folder_identity,
    .folder_close = win32_folder_close,
    .folder_is_remote = win32_folder_is_remote,
    .short_path = win32_short_path,
    .GetFileAttributesA = GetFileAttributesA,
    .lstrcmpiA = lstrcmpiA,
    .LCMapStringA = LCMapStringA,
    .CreateEventA = CreateEventA,
    .SetEvent = SetEvent,
    .WaitForSingleObject = WaitForSingleObject,
    .ResumeThread = ResumeThread,
    .GetExitCodeThread = GetExitCodeThread,
    .CloseHandle = CloseHandle,
    .beginthreadex = _beginthreadex,
    .processor_count = win32_processor_count,
    .malloc = malloc,
    .OutputDebugStringA = OutputDebugStringA,
    .MessageBoxA = MessageBoxA,
    .MessageBeep = MessageBeep,
    .console_line = win32_console_line,
    .file_attributes = file_attributes_win32,
    .fopen = fopen_win32,
    .fwrite = fwrite,
    .fclose = fclose,
    .list_target_kind = win32_list_target_kind,
    .create_temp_file = win32_create_temp_file,
    .flush_file = win32_flush_file,
    .replace_file = win32_replace_file,
    .remove_file = win32_remove_file,
};

platform_calls_t os = os_default;

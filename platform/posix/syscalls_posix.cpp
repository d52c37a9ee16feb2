// The platform calls of the POSIX build: the stand-ins of this folder.
#include <stdlib.h>

#include "platform/posix/calls_posix.h"
#include "platform/posix/sync_posix.h"

const platform_calls_t os_default = {
    .folder_open = posix_folder_open,
    .folder_open_child = posix_folder_open_child,
    .folder_read = posix_folder_read,
    .folder_identity = posix_folder_identity,
    .folder_close = posix_folder_close,
    .folder_is_remote = posix_folder_is_remote,
    .short_path = posix_short_path,
    .GetFileAttributesA = posix_GetFileAttributesA,
    .lstrcmpiA = posix_lstrcmpiA,
    .LCMapStringA = posix_LCMapStringA,
    .CreateEventA = posix_CreateEventA,
    .SetEvent = posix_SetEvent,
    .WaitForSingleObject = posix_WaitForSingleObject,
    .ResumeThread = posix_ResumeThread,
    .GetExitCodeThread = posix_GetExitCodeThread,
    .CloseHandle = posix_CloseHandle,
    .beginthreadex = posix_beginthreadex,
    .processor_count = posix_processor_count,
    .malloc = malloc,
    .OutputDebugStringA = posix_OutputDebugStringA,
    .MessageBoxA = posix_MessageBoxA,
    .MessageBeep = posix_MessageBeep,
    .console_line = posix_console_line,
    .file_attributes = posix_file_attributes,
    .fopen = fopen,
    .fwrite = fwrite,
    .fclose = fclose,
    .list_target_kind = posix_list_target_kind,
    .create_temp_file = posix_create_temp_file,
    .flush_file = posix_flush_file,
    .replace_file = posix_replace_file,
    .remove_file = posix_remove_file,
};

platform_calls_t os = os_default;

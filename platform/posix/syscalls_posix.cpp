// The platform calls of the POSIX build: the stand-ins of this folder.
#include "platform/posix/calls_posix.h"
#include "platform/posix/sync_posix.h"

const platform_calls_t os_default = {
    .FindFirstFileA = posix_FindFirstFileA,
    .FindNextFileA = posix_FindNextFileA,
    .FindClose = posix_FindClose,
    .GetFileAttributesA = posix_GetFileAttributesA,
    .GetShortPathNameA = posix_GetShortPathNameA,
    .lstrcmpiA = posix_lstrcmpiA,
    .LCMapStringA = posix_LCMapStringA,
    .CreateEventA = posix_CreateEventA,
    .SetEvent = posix_SetEvent,
    .WaitForSingleObject = posix_WaitForSingleObject,
    .ResumeThread = posix_ResumeThread,
    .GetExitCodeThread = posix_GetExitCodeThread,
    .CloseHandle = posix_CloseHandle,
    .beginthreadex = posix_beginthreadex,
    .OutputDebugStringA = posix_OutputDebugStringA,
    .MessageBoxA = posix_MessageBoxA,
    .MessageBeep = posix_MessageBeep,
    .file_attributes = posix_file_attributes,
    .fopen = fopen,
    .fwrite = fwrite,
    .fclose = fclose,
};

platform_calls_t os = os_default;

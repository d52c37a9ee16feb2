// The platform calls of the POSIX build: the stand-ins of this folder.
#include "platform/posix/calls_posix.h"
#include "platform/posix/sync_posix.h"

const platform_calls_t os_default = {
    posix_FindFirstFileA,
    posix_FindNextFileA,
    posix_FindClose,
    posix_GetFileAttributesA,
    posix_GetShortPathNameA,
    posix_lstrcmpiA,
    posix_LCMapStringA,
    posix_CreateEventA,
    posix_SetEvent,
    posix_WaitForSingleObject,
    posix_ResumeThread,
    posix_GetExitCodeThread,
    posix_CloseHandle,
    posix_beginthreadex,
    posix_OutputDebugStringA,
    posix_MessageBoxA,
    posix_MessageBeep,
    posix_fopen,
    fwrite,
    fclose,
};

platform_calls_t os = os_default;

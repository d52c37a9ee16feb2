// The platform calls of the Windows build: kernel32, user32 and the C runtime.
#include <process.h>

#include "platform/platform.h"

const platform_calls_t os_default = {
    FindFirstFileA,
    FindNextFileA,
    FindClose,
    GetFileAttributesA,
    GetShortPathNameA,
    lstrcmpiA,
    LCMapStringA,
    CreateEventA,
    SetEvent,
    WaitForSingleObject,
    ResumeThread,
    GetExitCodeThread,
    CloseHandle,
    _beginthreadex,
    OutputDebugStringA,
    MessageBoxA,
    MessageBeep,
    fopen,
    fwrite,
    fclose,
};

platform_calls_t os = os_default;

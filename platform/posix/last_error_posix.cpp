// The calling thread's last error, as the stand-ins for kernel32 set it.
#include "platform/posix/win32_api.h"

static thread_local DWORD last_error = 0;

DWORD GetLastError(void) {
    return last_error;
}

void SetLastError(DWORD error) {
    last_error = error;
}

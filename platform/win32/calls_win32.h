// The Windows side of every row of the os table: win32_<row> serves os.<row>.
#pragma once

#include "platform/platform.h"

#define OS_ROW_DECLARE(result, name, params, args, failed) result win32_##name params;
OS_CALLS(OS_ROW_DECLARE)
#undef OS_ROW_DECLARE

// The program's error for a Win32 error code (platform/os_error.h).
os_error_code_t win32_error_code(DWORD error);
// Leaves a Win32 error code, translated, as the calling thread's last error.
void win32_fail(DWORD error);

// The POSIX side of every row of the os table: posix_<row> serves os.<row>.
#pragma once

#include "platform/platform.h"

#define OS_ROW_DECLARE(result, name, params, args, failed) result posix_##name params;
OS_CALLS(OS_ROW_DECLARE)
#undef OS_ROW_DECLARE

// The program's error for an errno value (platform/os_error.h).
os_error_code_t posix_error_code(int error);
// Leaves errno, translated, as the calling thread's last error.
void posix_fail(int error);

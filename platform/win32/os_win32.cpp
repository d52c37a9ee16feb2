// The platform calls of the Windows build: every row's win32_ function.
#include "platform/win32/calls_win32.h"

const platform_calls_t os_default = {
#define OS_ROW_DEFAULT(result, name, params, args, failed) win32_##name,
    OS_CALLS(OS_ROW_DEFAULT)
#undef OS_ROW_DEFAULT
};

// Here, beside the defaults: a copy made in the same file is made after them.
platform_calls_t os = os_default;

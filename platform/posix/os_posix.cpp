// The platform calls of the POSIX build: every row's posix_ function.
#include "platform/posix/calls_posix.h"

const platform_calls_t os_default = {
#define OS_ROW_DEFAULT(result, name, params, args, failed) posix_##name,
    OS_CALLS(OS_ROW_DEFAULT)
#undef OS_ROW_DEFAULT
};

// Here, beside the defaults: a copy made in the same file is made after them.
platform_calls_t os = os_default;

// The os table by name: replacing and restoring rows, as tests do.
#include <string.h>

#include "platform/platform.h"

namespace {

const char* const ROW_NAMES[] = {
#define OS_ROW_NAME(result, name, params, args, failed) #name,
    OS_CALLS(OS_ROW_NAME)
#undef OS_ROW_NAME
};
static_assert(sizeof ROW_NAMES / sizeof ROW_NAMES[0] == OS_ROW_COUNT, "one name a row");

}  // namespace

const char* os_row_name(os_row_t row) {
    return row < OS_ROW_COUNT ? ROW_NAMES[row] : "";
}

os_row_t os_row_named(const char* name) {
    for (size_t i = 0; i < OS_ROW_COUNT; ++i) {
        if (strcmp(ROW_NAMES[i], name) == 0) return (os_row_t)i;
    }
    return OS_ROW_COUNT;
}

bool os_replace(const char* name, void (*call)()) {
    switch (os_row_named(name)) {
#define OS_ROW_REPLACE(result, name, params, args, failed)  \
    case OS_ROW_##name:                                     \
        os.name = reinterpret_cast<result(*) params>(call); \
        return true;
        OS_CALLS(OS_ROW_REPLACE)
#undef OS_ROW_REPLACE
        default:
            return false;
    }
}

bool os_restore(const char* name) {
    switch (os_row_named(name)) {
#define OS_ROW_RESTORE(result, name, params, args, failed) \
    case OS_ROW_##name:                                    \
        os.name = os_default.name;                         \
        return true;
        OS_CALLS(OS_ROW_RESTORE)
#undef OS_ROW_RESTORE
        default:
            return false;
    }
}

void os_restore_all() {
    os = os_default;
}

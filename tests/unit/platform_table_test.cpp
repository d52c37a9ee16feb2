// The default os table: a row left out of a designated initialiser compiles
// silently as null and would crash only when that call is first made.
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include "platform/platform.h"

TEST(PlatformTable, EveryDefaultRowIsSet) {
    // Every row is one function pointer (static_assert in platform.h).
    uintptr_t rows[PLATFORM_CALL_COUNT];
    static_assert(sizeof(rows) == sizeof(os_default), "one slot per row");
    memcpy(rows, &os_default, sizeof(rows));
    for (size_t i = 0; i < PLATFORM_CALL_COUNT; ++i)
        EXPECT_NE(rows[i], 0u) << "row " << i << " of os_default is null";
}

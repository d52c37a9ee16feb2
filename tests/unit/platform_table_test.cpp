// The os table: every default row set, every row reachable by its name.
#include <gtest/gtest.h>
#include <string.h>

#include "platform/platform.h"
#include "support/test_support.h"

namespace {

bool replaced_row_called = false;
unsigned replacement_processor_count() {
    replaced_row_called = true;
    return 77;
}

TEST(PlatformTable, EveryRowHasADefaultAndItsOwnName) {
    // A row left out of the defaults would be null and crash only when first called.
#define CHECK_DEFAULT(result, name, params, args, failed) EXPECT_NE((void*)os_default.name, nullptr) << #name;
    OS_CALLS(CHECK_DEFAULT)
#undef CHECK_DEFAULT
    for (int row = 0; row < OS_ROW_COUNT; ++row) {
        const char* name = os_row_name((os_row_t)row);
        EXPECT_EQ(os_row_named(name), (os_row_t)row) << name;
    }
    EXPECT_EQ(os_row_named("GetFileAttributesA"), OS_ROW_COUNT);
}

TEST(PlatformTable, RowsAreReplacedAndRestoredByName) {
    test::os_restore restore;
    ASSERT_TRUE(os_replace("processor_count", (void (*)())replacement_processor_count));
    EXPECT_EQ(os.processor_count(), 77u);
    EXPECT_TRUE(replaced_row_called);
    EXPECT_FALSE(os_replace("no_such_row", (void (*)())replacement_processor_count));
    ASSERT_TRUE(os_restore("processor_count"));
    EXPECT_EQ(os.processor_count, os_default.processor_count);
    EXPECT_FALSE(os_restore("no_such_row"));
}

TEST(PlatformTable, ErrorsHaveNamesAndMessages) {
    for (int code = 0; code < OS_ERROR_COUNT; ++code) {
        EXPECT_STRNE(os_error_name((os_error_code_t)code), "") << code;
        EXPECT_STRNE(os_error_message((os_error_code_t)code), "") << code;
    }
    EXPECT_STREQ(os_error_name(OS_ERROR_NO_MEMORY), "NO_MEMORY");
}

}  // namespace

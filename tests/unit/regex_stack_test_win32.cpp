// The compiler and the search on a thread with a 1 MiB stack, reserved as
// such (see support/regex_deep_cases.h). The program's own image may ask
// for more; the worker thread must not need it.
#include <gtest/gtest.h>
#include <windows.h>

#include "support/regex_deep_cases.h"

TEST(RegexStack, DeepPatternsOnAOneMegabyteStack) {
    std::vector<std::string> results;
    auto run = [](void* arg) -> DWORD {
        *static_cast<std::vector<std::string>*>(arg) = test::regex_deep_results();
        return 0;
    };
    HANDLE thread =
        CreateThread(nullptr, 1024 * 1024, run, &results, STACK_SIZE_PARAM_IS_A_RESERVATION, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    EXPECT_EQ(results, test::regex_deep_expected());
}

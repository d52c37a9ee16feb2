// The compiler and the search on a thread with a 1 MiB stack (see
// support/regex_deep_cases.h).
#include <gtest/gtest.h>
#include <pthread.h>

#include "support/regex_deep_cases.h"

TEST(RegexStack, DeepPatternsOnAOneMegabyteStack) {
    for (const test::regex_deep_case& c : test::regex_deep_cases()) {
        EXPECT_LE(c.pattern.size(), 521u) << "pattern beginning '" << c.pattern.substr(0, 20) << "'";
    }
    pthread_attr_t attributes;
    ASSERT_EQ(pthread_attr_init(&attributes), 0);
    ASSERT_EQ(pthread_attr_setstacksize(&attributes, 1024 * 1024), 0);
    std::vector<std::string> results;
    pthread_t thread;
    auto run = [](void* arg) -> void* {
        *static_cast<std::vector<std::string>*>(arg) = test::regex_deep_results();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attributes, run, &results), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attributes);
    EXPECT_EQ(results, test::regex_deep_expected());
}

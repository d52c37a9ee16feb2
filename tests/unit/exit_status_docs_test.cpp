// The usage gives each exit status of its build once, with the meaning
// the one list gives it.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <map>
#include <string>

#include "app/exit_status.h"
#include "app/usage.h"

namespace {

TEST(ExitStatusDocs, UsageGivesTheStatusesOfItsBuildWithTheirMeanings) {
    std::map<int, std::string> wanted;
    for (const exit_status_row_t& row : EXIT_STATUS_ROWS) {
#ifdef _WIN32
        if (row.posix_only) continue;
#endif
        wanted[row.value] = row.meaning;
    }
    const std::string usage = usage_text();
    const size_t heading = usage.find("\n終了コード");
    ASSERT_NE(heading, std::string::npos) << usage;
    std::map<int, std::string> given;
    size_t at = usage.find('\n', heading + 1);
    // "  130  キャンセルしました" until the text ends.
    while (at != std::string::npos && at + 1 < usage.size()) {
        const size_t end = usage.find('\n', at + 1);
        const std::string line = usage.substr(at + 1, end - at - 1);
        at = end;
        char* rest = nullptr;
        const long value = strtol(line.c_str(), &rest, 10);
        ASSERT_TRUE(line.compare(0, 2, "  ") == 0 && rest != line.c_str()) << line;
        EXPECT_EQ(given.count((int)value), 0u) << "given twice: " << value;
        given[(int)value] = std::string(rest).substr(std::string(rest).find_first_not_of(' '));
    }
    EXPECT_EQ(given, wanted);
}

}  // namespace

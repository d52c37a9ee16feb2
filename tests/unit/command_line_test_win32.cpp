// The Windows build's command line: every argument beginning with "/" that
// is no known switch and no existing folder is ignored.
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/settings.h"

namespace {

TEST(ParseCommandLineWin32, SlashPathsAreUnknownSwitches) {
    settings_t s;
    settings_init(&s);
    const char* args[] = {"scrivlet.exe", "/home/me/list.txt", "/help"};
    EXPECT_TRUE(parse_command_line(&s, 3, args));
    EXPECT_STREQ(s.output_file.text, "");
    EXPECT_STREQ(s.folder.text, "");
}

}  // namespace

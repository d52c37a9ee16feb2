// The native build's command line: absolute paths begin with "/".
#include <gtest/gtest.h>

#include "app/command_line.h"
#include "app/settings.h"
#include "support/test_support.h"

namespace {

bool parse(settings_t* s, const char* argument) {
    settings_init(s);
    const char* args[] = {"scrivlet", argument};
    return parse_command_line(s, 2, args);
}

TEST(ParseCommandLinePosix, SlashPathWithSecondSlashIsTheOutput) {
    settings_t s;
    parse(&s, "/home/me/list.txt");
    EXPECT_STREQ(s.output_file.text, "/home/me/list.txt");
    parse(&s, "/x/");
    EXPECT_STREQ(s.output_file.text, "/x/");
}

TEST(ParseCommandLinePosix, SwitchesAndUnknownSwitchesStaySwitches) {
    settings_t s;
    for (const char* text : {"/help", "/sub:0", "/list.txt", "/NOUI", "/Sub:1", "/auto"}) {
        parse(&s, text);
        EXPECT_STREQ(s.output_file.text, "") << "for " << text;
        EXPECT_STREQ(s.folder.text, "") << "for " << text;
    }
}

TEST(ParseCommandLinePosix, ExistingSlashFolderIsTheFolder) {
    test::temp_dir dir;
    ASSERT_EQ(dir.path()[0], '/') << "expected an absolute temporary folder, got " << dir.path();
    settings_t s;
    parse(&s, dir.path().c_str());
    EXPECT_EQ(s.folder.text, dir.path());
    EXPECT_STREQ(s.output_file.text, "");
}

}  // namespace

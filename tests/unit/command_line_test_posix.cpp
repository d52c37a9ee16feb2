// The native build's command line: absolute paths begin with "/".
#include <gtest/gtest.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/settings.h"
#include "support/test_support.h"

namespace {

void keep(const settings_t* s) {
    for (const user_path_t* path : {&s->folder, &s->output_file}) {
        test::keep_until_exit(path->native);
        test::keep_until_exit(path->text);
    }
}

bool parse(settings_t* s, const char* argument) {
    settings_init(s);
    const char* args[] = {"scrivlet", argument};
    const bool wanted = parse_command_line(s, 2, args);
    keep(s);
    return wanted;
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

namespace {

command_line_t read(settings_t* s, std::vector<const char*> args) {
    settings_init(s);
    args.insert(args.begin(), "scrivlet");
    command_line_t result;
    read_command_line(s, (int)args.size(), args.data(), args.data(), &result);
    keep(s);
    return result;
}

TEST(ParseCommandLinePosix, KnownSwitchesWinOverTheSlashPathRule) {
    settings_t s;
    read(&s, {"/regex:a/b", "/wild:x/*.txt"});
    EXPECT_EQ(s.filter_kind, FILTER_WILDCARD);
    EXPECT_STREQ(s.filter_text, "x/*.txt");
    EXPECT_STREQ(s.output_file.text, "") << "no switch became the list file";
    settings_free(&s);
}

TEST(ParseCommandLinePosix, DashOptions) {
    settings_t s;
    EXPECT_TRUE(read(&s, {"-h"}).help);
    EXPECT_TRUE(read(&s, {"--help"}).help);
    EXPECT_TRUE(read(&s, {"--version"}).version);
    command_line_t r = read(&s, {"/noui", "/sub:1", "-x", "out.txt"});
    EXPECT_EQ(r.problem, PROBLEM_UNKNOWN_OPTION);
    EXPECT_STREQ(r.refused, "-x");
    EXPECT_STREQ(s.output_file.text, "out.txt") << "the refused argument named no file";

    r = read(&s, {"--", "-x", "--help"});
    EXPECT_EQ(r.problem, PROBLEM_NONE);
    EXPECT_FALSE(r.help) << "after -- every argument is a path";
    EXPECT_STREQ(s.output_file.text, "--help");
    settings_free(&s);
}

// Every GNU spelling gives the settings of its Windows one.
TEST(ParseCommandLinePosix, GnuSpellingsMatchTheWindowsOnes) {
    const std::vector<std::pair<std::vector<const char*>, std::vector<const char*>>> cases = {
        {{"-r"}, {"/sub:1"}},
        {{"--recursive", "--relative", "--utf8", "--short"}, {"/sub:1", "/rel", "/utf8", "/short"}},
        {{"-o", "out.txt"}, {"out.txt"}},
        {{"-oout.txt"}, {"out.txt"}},
        {{"--output=out.txt"}, {"out.txt"}},
        {{"--skip=.git", "--skip", "node_modules"}, {"/skip:.git;node_modules"}},
        {{"--max-depth=2"}, {"/depth:2"}},
        {{"--max-depth", "3"}, {"/depth:3"}},
        {{"--files-only"}, {"/only:files"}},
        {{"--folders-only"}, {"/only:folders"}},
        {{"--only=folders"}, {"/only:FOLDERS"}},
        {{"--csv"}, {"/csv"}},
        {{"--tsv"}, {"/tsv"}},
        {{"-0", "--utf8", "--sep=/"}, {"/null", "/utf8", "/sep:/"}},
        {{"--lf"}, {"/lf"}},
        {{"--trim", "--no-hidden", "--order", "natural"}, {"/trim", "/nohidden", "/order:natural"}},
        {{"-rq0"}, {"/sub:1", "/quiet", "/null"}},
        {{"--wild=*.txt", "--case=upper"}, {"/wild:*.txt", "/case:upper"}},
        {{"--regex", "^a", "--no-filter"}, {"/regex:^a", "/nofilter"}},
        {{"--noui", "--verbose", "--bom", "--utf8"}, {"/noui", "/v", "/bom", "/utf8"}},
    };
    for (const auto& c : cases) {
        settings_t gnu;
        settings_t windows;
        const command_line_t g = read(&gnu, c.first);
        const command_line_t w = read(&windows, c.second);
        const std::string name = c.first[0];
        EXPECT_EQ(g.problem, PROBLEM_NONE) << name;
        EXPECT_EQ(w.problem, PROBLEM_NONE) << name;
        EXPECT_EQ(g.dialog_wanted, w.dialog_wanted) << name;
        EXPECT_EQ(gnu.flags, windows.flags) << name;
        EXPECT_EQ(gnu.run_flags, windows.run_flags) << name;
        EXPECT_EQ(gnu.case_mode, windows.case_mode) << name;
        EXPECT_EQ(gnu.filter_kind, windows.filter_kind) << name;
        EXPECT_STREQ(gnu.filter_text, windows.filter_text) << name;
        EXPECT_EQ(memcmp(&gnu.list, &windows.list, sizeof gnu.list), 0) << name;
        EXPECT_STREQ(gnu.output_file.native, windows.output_file.native) << name;
        settings_free(&gnu);
        settings_free(&windows);
    }
}

TEST(ParseCommandLinePosix, GnuSpellingsThatCannotBeUsed) {
    settings_t s;
    struct refusal_t {
        std::vector<const char*> args;
        command_problem_t problem;
        const char* refused;
    };
    const refusal_t cases[] = {
        {{"-o"}, PROBLEM_MISSING_VALUE, "-o"},
        {{"--skip"}, PROBLEM_MISSING_VALUE, "--skip"},
        {{"--csv=yes"}, PROBLEM_BAD_VALUE, "--csv=yes"},
        {{"--max-depth=0"}, PROBLEM_BAD_VALUE, "--max-depth=0"},
        {{"-rx"}, PROBLEM_UNKNOWN_OPTION, "-rx"},
        {{"--recursively"}, PROBLEM_UNKNOWN_OPTION, "--recursively"},
    };
    for (const refusal_t& c : cases) {
        const command_line_t r = read(&s, c.args);
        EXPECT_EQ(r.problem, c.problem) << c.args[0];
        EXPECT_STREQ(r.refused, c.refused) << c.args[0];
        EXPECT_EQ(s.flags, FLAG_FULL_PATH) << c.args[0] << ": nothing of a refused argument is taken";
        settings_free(&s);
    }
}

TEST(ParseCommandLinePosix, OutputValueIsTheListFileWhateverItLooksLike) {
    settings_t s;
    EXPECT_EQ(read(&s, {"/noui", "-"}).problem, PROBLEM_NONE);
    EXPECT_STREQ(s.output_file.native, "-") << "standard output";
    EXPECT_EQ(read(&s, {"--output", "/sub:1"}).problem, PROBLEM_NONE);
    EXPECT_STREQ(s.output_file.native, "/sub:1");
    EXPECT_EQ(s.flags, FLAG_FULL_PATH);
    settings_free(&s);
}

TEST(ParseCommandLinePosix, DashFolderThatExistsIsTheFolder) {
    test::temp_dir dir;
    test::make_folder(dir.join("-photos"));
    settings_t s;
    // Relative, as a shell gives it from the parent.
    char cwd[4096];
    ASSERT_NE(getcwd(cwd, sizeof cwd), nullptr);
    ASSERT_EQ(chdir(test::native(dir.path()).c_str()), 0);
    const command_line_t r = read(&s, {"-photos"});
    EXPECT_EQ(chdir(cwd), 0);
    EXPECT_EQ(r.problem, PROBLEM_NONE);
    EXPECT_STREQ(s.folder.native, "-photos");
    settings_free(&s);
}

TEST(AutoOutputNamePosix, TrailingSlashesDroppedAndRootRefused) {
    test::temp_dir dir;
    const std::string folder = test::native(dir.path()) + "/caf\xC3\xA9";  // café, as the bytes on disk
    ASSERT_EQ(mkdir(folder.c_str(), 0777), 0);
    user_path_t out;
    user_path_init(&out);
    for (const char* tail : {"", "/", "//"}) {
        ASSERT_EQ(make_auto_output_name(&out, (folder + tail).c_str()), PROBLEM_NONE) << tail;
        EXPECT_EQ(std::string(out.native), folder + ".txt");
    }
    EXPECT_EQ(make_auto_output_name(&out, "/"), PROBLEM_AUTO_ROOT);
    user_path_free(&out);
}

}  // namespace

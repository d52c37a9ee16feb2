// The Windows build's command line: every argument beginning with "/" that
// is no known switch and no existing folder is ignored.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <wchar.h>

#include <random>
#include <string>
#include <vector>

#include "app/command_line.h"
#include "app/settings.h"
#include "support/test_support.h"

namespace {

TEST(ParseCommandLineWin32, SlashPathsAreUnknownSwitches) {
    settings_t s;
    settings_init(&s);
    const char* args[] = {"scrivlet.exe", "/home/me/list.txt", "/help"};
    EXPECT_TRUE(parse_command_line(&s, 3, args));
    EXPECT_STREQ(s.output_file.text, "");
    EXPECT_STREQ(s.folder.text, "");
    const char* dashes[] = {"scrivlet.exe", "-r", "--help"};
    command_line_t result;
    read_command_line(&s, 3, dashes, nullptr, &result);
    EXPECT_EQ(result.problem, PROBLEM_NONE) << "no dash options on Windows";
    EXPECT_FALSE(result.help);
    EXPECT_STREQ(s.output_file.text, "--help") << "a list file named as any other";
}

}  // namespace

namespace {

// --- The wide splitter against the narrow one -------------------------------------

std::wstring wide_of(const std::string& text) {
    const int size = MultiByteToWideChar(932, 0, text.c_str(), -1, nullptr, 0);
    std::wstring wide((size_t)size, L'\0');
    MultiByteToWideChar(932, 0, text.c_str(), -1, &wide[0], size);
    wide.resize(wcslen(wide.c_str()));
    return wide;
}

std::vector<std::wstring> split_wide(const std::wstring& text) {
    int count = -1;
    wchar_t** args = split_command_line(text.c_str(), &count);
    EXPECT_NE(args, nullptr);
    if (!args) return {};
    std::vector<std::wstring> result(args, args + count);
    EXPECT_EQ(args[count], nullptr);
    free(args);
    return result;
}

// The narrow split, each argument then made wide.
std::vector<std::wstring> split_narrow_then_widen(const std::string& text) {
    int count = -1;
    char** args = split_command_line(text.c_str(), &count);
    EXPECT_NE(args, nullptr);
    if (!args) return {};
    std::vector<std::wstring> result;
    for (int i = 0; i < count; ++i) result.push_back(wide_of(args[i]));
    free(args);
    return result;
}

void expect_same_split(const std::string& text) {
    EXPECT_EQ(split_wide(wide_of(text)), split_narrow_then_widen(text)) << "for [" << text << "]";
}

TEST(SplitCommandLineWide, QuotingAndBackslashExamplesSplitAsTheNarrowOnes) {
    for (const char* text :
         {"p a\\\\\\\"b", "p a\\\\b", "p a\\\\\"b c\" d", "p \"a b\"", "p \"a\"\"b\"", "p \"\" x", "p a\\\"",
          "p \"a b\tc ", "\"C:\\My Programs\\p.exe\" x", "\"C:\\dir\\\" x", "C:\\p\".exe x", "\"p",
          "p\ta \t b\t", "", "p   ", "p a\x95\\\"b c\"", "p \\\x95\\\" x \"", "\"c:\\\x95\\\" x"}) {
        expect_same_split(text);
    }
}

TEST(SplitCommandLineWide, RandomCodePageTextsSplitAsTheNarrowOnes) {
    // Characters the splitter cares about, plain ones, and double-byte ones
    // whose second byte is a backslash, a quote's neighbour or a letter.
    const std::vector<std::string> pieces = {"\\", "\\", "\"", " ",  "\t",   "a", "Z",        "/", ":",
                                             ".",  "表", "ソ", "十", "日本", "ｱ", "\x81\x40", "能"};
    std::mt19937 random(12345);
    for (int round = 0; round < 2000; ++round) {
        std::string text;
        const int length = (int)(random() % 24);
        for (int k = 0; k < length; ++k) text += pieces[random() % pieces.size()];
        expect_same_split(text);
    }
}

// --- Paths in wide text ------------------------------------------------------------

TEST(ReadCommandLineWin32, PathsKeepTheirWideTextAndShowQuestionMarks) {
    test::temp_dir dir;
    const std::wstring folder = test::native(dir.path()) + L"\\caf\u00e9";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    const std::wstring list = test::native(dir.path()) + L"\\r\u00e9sum\u00e9 \U0001F600.txt";
    const std::wstring natives[] = {L"Scrivlet.exe", L"/noui", folder, list};
    const nchar_t* native[] = {natives[0].c_str(), natives[1].c_str(), natives[2].c_str(),
                               natives[3].c_str()};
    std::vector<std::string> texts;
    for (const std::wstring& n : natives) texts.push_back(test::text(n));
    const char* args[] = {texts[0].c_str(), texts[1].c_str(), texts[2].c_str(), texts[3].c_str()};

    settings_t s;
    settings_init(&s);
    command_line_t result;
    read_command_line(&s, 4, args, native, &result);
    EXPECT_FALSE(result.dialog_wanted);
    EXPECT_EQ(result.problem, PROBLEM_NONE);
    EXPECT_STREQ(s.folder.native, folder.c_str());
    EXPECT_STREQ(s.output_file.native, list.c_str());
    EXPECT_EQ(std::string(s.output_file.text), dir.path() + "\\r?sum? ?.txt") << "no look-alike e";
    EXPECT_TRUE(settings_valid(&s));
    settings_free(&s);
}

TEST(AutoOutputNameWin32, BuiltOnTheWideTextBesideTheFolder) {
    test::temp_dir dir;
    const std::wstring folder = test::native(dir.path()) + L"\\caf\u00e9";
    ASSERT_TRUE(CreateDirectoryW(folder.c_str(), nullptr));
    user_path_t out;
    user_path_init(&out);
    for (const std::wstring tail : {L"", L"\\", L"/", L"\\\\/"}) {
        ASSERT_EQ(make_auto_output_name(&out, (folder + tail).c_str()), PROBLEM_NONE);
        EXPECT_EQ(std::wstring(out.native), folder + L".txt");
    }
    user_path_free(&out);
}

}  // namespace

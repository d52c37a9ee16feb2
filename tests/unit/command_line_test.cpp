// Command-line splitting, switches and positional arguments, the automatic
// output name, and the file tests behind them.
#include "app/command_line.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <string>
#include <vector>

#include "app/file_tests.h"
#include "app/settings.h"
#include "app/usage.h"
#include "support/test_support.h"

namespace {

// 表: its second byte is the code of the backslash.
const std::string HYO = "\x95\x5C";

// Command lines written as in the description of the splitter: Q stands for
// a double quote and B for a backslash.
std::string qb(std::string text) {
    for (char& c : text) {
        if (c == 'Q') c = '"';
        if (c == 'B') c = '\\';
    }
    return text;
}

// Splits text and checks the shape of the block: count + 1 pointers, the
// last null, then every text inside the same block.
std::vector<std::string> split(const std::string& text) {
    int count = -1;
    char** args = split_command_line(text.c_str(), &count);
    EXPECT_NE(args, nullptr);
    if (args == nullptr) return {};
    std::vector<std::string> result;
    const char* texts = (const char*)(args + count + 1);
    for (int i = 0; i < count; ++i) {
        EXPECT_GE(args[i], texts) << "argument " << i << " lies outside the block";
        result.push_back(args[i]);
    }
    EXPECT_EQ(args[count], nullptr) << "the table does not end with a null entry";
    free(args);
    return result;
}

using args_t = std::vector<std::string>;

TEST(SplitCommandLine, BackslashesAndQuotes) {
    EXPECT_EQ(split(qb("p aBBBQb")), args_t({"p", qb("aBQb")})) << "odd backslashes escape the quote";
    EXPECT_EQ(split(qb("p aBBb")), args_t({"p", qb("aBBb")})) << "backslashes not before a quote are kept";
    EXPECT_EQ(split(qb("p aBBQb cQ d")), args_t({"p", qb("aBb c"), "d"}))
        << "even backslashes halve and quote";
    EXPECT_EQ(split(qb("p Qa bQ")), args_t({"p", "a b"}));
    EXPECT_EQ(split(qb("p QaQQbQ")), args_t({"p", qb("aQb")}));
    EXPECT_EQ(split(qb("p QQ x")), args_t({"p", "", "x"})) << "a quoted empty text is an argument";
    EXPECT_EQ(split(qb("p aBQ")), args_t({"p", qb("aQ")}));
}

TEST(SplitCommandLine, UnclosedQuoteRunsToTheEnd) {
    EXPECT_EQ(split(qb("p Qa b\tc ")), args_t({"p", "a b\tc "}));
}

TEST(SplitCommandLine, ProgramNameTakesQuotesOnly) {
    EXPECT_EQ(split(qb("QC:BMy ProgramsBp.exeQ x")), args_t({qb("C:BMy ProgramsBp.exe"), "x"}));
    // A backslash before the closing quote escapes nothing in the name.
    EXPECT_EQ(split(qb("QC:BdirBQ x")), args_t({qb("C:BdirB"), "x"}));
    EXPECT_EQ(split(qb("C:BpQ.exe x")), args_t({qb("C:BpQ.exe"), "x"}));
    EXPECT_EQ(split(qb("Qp")), args_t({"p"}));
}

TEST(SplitCommandLine, BlanksSeparate) {
    EXPECT_EQ(split("p\ta \t b\t"), args_t({"p", "a", "b"}));
    EXPECT_EQ(split("p"), args_t({"p"}));
    EXPECT_EQ(split(""), args_t({""}));
    EXPECT_EQ(split("p   "), args_t({"p"}));
}

TEST(SplitCommandLine, SecondByteIsNeverBackslashOrQuote) {
    // 表 before a quote is no backslash: the quote opens quoting.
    EXPECT_EQ(split(qb("p a" + HYO + "Qb cQ")), args_t({"p", "a" + HYO + "b c"}));
    EXPECT_EQ(split(qb("p B" + HYO + "Q x Q")), args_t({"p", qb("B") + HYO + " x "}));
    // 0x81 0x22: the quote byte is the second byte of one character.
    EXPECT_EQ(split("p \x81\"x y"), args_t({"p", "\x81\"x", "y"}));
    // 0x81 0x20: the blank byte is taken with its lead byte.
    EXPECT_EQ(split("p \x81 x y"), args_t({"p", "\x81 x", "y"}));
    EXPECT_EQ(split(qb("Qc:B" + HYO + "Q x")), args_t({qb("c:B") + HYO, "x"}));
}

TEST(SplitCommandLine, LeadByteBeforeTerminatorIsCopiedAlone) {
    EXPECT_EQ(split("p a\x95"), args_t({"p", "a\x95"}));
    EXPECT_EQ(split("p\x95"), args_t({"p\x95"}));
}

// --- Switches and positional arguments ---------------------------------------------

struct parsed_t {
    settings_t settings;
    bool wanted;
};

parsed_t parse(const args_t& arguments) {
    parsed_t p;
    settings_init(&p.settings);
    std::vector<const char*> args = {"scrivlet.exe"};
    for (const std::string& a : arguments) args.push_back(a.c_str());
    p.wanted = parse_command_line(&p.settings, (int)args.size(), args.data());
    for (const user_path_t* path : {&p.settings.folder, &p.settings.output_file}) {
        test::keep_until_exit(path->native);
        test::keep_until_exit(path->text);
    }
    return p;
}

void expect_defaults_but_texts(const settings_t& s) {
    EXPECT_EQ(s.flags, FLAG_FULL_PATH);
    EXPECT_EQ(s.case_mode, CASE_UNCHANGED);
    EXPECT_EQ(s.filter_kind, FILTER_NONE);
    EXPECT_STREQ(s.filter_text, "");
}

TEST(ParseCommandLine, NoArgumentsWantsDialogWithDefaults) {
    const parsed_t p = parse({});
    EXPECT_TRUE(p.wanted);
    expect_defaults_but_texts(p.settings);
    EXPECT_STREQ(p.settings.folder.text, "");
    EXPECT_STREQ(p.settings.output_file.text, "");
}

TEST(ParseCommandLine, SwitchesIgnoreLetterCase) {
    EXPECT_FALSE(parse({"/NOUI"}).wanted);
    EXPECT_FALSE(parse({"/NoUi"}).wanted);
    EXPECT_EQ(parse({"/Sub:1"}).settings.flags, FLAG_FULL_PATH | FLAG_SUBFOLDERS);
    EXPECT_EQ(parse({"/SUB:1"}).settings.flags, FLAG_FULL_PATH | FLAG_SUBFOLDERS);
}

TEST(ParseCommandLine, UnknownSwitchesAreIgnored) {
    const parsed_t p = parse({"/sub:0", "/sub:1x", "/help", "/noui "});
    EXPECT_TRUE(p.wanted);
    expect_defaults_but_texts(p.settings);
    EXPECT_STREQ(p.settings.folder.text, "");
    EXPECT_STREQ(p.settings.output_file.text, "") << "a switch was taken for the output file";
}

TEST(ParseCommandLine, NouiWithFolderAndOutputRunsAtOnce) {
    test::temp_dir dir;
    const std::string output = dir.join("list.txt");
    const parsed_t p = parse({dir.path(), output, "/noui"});
    EXPECT_FALSE(p.wanted);
    EXPECT_EQ(p.settings.folder.text, dir.path());
    EXPECT_EQ(p.settings.output_file.text, output);
    EXPECT_TRUE(settings_valid(&p.settings));
    expect_defaults_but_texts(p.settings);
}

TEST(ParseCommandLine, LaterArgumentsReplaceEarlierOnes) {
    test::temp_dir dir;
    const std::string first = dir.join("first");
    const std::string second = dir.join("second");
    test::make_folder(first);
    test::make_folder(second);
    const parsed_t p = parse({"one.txt", first, "two.txt", second});
    EXPECT_EQ(p.settings.folder.text, second);
    EXPECT_STREQ(p.settings.output_file.text, "two.txt");
    EXPECT_TRUE(p.wanted) << "the dialog opens without /noui";
}

TEST(ParseCommandLine, FileIsNoFolderButAnOutput) {
    test::temp_dir dir;
    const std::string file = dir.join("plain.txt");
    test::write_file(file, "x");
    const parsed_t p = parse({file});
    EXPECT_STREQ(p.settings.folder.text, "");
    EXPECT_EQ(p.settings.output_file.text, file);
    EXPECT_FALSE(settings_valid(&p.settings));
}

TEST(ParseCommandLine, LongPathsAreHeldWholeOrRefused) {
    const std::string name = std::string(598, 'n') + HYO;  // 600 bytes
    EXPECT_EQ(std::string(parse({name}).settings.output_file.text), name);

    // One unit more than the program holds: refused, never cut.
    const std::string longest(USER_PATH_MAX, 'n');
    const std::string longer = longest + "n";
    settings_t s;
    settings_init(&s);
    std::vector<const char*> args = {"scrivlet.exe", longest.c_str(), longer.c_str()};
    command_line_t result;
    read_command_line(&s, 3, args.data(), nullptr, &result);
    EXPECT_EQ(strlen(s.output_file.text), longest.size()) << "the earlier path stays";
    EXPECT_EQ(strlen(s.folder.text), longest.size()) << "the first of two paths is the folder";
    EXPECT_EQ(result.problem, PROBLEM_TOO_LONG);
    EXPECT_TRUE(result.refused == args[2]) << "the refused argument is the longer one";
    settings_free(&s);
}

// A path that names no folder is the list file, unless the paths show it
// was meant as the folder: so a refused run can name it, and the dialog show
// it in the folder's box.
TEST(ParseCommandLine, AMissingFolderIsTakenWhereThePathsShowIt) {
    test::temp_dir dir;
    const std::string tree = dir.join("tree");
    const std::string missing = dir.join("missing");
    test::make_folder(tree);
    struct case_t {
        args_t args;
        std::string folder, output;
        command_problem_t problem;
        bool unattended;
    };
    const case_t cases[] = {
        {{missing, "list.txt"}, missing, "list.txt", PROBLEM_NONE, false},
        {{"/noui", missing, "list.txt"}, missing, "list.txt", PROBLEM_NONE, true},
        {{"/auto", missing}, missing, "", PROBLEM_NO_FOLDER, true},
        {{missing}, "", missing, PROBLEM_NONE, false},  // a document alone is the list file
        {{"a.txt", "b.txt", "c.txt"}, "a.txt", "c.txt", PROBLEM_NONE, false},
        {{"list.txt", tree}, tree, "list.txt", PROBLEM_NONE, false},  // an existing folder wins
        {{missing, tree, "list.txt"}, tree, "list.txt", PROBLEM_NONE, false},
        {{"/auto", tree}, tree, tree + ".txt", PROBLEM_NONE, true},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        settings_t s;
        settings_init(&s);
        std::vector<const char*> args = {"scrivlet.exe"};
        for (const std::string& a : c.args) args.push_back(a.c_str());
        command_line_t line;
        read_command_line(&s, (int)args.size(), args.data(), nullptr, &line);
        EXPECT_EQ(s.folder.native, test::native(c.folder));
        EXPECT_EQ(s.output_file.native, test::native(c.output));
        EXPECT_EQ(line.problem, c.problem);
        EXPECT_EQ(line.unattended, c.unattended);
        settings_free(&s);
    }
}

TEST(ParseCommandLine, WhyACommandLineGivesNoRunIsOneMessage) {
    struct case_t {
        command_problem_t problem;
        const char* argument;
        const char* folder;
        std::string message;
    };
    const case_t cases[] = {
        {PROBLEM_NO_FOLDER, nullptr, "C:\\x\\", "フォルダ「C:\\x\\」が見つかりません。"},
        {PROBLEM_NO_FOLDER, nullptr, "", "一覧を作成するフォルダが指定されていません。"},
        {PROBLEM_BAD_VALUE, "/depth:0", "tree", "スイッチの値を使えません: /depth:0"},
        {PROBLEM_AUTO_ROOT, nullptr, "C:\\", command_problem_text(PROBLEM_AUTO_ROOT)},
        {PROBLEM_TOO_LONG, "xxx", "tree", command_problem_text(PROBLEM_TOO_LONG)},
    };
    for (const case_t& c : cases) {
        char out[FORMAT_BUFFER_SIZE];
        describe_unusable_command_line(out, c.problem, c.argument, c.folder);
        EXPECT_EQ(out, c.message) << "problem " << c.problem;
    }
}

// --- Switches for every setting ------------------------------------------------------

TEST(SettingSwitches, EachSettingAlone) {
    EXPECT_EQ(parse({"/sub:1"}).settings.flags, FLAG_FULL_PATH | FLAG_SUBFOLDERS);
    EXPECT_EQ(parse({"/sub:1", "/sub:0"}).settings.flags, FLAG_FULL_PATH);
    EXPECT_EQ(parse({"/rel"}).settings.flags, 0u);
    EXPECT_EQ(parse({"/rel", "/full"}).settings.flags, FLAG_FULL_PATH);
    EXPECT_EQ(parse({"/short"}).settings.flags, FLAG_FULL_PATH | FLAG_SHORT_NAMES);
    EXPECT_EQ(parse({"/utf8"}).settings.flags, FLAG_FULL_PATH | FLAG_UTF8);
    EXPECT_EQ(parse({"/case:upper"}).settings.case_mode, CASE_UPPER);
    EXPECT_EQ(parse({"/case:lower"}).settings.case_mode, CASE_LOWER);
    EXPECT_EQ(parse({"/case:upper", "/case:asis"}).settings.case_mode, CASE_UNCHANGED);

    const parsed_t wild = parse({"/wild:*.txt;*.log"});
    EXPECT_EQ(wild.settings.filter_kind, FILTER_WILDCARD);
    EXPECT_STREQ(wild.settings.filter_text, "*.txt;*.log");
    const parsed_t regex = parse({"/regex:^A.*\\.TXT$"});
    EXPECT_EQ(regex.settings.filter_kind, FILTER_REGEXP);
    EXPECT_STREQ(regex.settings.filter_text, "^A.*\\.TXT$") << "the value keeps its letter case";
    const parsed_t none = parse({"/regex:x", "/nofilter"});
    EXPECT_EQ(none.settings.filter_kind, FILTER_NONE);
    EXPECT_STREQ(none.settings.filter_text, "");
    for (const parsed_t& p : {wild, regex, none})
        EXPECT_TRUE(p.wanted) << "setting switches leave the dialog on";
}

TEST(SettingSwitches, CombinedLaterReplaceEarlierAndLetterCaseIsIgnored) {
    const parsed_t p =
        parse({"/WILD:*.c", "/Rel", "/SHORT", "/Case:Upper", "/regex:a b", "/SUB:1", "/UTF8", "/case:LOWER"});
    EXPECT_EQ(p.settings.flags, FLAG_SUBFOLDERS | FLAG_SHORT_NAMES | FLAG_UTF8);
    EXPECT_EQ(p.settings.case_mode, CASE_LOWER);
    EXPECT_EQ(p.settings.filter_kind, FILTER_REGEXP);
    EXPECT_STREQ(p.settings.filter_text, "a b") << "one whole argument, blanks and all";
    EXPECT_STREQ(p.settings.output_file.text, "");
}

TEST(SettingSwitches, UnknownValuesAreUnknownSwitches) {
    const parsed_t p = parse({"/case:title", "/sub:2", "/utf-8", "/short:1"});
    expect_defaults_but_texts(p.settings);
    EXPECT_STREQ(p.settings.output_file.text, "");
}

TEST(SettingSwitches, WhatIsWalkedAndHowLinesAreWritten) {
    const parsed_t p =
        parse({"/skip:.git", "/SKIP:node_modules *.bak", "/depth:12", "/only:Files", "/trim", "/nohidden",
               "/order:natural", "/utf8", "/null", "/sep:/", "/bom", "/quiet", "/v"});
    EXPECT_STREQ(p.settings.list.skip_text, ".git;node_modules *.bak") << "several /skip: add up";
    EXPECT_EQ(p.settings.list.max_depth, 12u);
    EXPECT_EQ(p.settings.list.only, ONLY_FILES);
    EXPECT_EQ(p.settings.list.flags, LIST_TRIM | LIST_NO_HIDDEN | LIST_BOM);
    EXPECT_EQ(p.settings.list.order, ORDER_NATURAL);
    EXPECT_EQ(p.settings.list.line_end, LINE_END_NUL);
    EXPECT_EQ(p.settings.list.separator, '/');
    EXPECT_EQ(p.settings.run_flags, RUN_QUIET | RUN_SUMMARY);
    EXPECT_EQ(parse({"/csv"}).settings.list.format, FORMAT_CSV);
    EXPECT_EQ(parse({"/tsv"}).settings.list.format, FORMAT_TSV);
    EXPECT_EQ(parse({"/lf"}).settings.list.line_end, LINE_END_LF);
    EXPECT_EQ(parse({"/only:folders", "/only:all"}).settings.list.only, ONLY_ALL);
    EXPECT_EQ(parse({"/order:natural", "/order:name"}).settings.list.order, ORDER_NAME);
}

TEST(SettingSwitches, ValuesAndCombinationsThatCannotBeUsedAreRefused) {
    struct refusal_t {
        args_t args;
        command_problem_t problem;
        std::string refused;
    };
    const refusal_t cases[] = {
        {{"/depth:0"}, PROBLEM_BAD_VALUE, "/depth:0"},
        {{"/depth:"}, PROBLEM_BAD_VALUE, "/depth:"},
        {{"/depth:-1"}, PROBLEM_BAD_VALUE, "/depth:-1"},
        {{"/depth:99999999999999999999"}, PROBLEM_BAD_VALUE, "/depth:99999999999999999999"},
        {{"/only:everything"}, PROBLEM_BAD_VALUE, "/only:everything"},
        {{"/order:size"}, PROBLEM_BAD_VALUE, "/order:size"},
        {{"/sep:|"}, PROBLEM_BAD_VALUE, "/sep:|"},
        {{"/csv", "/null"}, PROBLEM_CONFLICT, "/null"},
        {{"/lf", "/tsv"}, PROBLEM_CONFLICT, "/lf"},
        {{"/sep:/", "/csv"}, PROBLEM_CONFLICT, "/sep:/"},
        {{"/bom"}, PROBLEM_CONFLICT, "/bom"},
        {{"/skip:" + std::string(SKIP_TEXT_SIZE, 'x')},
         PROBLEM_TOO_LONG,
         "/skip:" + std::string(SKIP_TEXT_SIZE, 'x')},
    };
    for (const refusal_t& c : cases) {
        settings_t s;
        settings_init(&s);
        std::vector<const char*> args = {"scrivlet"};
        for (const std::string& a : c.args) args.push_back(a.c_str());
        command_line_t result;
        read_command_line(&s, (int)args.size(), args.data(), nullptr, &result);
        EXPECT_EQ(result.problem, c.problem) << c.args[0];
        EXPECT_EQ(result.refused ? std::string(result.refused) : "", c.refused) << c.args[0];
        settings_free(&s);
    }
    settings_t s;
    settings_init(&s);
    const char* allowed[] = {"scrivlet", "/csv", "/sep:\\", "/utf8", "/bom"};
    command_line_t result;
    read_command_line(&s, 5, allowed, nullptr, &result);
    EXPECT_EQ(result.problem, PROBLEM_NONE) << "the default separator and a BOM go with /csv";
    settings_free(&s);
}

TEST(SettingSwitches, FilterTooLongToHoldIsRefused) {
    settings_t s;
    settings_init(&s);
    const std::string long_filter = "/wild:" + std::string(PATH_BUFFER_SIZE, '*');
    const char* args[] = {"scrivlet", "/wild:*.txt", long_filter.c_str()};
    command_line_t result;
    read_command_line(&s, 3, args, nullptr, &result);
    EXPECT_EQ(result.problem, PROBLEM_TOO_LONG);
    EXPECT_STREQ(s.filter_text, "*.txt") << "never a cut filter";
    settings_free(&s);
}

TEST(SettingSwitches, HelpIsAskedFor) {
    command_line_t result;
    settings_t s;
    settings_init(&s);
    const char* args[] = {"scrivlet", "/noui", "/?"};
    read_command_line(&s, 3, args, nullptr, &result);
    EXPECT_TRUE(result.help);
    EXPECT_NE(std::string(usage_text()).find("130"), std::string::npos) << usage_text();
    EXPECT_NE(std::string(usage_text()).find("/regex:"), std::string::npos);
    settings_free(&s);
}

// --- /auto --------------------------------------------------------------------------

TEST(AutoOutputName, TakesFirstFreeNameOfEleven) {
    test::temp_dir dir;
    const std::string folder = dir.join("logs");
    test::make_folder(folder);
    std::vector<std::string> names = {folder + ".txt"};
    for (int i = 0; i <= 9; ++i) names.push_back(folder + "(" + std::to_string(i) + ").txt");

    for (size_t k = 0; k < names.size(); ++k) {
        const parsed_t p = parse({"/auto", folder});
        EXPECT_FALSE(p.wanted) << "with " << k << " names taken";
        EXPECT_EQ(p.settings.output_file.native, test::native(names[k])) << "with " << k << " names taken";
        // A folder of that name blocks it as well as a file does.
        if (k % 2 == 0) {
            test::write_file(names[k], "");
        } else {
            test::make_folder(names[k]);
        }
    }
    const parsed_t full = parse({"/auto", folder});
    EXPECT_TRUE(full.wanted) << "all eleven taken: the dialog must open";
    EXPECT_STREQ(full.settings.output_file.text, "");
}

TEST(AutoOutputName, GivenOutputIsKept) {
    test::temp_dir dir;
    const parsed_t p = parse({"/auto", dir.path(), "mine.txt"});
    EXPECT_STREQ(p.settings.output_file.text, "mine.txt");
    EXPECT_TRUE(p.wanted) << "without /noui the dialog opens";
    EXPECT_FALSE(parse({"/AUTO", dir.path(), "mine.txt", "/noui"}).wanted);
}

TEST(AutoOutputName, NeedsAFolder) {
    const parsed_t p = parse({"/auto"});
    EXPECT_TRUE(p.wanted);
    EXPECT_STREQ(p.settings.output_file.text, "");
}

TEST(AutoOutputName, TrailingSeparatorsAreDroppedSoTheNameIsBesideTheFolder) {
    test::temp_dir dir;
    test::make_folder(dir.join("logs"));
    for (const std::string& tail :
         {std::string(test::SEPARATOR), std::string(test::SEPARATOR) + test::SEPARATOR}) {
        const parsed_t p = parse({dir.join("logs") + tail, "/auto"});
        EXPECT_EQ(p.settings.output_file.native, test::native(dir.join("logs") + ".txt")) << "for " << tail;
        EXPECT_FALSE(p.wanted);
    }
}

// "." and ".." name no folder of their own: the list is named after the
// folder they lead to, and goes beside it.
TEST(AutoOutputName, DotsTakeTheNameOfTheFolderTheyLeadTo) {
    test::temp_dir dir;
    test::make_folder(dir.join("logs"));
    test::make_folder(dir.join("logs\\sub"));
    const std::string sep = test::SEPARATOR;
    for (const std::string& folder : {dir.join("logs") + sep + ".", dir.join("logs") + sep + "." + sep,
                                      dir.join("logs\\sub") + sep + ".."}) {
        user_path_t out;
        user_path_init(&out);
        ASSERT_EQ(make_auto_output_name(&out, test::native(folder).c_str()), PROBLEM_NONE) << folder;
        EXPECT_EQ(test::text(out.native), test::text(test::native(dir.join("logs") + ".txt"))) << folder;
        user_path_free(&out);
    }
}

TEST(AutoOutputName, RootHasNoName) {
    user_path_t out;
    user_path_init(&out);
    for (const nchar_t* root : test::ROOTS) {
        EXPECT_EQ(make_auto_output_name(&out, root), PROBLEM_AUTO_ROOT);
        EXPECT_TRUE(user_path_is_empty(&out));
    }
}

TEST(AutoOutputName, NameTooLongToHoldIsNotMade) {
    user_path_t out;
    user_path_init(&out);
    const std::basic_string<nchar_t> folder(USER_PATH_MAX - 4, NTEXT('a'));
    EXPECT_EQ(make_auto_output_name(&out, folder.c_str()), PROBLEM_TOO_LONG);
    EXPECT_TRUE(user_path_is_empty(&out));
}

// --- File tests -------------------------------------------------------------------------

TEST(FileTests, FoldersFilesAndNothing) {
    test::temp_dir dir;
    const std::string file = dir.join("f.txt");
    const std::string missing = dir.join("missing");
    test::write_file(file, "x");
    EXPECT_TRUE(is_existing_folder(test::native(dir.path()).c_str()));
    EXPECT_TRUE(path_exists(test::native(dir.path()).c_str()));
    EXPECT_FALSE(is_existing_folder(test::native(file).c_str()));
    EXPECT_TRUE(path_exists(test::native(file).c_str()));
    EXPECT_FALSE(is_existing_folder(test::native(missing).c_str()));
    EXPECT_FALSE(path_exists(test::native(missing).c_str()));
    EXPECT_FALSE(path_exists(NTEXT("")));
}

TEST(FileTests, SettingsValidNeedsFolderAndOutput) {
    test::temp_dir dir;
    settings_t s;
    settings_init(&s);
    EXPECT_FALSE(settings_valid(&s));
    user_path_set_text(&s.folder, dir.path().c_str());
    EXPECT_FALSE(settings_valid(&s)) << "no output file";
    user_path_set_text(&s.output_file, "out.txt");
    EXPECT_TRUE(settings_valid(&s));
    user_path_set_text(&s.folder, dir.join("missing").c_str());
    EXPECT_FALSE(settings_valid(&s)) << "the folder does not exist";
    settings_free(&s);
}

}  // namespace

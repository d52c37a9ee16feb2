// Complete lists on a POSIX file system: names the code page cannot hold,
// names that hold a separator or a line end, deep trees and links.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"
#include "text/mbs.h"

namespace {

using lines_t = std::vector<std::string>;

// Set-up by native (UTF-8) paths below the test folder.
struct tree {
    test::temp_dir dir;
    std::string top_text = dir.join("tree");  // the program's text of the top folder
    std::string top = test::native(top_text);
    tree() { test::make_folder(top_text); }
    void folder(const std::string& rel) const { ASSERT_EQ(mkdir((top + "/" + rel).c_str(), 0755), 0) << rel; }
    void file(const std::string& rel) const {
        FILE* f = fopen((top + "/" + rel).c_str(), "wb");
        ASSERT_NE(f, nullptr) << rel;
        fclose(f);
    }
    void link(const std::string& rel, const std::string& target) const {
        ASSERT_EQ(symlink(target.c_str(), (top + "/" + rel).c_str()), 0) << rel;
    }
    lines_t list(uint32_t flags = FLAG_SUBFOLDERS, exit_status_t expected = EXIT_LISTED) const {
        return test::listed_lines(test::listing_settings(top_text, dir.join("out.txt"), flags), expected);
    }
};

TEST(CompleteLists, NamesOutsideTheCodePageAreWalkedAtEveryDepth) {
    tree t;
    t.folder(u8"café");
    t.file(u8"café/in_cafe.txt");
    t.folder(u8"café/한국");
    t.file(u8"café/한국/in_hangul.txt");
    t.folder(u8"emoji😀");
    t.file(u8"emoji😀/in_emoji.txt");
    t.folder(u8"emoji😀/yen¥");
    t.file(u8"emoji😀/yen¥/over‾line.txt");
    t.file(u8"¥.txt");
    EXPECT_EQ(t.list(),
              (lines_t{"caf?\\", "caf?\\??\\", "caf?\\??\\in_hangul.txt", "caf?\\in_cafe.txt", "emoji?\\",
                       "emoji?\\yen?\\", "emoji?\\yen?\\over?line.txt", "emoji?\\in_emoji.txt", "?.txt"}));
}

TEST(CompleteLists, FoldersWhoseNamesReadAlikeKeepTheirOwnContents) {
    tree t;
    t.folder(u8"café");
    t.file(u8"café/acute.txt");
    t.folder(u8"cafè");
    t.file(u8"cafè/grave.txt");
    t.folder("caf?");  // the text both others read as
    t.file("caf?/ascii.txt");
    const lines_t lines = t.list();
    ASSERT_EQ(lines.size(), 6u);
    // Three folders named "caf?" in the list, each followed by its own file
    // and no other: the names tie, and their bytes decide.
    EXPECT_EQ(lines, (lines_t{"caf?\\", "caf?\\ascii.txt", "caf?\\", "caf?\\grave.txt", "caf?\\",
                              "caf?\\acute.txt"}));
}

TEST(CompleteLists, NamesHoldingABackslashOrALineEndStayOneEntry) {
    tree t;
    t.folder("p");
    t.folder("p/q");
    t.file("p/q/in_p_q.txt");
    t.folder("p\\q");
    t.file("p\\q/in_backslash.txt");
    t.file("line\nfeed.txt");
    t.file("carriage\rreturn.txt");
    t.file("bad\xFF\xFEutf8.txt");
    EXPECT_EQ(t.list(), (lines_t{"p\\", "p\\q\\", "p\\q\\in_p_q.txt", "p?q\\", "p?q\\in_backslash.txt",
                                 "bad??utf8.txt", "carriage?return.txt", "line?feed.txt"}));
}

TEST(Utf8Lists, EachNameAsTheFileSystemHasIt) {
    tree t;
    t.folder(u8"café");
    t.file(u8"café/Ünï.TXT");
    t.folder(u8"emoji😀");
    t.file("bad\xFFname.txt");
    t.file(u8"¥.txt");
    t.file("skipped.log");
    settings_t s = test::listing_settings(t.top_text, t.dir.join("out.txt"), FLAG_SUBFOLDERS | FLAG_UTF8);
    s.filter_kind = FILTER_WILDCARD;
    str_copy_bounded(s.filter_text, "*.txt", sizeof s.filter_text);
    s.case_mode = CASE_LOWER;
    ASSERT_EQ(test::run_listing(s).status, EXIT_LISTED);
    lines_t lines;
    ASSERT_TRUE(test::read_lines(s.output_file.text, &lines));
    // The order and the filter are those of the code page text (¥.txt reads
    // "?.txt", before "bad?name.txt"); only A to Z change case.
    // (Kept out of the check's own text, which the compiler turns into code page 932.)
    const lines_t expected = {u8"café\\", u8"café\\Ünï.txt", u8"emoji😀\\", u8"¥.txt", u8"bad\uFFFDname.txt"};
    EXPECT_EQ(lines, expected);

    s.flags |= FLAG_FULL_PATH;
    s.case_mode = CASE_UNCHANGED;
    ASSERT_EQ(test::run_listing(s).status, EXIT_LISTED);
    ASSERT_TRUE(test::read_lines(s.output_file.text, &lines));
    ASSERT_EQ(lines.size(), 5u);
    const std::string full = t.top + u8"\\café\\Ünï.TXT";
    EXPECT_EQ(lines[1], full);
}

TEST(CompleteLists, NamesDifferingOnlyInCaseGiveOneOrderWhateverTheDisk) {
    const std::vector<std::string> names = {"abc", "ABC", "Abc", "aBc", "abC", "ABc"};
    lines_t first;
    std::mt19937 rng(7);
    for (int round = 0; round < 4; ++round) {
        tree t;
        std::vector<std::string> order = names;
        std::shuffle(order.begin(), order.end(), rng);
        for (const std::string& name : order) t.file(name);
        const lines_t lines = t.list(0);
        if (round == 0) {
            first = lines;
            EXPECT_EQ(lines, (lines_t{"ABC", "ABc", "Abc", "aBc", "abC", "abc"}));
        } else {
            EXPECT_EQ(lines, first) << "round " << round;
        }
    }
}

// Every line of a full-path list names something that is there.
void expect_every_line_exists(const lines_t& lines) {
    for (const std::string& line : lines) {
        struct stat st;
        EXPECT_EQ(stat(test::native(line).c_str(), &st), 0) << line;
    }
}

TEST(CompleteLists, DeepTreesAreListedWhole) {
    struct shape {
        int levels;
        size_t name_length;
    };
    for (const shape s : {shape{80, 10}, shape{40, 30}}) {
        tree t;
        std::string rel;
        for (int level = 0; level < s.levels; ++level) {
            rel +=
                (rel.empty() ? "" : "/") + std::string(s.name_length - 2, 'd') + std::to_string(10 + level);
            t.folder(rel);
            t.file(rel + "/f.txt");
        }
        const lines_t lines = t.list(FLAG_SUBFOLDERS | FLAG_FULL_PATH);
        ASSERT_EQ(lines.size(), 2u * s.levels);
        // Each level's folder line, then the deepest file, then the files back up.
        EXPECT_EQ(lines[s.levels], lines[s.levels - 1] + "f.txt");
        EXPECT_GT(lines[s.levels].size(), s.levels * s.name_length) << "the deepest line is whole";
        expect_every_line_exists(lines);
    }
}

// Folders are asked their identities as they are read, or (as on Windows,
// where that costs an open) only when a link needs them: links go alike.
TEST(CompleteLists, LinksBackUpAreListedNotWalked) {
    tree t;
    t.folder("a");
    t.folder("a/b");
    t.file("a/b/x.txt");
    t.link("a/b/up", "..");      // back to a
    t.link("a/b/up2", "../..");  // back to the top
    t.link("a/top", t.top);      // the top, by its absolute path
    t.folder("c");
    t.file("c/y.txt");
    t.link("a/sibling", "../c");  // elsewhere: walked
    for (int on_demand : {0, 1}) {
        listing_identity_on_demand = on_demand;
        EXPECT_EQ(t.list(), (lines_t{"a\\", "a\\b\\", "a\\b\\up\\", "a\\b\\up2\\", "a\\b\\x.txt",
                                     "a\\sibling\\", "a\\sibling\\y.txt", "a\\top\\", "c\\", "c\\y.txt"}))
            << "identities on demand: " << on_demand;
    }
    listing_identity_on_demand = LISTING_IDENTITY_AUTO;
}

TEST(CompleteLists, TwoLinksBackUpEndAtOnce) {
    tree t;
    std::string rel;
    for (int level = 0; level < 12; ++level) {
        rel += (rel.empty() ? "" : "/") + std::string("l") + std::to_string(level);
        t.folder(rel);
        t.link(rel + "/x", "..");
        t.link(rel + "/y", "..");
    }
    // Without the check each level would multiply the list: 12 levels of two
    // links back would be millions of lines.
    const lines_t lines = t.list();
    EXPECT_EQ(lines.size(), 12u * 3u);
}

// A ladder: each level's folder holds a file and two links to the next
// level, which gives 2^levels paths. Each folder is walked through its first
// link only, so every level's file is listed once below its first path and
// never through the second link.
TEST(CompleteLists, EachFolderIsWalkedThroughItsFirstLinkOnly) {
    for (int levels : {20, 200}) {
        tree t;
        t.folder("rungs");
        for (int k = 0; k < levels; ++k) {
            t.folder("rungs/" + std::to_string(k));
            t.file("rungs/" + std::to_string(k) + "/f" + std::to_string(k));
        }
        for (int k = 0; k + 1 < levels; ++k) {
            const std::string next = t.top + "/rungs/" + std::to_string(k + 1);
            t.link("rungs/" + std::to_string(k) + "/a", next);
            t.link("rungs/" + std::to_string(k) + "/b", next);
        }
        t.link("up", "..");
        t.link("root", "/");
        for (int readers : {0, 3}) {
            listing_reader_threads = readers;
            listing_identity_on_demand = readers == 0;
            const lines_t lines = t.list();
            listing_reader_threads = LISTING_READERS_AUTO;
            listing_identity_on_demand = LISTING_IDENTITY_AUTO;
            // Each rung's file: once as itself, once through the first link to it.
            for (int k = 1; k < levels; k += levels / 10) {
                const std::string name = "\\f" + std::to_string(k);
                const auto seen = std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
                    return line.size() > name.size() &&
                           line.compare(line.size() - name.size(), name.size(), name) == 0;
                });
                EXPECT_EQ(seen, 2) << "f" << k << " of " << levels << " levels, " << readers << " readers";
            }
            EXPECT_TRUE(std::find(lines.begin(), lines.end(), "up\\") != lines.end());
            EXPECT_TRUE(std::find(lines.begin(), lines.end(), "root\\") != lines.end());
            for (const std::string& line : lines) {
                if (line == "up\\" || line == "root\\") continue;
                EXPECT_NE(line.rfind("up\\", 0), 0u) << "the parent was walked: " << line;
                EXPECT_NE(line.rfind("root\\", 0), 0u) << "the root was walked: " << line;
            }
        }
    }
}

// A link at the last level is listed, not opened: it is no first link, and a
// later link to the same folder is still walked where the depth allows.
TEST(CompleteLists, LinksBelowTheDepthLimitAreListedNotWalked) {
    tree t;
    t.folder("a");
    t.folder("a/b");
    t.folder("a/b/c");
    t.file("a/b/c/f.txt");
    t.link("a/b/up", "..");  // a: an ancestor
    t.folder("x");
    t.link("x/to_b", "../a/b");  // the first link to a/b
    t.folder("y");
    t.link("y/again", "../a/b");  // a link to a/b already walked
    t.link("z_b", "a/b");         // walked when the links before it were not opened
    const lines_t two = {"a\\",        "a\\b\\", "x\\",      "x\\to_b\\", "y\\",
                         "y\\again\\", "z_b\\",  "z_b\\c\\", "z_b\\up\\"};
    const lines_t three = {"a\\",          "a\\b\\",        "a\\b\\c\\", "a\\b\\up\\", "x\\",  "x\\to_b\\",
                           "x\\to_b\\c\\", "x\\to_b\\up\\", "y\\",       "y\\again\\", "z_b\\"};
    // Through x\to_b, "up" leads to a, which no link led to before and
    // which is no ancestor there: walked once that way.
    const lines_t all = {"a\\",
                         "a\\b\\",
                         "a\\b\\c\\",
                         "a\\b\\c\\f.txt",
                         "a\\b\\up\\",
                         "x\\",
                         "x\\to_b\\",
                         "x\\to_b\\c\\",
                         "x\\to_b\\c\\f.txt",
                         "x\\to_b\\up\\",
                         "x\\to_b\\up\\b\\",
                         "x\\to_b\\up\\b\\c\\",
                         "x\\to_b\\up\\b\\c\\f.txt",
                         "x\\to_b\\up\\b\\up\\",
                         "y\\",
                         "y\\again\\",
                         "z_b\\"};
    const struct {
        uint32_t depth;
        lines_t lines;
    } cases[] = {{1, {"a\\", "x\\", "y\\", "z_b\\"}}, {2, two}, {3, three}, {0, all}};
    for (int readers : {0, 2}) {
        listing_reader_threads = readers;
        for (const auto& c : cases) {
            settings_t s = test::listing_settings(t.top_text, t.dir.join("out.txt"), FLAG_SUBFOLDERS);
            s.list.max_depth = c.depth;
            EXPECT_EQ(test::run_listing(s).status, EXIT_LISTED);
            lines_t lines;
            EXPECT_TRUE(test::read_lines(s.output_file.text, &lines));
            EXPECT_EQ(lines, c.lines) << "depth " << c.depth << ", " << readers << " readers";
        }
    }
    listing_reader_threads = LISTING_READERS_AUTO;
}

}  // namespace

// Walks that must end: trees deeper than the path buffer and symbolic links
// that lead back up. Only POSIX file systems make both easy to build.
#include <gtest/gtest.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

std::string posix(const std::string& program_path) {
    std::string p = program_path;
    for (char& c : p) {
        if (c == '\\') c = '/';
    }
    return p;
}

TEST(ListingDepth, TreeDeeperThanThePathBufferIsListedToTheLastFolderThatFits) {
    test::temp_dir dir;
    const std::string top = dir.join("deep");
    test::make_folder(top);
    std::string folder = top;
    const std::string step = "\\dddddddddd";  // 11 bytes a level
    for (int level = 0; level < 60; ++level) {
        folder += step;
        test::make_folder(folder);
    }
    std::vector<std::string> lines;
    ASSERT_EQ(
        test::run_listing(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS | FLAG_FULL_PATH)),
        LISTING_DONE);
    ASSERT_TRUE(test::read_lines(dir.join("out.txt"), &lines));
    ASSERT_FALSE(lines.empty());
    // Every folder whose parent could be searched is listed; one whose own
    // path no longer fits is listed cut (and not walked), and nothing below
    // it appears.
    std::string expected = top;
    size_t whole = 0;
    while (whole < lines.size() && expected.size() + step.size() + 1 <= 521) {
        expected += step;
        EXPECT_EQ(lines[whole], expected + "\\");
        ++whole;
    }
    ASSERT_EQ(lines.size(), whole + 1) << "exactly one cut line after the whole ones";
    EXPECT_EQ(lines.back(), (expected + step).substr(0, 521));
}

TEST(ListingDepth, SymbolicLinkLoopEnds) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::write_file(top + "\\a.txt", "");
    ASSERT_EQ(symlink(posix(top).c_str(), posix(top + "\\loop").c_str()), 0);
    ASSERT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS)),
              LISTING_DONE);
    std::vector<std::string> lines;
    ASSERT_TRUE(test::read_lines(dir.join("out.txt"), &lines));
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ(lines[0], "loop\\");
    EXPECT_EQ(lines[1], "loop\\loop\\");
    EXPECT_EQ(lines.back(), "a.txt");
    for (const std::string& line : lines) EXPECT_LE(line.size(), 521u);
}

TEST(ListingNames, NamesOutsideTheCodePageBecomeQuestionMarksAndAreStillListed) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    // Written through the POSIX path directly: the program's own text cannot
    // hold these names.
    FILE* f = fopen((posix(top) + "/smile\xF0\x9F\x98\x80.txt").c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    f = fopen((posix(top) + "/yen\xC2\xA5.txt").c_str(), "w");
    ASSERT_NE(f, nullptr);
    fclose(f);
    test::write_file(top + "\\\x95\x5C.txt", "");
    ASSERT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt"))), LISTING_DONE);
    std::vector<std::string> lines;
    ASSERT_TRUE(test::read_lines(dir.join("out.txt"), &lines));
    EXPECT_EQ(lines, (std::vector<std::string>{"smile?.txt", "yen?.txt", "\x95\x5C.txt"}));
}

}  // namespace

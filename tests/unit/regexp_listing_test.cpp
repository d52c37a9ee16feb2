// The regular-expression filter in a real listing: folders always pass, file
// names are tested bare, letters match either case (in brackets too), an
// empty expression lists everything, and a name whose search gives up is
// kept.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

using lines_t = std::vector<std::string>;

// photos\ (a.jpg, b.txt), a_folder\ (a.txt, b.txt), notes.txt\ (a folder),
// and the files IMG_0001.JPG, img_0002.png, notes.txt, report.jpeg.txt.
std::string make_tree(const test::temp_dir& dir) {
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\photos");
    test::write_file(top + "\\photos\\a.jpg", "");
    test::write_file(top + "\\photos\\b.txt", "");
    test::make_folder(top + "\\a_folder");
    test::write_file(top + "\\a_folder\\a.txt", "");
    test::write_file(top + "\\a_folder\\b.txt", "");
    test::make_folder(top + "\\notes.txt.d");
    test::write_file(top + "\\IMG_0001.JPG", "");
    test::write_file(top + "\\img_0002.png", "");
    test::write_file(top + "\\notes.txt", "");
    test::write_file(top + "\\report.jpeg.txt", "");
    return top;
}

lines_t list(const std::string& top, const std::string& output, const char* expression) {
    settings_t s = test::listing_settings(top, output, FLAG_SUBFOLDERS);
    s.filter_kind = FILTER_REGEXP;
    str_copy_bounded(s.filter_text, expression, sizeof s.filter_text);
    EXPECT_EQ(test::run_listing(s).status, EXIT_LISTED) << expression;
    lines_t lines;
    EXPECT_TRUE(test::read_lines(output, &lines)) << "every line ends in CR LF";
    return lines;
}

}  // namespace

TEST(RegexpListing, FoldersPassAndFileNamesAreTestedBare) {
    test::temp_dir dir;
    const std::string top = make_tree(dir);
    const std::string out = dir.join("out.txt");
    EXPECT_EQ(list(top, out, "\\.(JPE?G|png)$"), (lines_t{"a_folder\\", "notes.txt.d\\", "photos\\",
                                                          "photos\\a.jpg", "IMG_0001.JPG", "img_0002.png"}));
    // '^a' sees 'a.txt', not 'a_folder\a.txt' or 'a_folder\b.txt'.
    EXPECT_EQ(list(top, out, "^a"),
              (lines_t{"a_folder\\", "a_folder\\a.txt", "notes.txt.d\\", "photos\\", "photos\\a.jpg"}));
    // A folder's name never reaches the filter, even when it would match.
    EXPECT_EQ(list(top, out, "^notes"), (lines_t{"a_folder\\", "notes.txt.d\\", "photos\\", "notes.txt"}));
}

TEST(RegexpListing, EmptyExpressionListsEveryFile) {
    test::temp_dir dir;
    const std::string top = make_tree(dir);
    EXPECT_EQ(list(top, dir.join("out.txt"), ""),
              (lines_t{"a_folder\\", "a_folder\\a.txt", "a_folder\\b.txt", "notes.txt.d\\", "photos\\",
                       "photos\\a.jpg", "photos\\b.txt", "IMG_0001.JPG", "img_0002.png", "notes.txt",
                       "report.jpeg.txt"}));
}

TEST(RegexpListing, NameWhoseSearchGivesUpIsKept) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    const std::string long_name(200, 'a');
    test::write_file(top + "\\" + long_name, "");
    test::write_file(top + "\\aab", "");
    test::write_file(top + "\\ccc", "");
    // Exponential for a run of 'a' without 'b': the search gives up there,
    // and the name stays in the list rather than being lost.
    EXPECT_EQ(list(top, dir.join("out.txt"), "(a|a)*b(?!x)"), (lines_t{long_name, "aab"}));
}

TEST(RegexpListing, BracketIgnoresLetterCase) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    for (const char* name : {"a.txt", "B.TXT", "1.txt", "c.log"}) test::write_file(top + "\\" + name, "");
    EXPECT_EQ(list(top, dir.join("out.txt"), "[A-Z]+\\.TXT"), (lines_t{"a.txt", "B.TXT"}));
}

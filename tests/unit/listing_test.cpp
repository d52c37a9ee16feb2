// The listing job end to end on real folders: what the list file holds, and
// how the job behaves when the platform fails it or the user cancels.
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>

#include <filesystem>
#include <string>
#include <vector>

#include "listing/cancel_check.h"
#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

using lines_t = std::vector<std::string>;

// A folder holding the folders b and A (with A\inner.txt) and the files
// c.txt, B.txt and a dot file.
std::string make_mixed_tree(const test::temp_dir& dir) {
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\b");
    test::make_folder(top + "\\A");
    test::write_file(top + "\\A\\inner.txt", "");
    test::write_file(top + "\\c.txt", "");
    test::write_file(top + "\\B.txt", "");
    test::write_file(top + "\\.hidden", "");
    return top;
}

lines_t list(const settings_t& s) {
    EXPECT_EQ(test::run_listing(s), LISTING_DONE);
    lines_t lines;
    EXPECT_TRUE(test::read_lines(s.output_file.text, &lines)) << "every line ends in CR LF";
    return lines;
}

TEST(ListingOrder, FoldersFirstThenNamesWithoutRegardToCase) {
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    EXPECT_EQ(list(test::listing_settings(top, dir.join("out.txt"))),
              (lines_t{"A\\", "b\\", ".hidden", "B.txt", "c.txt"}));
}

TEST(ListingOrder, SubfolderContentsFollowTheirFolderLine) {
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    EXPECT_EQ(list(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS)),
              (lines_t{"A\\", "A\\inner.txt", "b\\", ".hidden", "B.txt", "c.txt"}));
}

TEST(ListingLines, FullPathsBeginWithTheTopFolderAsGiven) {
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    const lines_t lines =
        list(test::listing_settings(top, dir.join("out.txt"), FLAG_FULL_PATH | FLAG_SUBFOLDERS));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], top + "\\A\\");
    EXPECT_EQ(lines[1], top + "\\A\\inner.txt");
    EXPECT_EQ(lines[5], top + "\\c.txt");
}

TEST(ListingLines, TopFolderWithTrailingSeparatorGivesNoDoubleSeparator) {
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    const lines_t full = list(test::listing_settings(top + "\\", dir.join("out.txt"), FLAG_FULL_PATH));
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(full[0], top + "\\A\\");
    const lines_t relative = list(test::listing_settings(top + "\\", dir.join("out.txt")));
    ASSERT_FALSE(relative.empty());
    EXPECT_EQ(relative[0], "A\\");
}

TEST(ListingLines, FolderEndingInADoubleByteCharacterGetsItsBackslash) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\\x95\x5C");  // 表: its second byte is 0x5C
    test::write_file(top + "\\\x95\x5C\\x.txt", "");
    EXPECT_EQ(list(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS)),
              (lines_t{"\x95\x5C\\", "\x95\x5C\\x.txt"}));
}

TEST(ListingLines, LetterCaseMapsOnlyOneByteLetters) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    // a, the katakana 0x83 0x41 (second byte 'A'), 表, b
    test::write_file(top +
                         "\\a\x83\x41\x95\x5C"
                         "b.Txt",
                     "");
    settings_t s = test::listing_settings(top, dir.join("out.txt"), FLAG_FULL_PATH);
    s.case_mode = CASE_UPPER;
    lines_t lines = list(s);
    ASSERT_EQ(lines.size(), 1u);
    std::string upper_top = top;
    mbs_upper(&upper_top[0]);
    EXPECT_EQ(lines[0], upper_top +
                            "\\A\x83\x41\x95\x5C"
                            "B.TXT");

    s.case_mode = CASE_LOWER;
    s.flags = 0;
    EXPECT_EQ(list(s), (lines_t{"a\x83\x41\x95\x5C"
                                "b.txt"}));
}

TEST(ListingFile, EmptyFolderGivesAnEmptyFile) {
    test::temp_dir dir;
    const std::string top = dir.join("empty");
    test::make_folder(top);
    test::write_file(dir.join("out.txt"), "old contents\r\n");
    EXPECT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt"))), LISTING_DONE);
    std::string bytes;
    ASSERT_TRUE(test::read_file(dir.join("out.txt"), &bytes));
    EXPECT_EQ(bytes, "");
}

TEST(ListingFile, ListFileInsideTheTreeListsItselfOnlyWhenItExisted) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::write_file(top + "\\a.txt", "");
    const settings_t s = test::listing_settings(top, top + "\\list.txt");
    EXPECT_EQ(list(s), (lines_t{"a.txt"}));
    EXPECT_EQ(list(s), (lines_t{"a.txt", "list.txt"}));
}

TEST(ListingFile, RelativeTopFolderIsUsedAsGiven) {
    test::temp_dir dir;
    make_mixed_tree(dir);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const lines_t lines = list(test::listing_settings("tree", "out.txt", FLAG_FULL_PATH));
    std::filesystem::current_path(previous);
    EXPECT_EQ(lines, (lines_t{"tree\\A\\", "tree\\b\\", "tree\\.hidden", "tree\\B.txt", "tree\\c.txt"}));
}

// --- Failures and cancel ------------------------------------------------------

TEST(ListingFailure, MissingOutputFolderIsReportedAndNothingIsWritten) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    const test::message_box_record* box = test::record_message_boxes();
    const std::string output = dir.join("missing\\out.txt");
    EXPECT_EQ(test::run_listing(test::listing_settings(top, output)), LISTING_WRITE_FAILED);
    EXPECT_EQ(box->calls, 1);
    EXPECT_EQ(box->caption, "Scrivlet");
    EXPECT_EQ(box->text, "ファイルの作成に失敗しました。");
    EXPECT_FALSE(test::file_exists(output));
}

int fwrite_calls = 0;
size_t failing_fwrite(const void* data, size_t size, size_t count, FILE* file) {
    if (++fwrite_calls > 2) return 0;  // the disk fills up after two lines
    return os_default.fwrite(data, size, count, file);
}

TEST(ListingFailure, FailedWriteIsReportedAndThePartialFileStays) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    const test::message_box_record* box = test::record_message_boxes();
    fwrite_calls = 0;
    os.fwrite = failing_fwrite;
    EXPECT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt"))), LISTING_WRITE_FAILED);
    EXPECT_EQ(fwrite_calls, 3) << "writing stops at the first failure";
    EXPECT_EQ(box->calls, 1);
    EXPECT_EQ(box->text, "ファイルの作成に失敗しました。");
    lines_t lines;
    EXPECT_TRUE(test::read_lines(dir.join("out.txt"), &lines));
    EXPECT_EQ(lines, (lines_t{"A\\", "b\\"}));
}

int failing_fclose(FILE* file) {
    os_default.fclose(file);
    return EOF;  // as when the last buffered lines cannot be flushed
}

TEST(ListingFailure, FailedCloseIsReported) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    const test::message_box_record* box = test::record_message_boxes();
    os.fclose = failing_fclose;
    EXPECT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt"))), LISTING_WRITE_FAILED);
    EXPECT_EQ(box->calls, 1);
}

HANDLE WINAPI find_failing_below_a(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    const std::string p = pattern;
    if (p.size() >= 4 && p.compare(p.size() - 4, 4, "\\A\\*") == 0) return INVALID_HANDLE_VALUE;
    return os_default.FindFirstFileA(pattern, data);
}

TEST(ListingFailure, UnreadableSubfolderIsListedWithoutContents) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    os.FindFirstFileA = find_failing_below_a;
    EXPECT_EQ(list(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS)),
              (lines_t{"A\\", "b\\", ".hidden", "B.txt", "c.txt"}));
}

worker_t* job_worker = nullptr;
int find_next_calls = 0;
BOOL WINAPI find_next_then_cancel(HANDLE find, LPWIN32_FIND_DATAA data) {
    if (++find_next_calls == 3) worker_cancel(job_worker);
    return os_default.FindNextFileA(find, data);
}

TEST(ListingCancel, CancelDuringTheWalkLeavesAnExistingListUntouched) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    test::write_file(dir.join("out.txt"), "previous list\r\n");
    find_next_calls = 0;
    os.FindNextFileA = find_next_then_cancel;
    EXPECT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS),
                                [](worker_t* w) { job_worker = w; }),
              LISTING_DONE);
    std::string bytes;
    ASSERT_TRUE(test::read_file(dir.join("out.txt"), &bytes));
    EXPECT_EQ(bytes, "previous list\r\n");
}

int lines_before_cancel = 0;
size_t fwrite_then_cancel(const void* data, size_t size, size_t count, FILE* file) {
    if (--lines_before_cancel == 0) worker_cancel(job_worker);
    return os_default.fwrite(data, size, count, file);
}

TEST(ListingCancel, CancelWhileWritingLeavesTheFirstLinesWhole) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    lines_t all;
    for (int i = 0; i < 3 * (int)CANCEL_POLL_INTERVAL; ++i) {
        char name[16];
        snprintf(name, sizeof name, "f%04d.txt", i);
        test::write_file(top + "\\" + name, "");
        all.push_back(name);
    }
    lines_before_cancel = 3;
    os.fwrite = fwrite_then_cancel;
    EXPECT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt")),
                                [](worker_t* w) { job_worker = w; }),
              LISTING_DONE);
    lines_t lines;
    EXPECT_TRUE(test::read_lines(dir.join("out.txt"), &lines)) << "whole lines only";
    // The cancel is seen at the next poll, at most one poll interval later.
    EXPECT_GE(lines.size(), 3u);
    EXPECT_LE(lines.size(), 3u + CANCEL_POLL_INTERVAL);
    EXPECT_EQ(lines, lines_t(all.begin(), all.begin() + lines.size()));
}

// --- Short names ------------------------------------------------------------------

int short_name_queries = 0;
DWORD WINAPI counting_short_names(LPCSTR long_path, LPSTR short_path, DWORD size) {
    ++short_name_queries;
    return os_default.GetShortPathNameA(long_path, short_path, size);
}

TEST(ListingShortNames, NotAskedForWhenOff) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    short_name_queries = 0;
    os.GetShortPathNameA = counting_short_names;
    list(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS));
    EXPECT_EQ(short_name_queries, 0);
}

DWORD WINAPI no_short_names(LPCSTR, LPSTR, DWORD) {
    return 0;
}

TEST(ListingShortNames, WithoutAShortTopFolderEveryLineIsLong) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    os.GetShortPathNameA = no_short_names;
    EXPECT_EQ(list(test::listing_settings(top, dir.join("out.txt"), FLAG_SHORT_NAMES | FLAG_SUBFOLDERS)),
              (lines_t{"A\\", "A\\inner.txt", "b\\", ".hidden", "B.txt", "c.txt"}));
}

// A file system with aliases: the top folder's short form is "TOP~1" and
// every name longer than five bytes has the alias "LONG~N".
DWORD WINAPI fake_short_top(LPCSTR, LPSTR short_path, DWORD size) {
    strncpy(short_path, "TOP~1", size);
    return 5;
}
unsigned alias_count = 0;
void give_alias(LPWIN32_FIND_DATAA data) {
    if (strlen(data->cFileName) > 5) snprintf(data->cAlternateFileName, 14, "LONG~%u", ++alias_count % 100);
}
HANDLE WINAPI find_first_with_alias(LPCSTR pattern, LPWIN32_FIND_DATAA data) {
    HANDLE h = os_default.FindFirstFileA(pattern, data);
    if (h != INVALID_HANDLE_VALUE) give_alias(data);
    return h;
}
BOOL WINAPI find_next_with_alias(HANDLE find, LPWIN32_FIND_DATAA data) {
    BOOL ok = os_default.FindNextFileA(find, data);
    if (ok) give_alias(data);
    return ok;
}

TEST(ListingShortNames, ShortPathsAreComposedFromTheParentAndTheAlias) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\Long folder");
    test::write_file(top + "\\Long folder\\x.txt", "");
    test::write_file(top + "\\a.txt", "");
    os.GetShortPathNameA = fake_short_top;
    os.FindFirstFileA = find_first_with_alias;
    os.FindNextFileA = find_next_with_alias;
    alias_count = 0;
    const lines_t full = list(test::listing_settings(top, dir.join("out.txt"),
                                                     FLAG_SHORT_NAMES | FLAG_SUBFOLDERS | FLAG_FULL_PATH));
    EXPECT_EQ(full, (lines_t{"TOP~1\\LONG~1\\", "TOP~1\\LONG~1\\x.txt", "TOP~1\\a.txt"}));
    alias_count = 0;
    EXPECT_EQ(list(test::listing_settings(top, dir.join("out.txt"), FLAG_SHORT_NAMES | FLAG_SUBFOLDERS)),
              (lines_t{"LONG~1\\", "LONG~1\\x.txt", "a.txt"}));
}

}  // namespace

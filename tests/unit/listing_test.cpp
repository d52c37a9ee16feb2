// The listing job end to end on real folders: what the list file holds, and
// how the job behaves when the platform fails it or the user cancels.
#include <gtest/gtest.h>
#include <stdarg.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <mutex>
#include <string>
#include <vector>

#include "TOOLS/toolwind/toolwind.h"
#include "app/report.h"
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

TEST(ListingOrder, FoldersFirstThenNamesWithoutRegardToCase) {
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    EXPECT_EQ(test::listed_lines(test::listing_settings(top, dir.join("out.txt"))),
              (lines_t{"A\\", "b\\", ".hidden", "B.txt", "c.txt"}));
}

TEST(ListingOrder, SubfolderContentsFollowTheirFolderLine) {
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    EXPECT_EQ(test::listed_lines(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS)),
              (lines_t{"A\\", "A\\inner.txt", "b\\", ".hidden", "B.txt", "c.txt"}));
}

// The top folder as the system names it (its own separators), then "\".
std::string as_listed(const std::string& folder) {
    return test::text(test::native(folder));
}

TEST(ListingLines, FullPathsBeginWithTheTopFolderAsGiven) {
    test::temp_dir dir;
    const std::string top = as_listed(make_mixed_tree(dir));
    const lines_t lines = test::listed_lines(
        test::listing_settings(top, dir.join("out.txt"), FLAG_FULL_PATH | FLAG_SUBFOLDERS));
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[0], top + "\\A\\");
    EXPECT_EQ(lines[1], top + "\\A\\inner.txt");
    EXPECT_EQ(lines[5], top + "\\c.txt");
}

TEST(ListingLines, TopFolderWithTrailingSeparatorGivesNoDoubleSeparator) {
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    const lines_t full =
        test::listed_lines(test::listing_settings(top + "\\", dir.join("out.txt"), FLAG_FULL_PATH));
    ASSERT_FALSE(full.empty());
    EXPECT_EQ(full[0], as_listed(top + "\\") + "A\\");
    const lines_t relative = test::listed_lines(test::listing_settings(top + "\\", dir.join("out.txt")));
    ASSERT_FALSE(relative.empty());
    EXPECT_EQ(relative[0], "A\\");
}

TEST(ListingLines, FolderEndingInADoubleByteCharacterGetsItsBackslash) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\\x95\x5C");  // 表: its second byte is 0x5C
    test::write_file(top + "\\\x95\x5C\\x.txt", "");
    EXPECT_EQ(test::listed_lines(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS)),
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
    lines_t lines = test::listed_lines(s);
    ASSERT_EQ(lines.size(), 1u);
    std::string upper_top = as_listed(top);
    mbs_upper(&upper_top[0]);
    EXPECT_EQ(lines[0], upper_top +
                            "\\A\x83\x41\x95\x5C"
                            "B.TXT");

    s.case_mode = CASE_LOWER;
    s.flags = 0;
    EXPECT_EQ(test::listed_lines(s), (lines_t{"a\x83\x41\x95\x5C"
                                              "b.txt"}));
}

TEST(ListingLines, Utf8ListsHoldTheNamesInUtf8) {
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\\x95\x5C");                   // 表
    test::write_file(top + "\\\x95\x5C\\\x83\x5C.Txt", "");  // ソ.Txt
    settings_t s = test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS | FLAG_UTF8);
    s.case_mode = CASE_UPPER;
    EXPECT_EQ(test::listed_lines(s), (lines_t{"\xE8\xA1\xA8\\", "\xE8\xA1\xA8\\\xE3\x82\xBD.TXT"}));
}

TEST(ListingFile, EmptyFolderGivesAnEmptyFile) {
    test::temp_dir dir;
    const std::string top = dir.join("empty");
    test::make_folder(top);
    test::write_file(dir.join("out.txt"), "old contents\r\n");
    EXPECT_EQ(test::run_listing(test::listing_settings(top, dir.join("out.txt"))).status, EXIT_LISTED);
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
    EXPECT_EQ(test::listed_lines(s), (lines_t{"a.txt"}));
    EXPECT_EQ(test::listed_lines(s), (lines_t{"a.txt", "list.txt"}));
}

TEST(ListingFile, RelativeTopFolderIsUsedAsGiven) {
    test::temp_dir dir;
    make_mixed_tree(dir);
    const std::filesystem::path previous = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    const lines_t lines = test::listed_lines(test::listing_settings("tree", "out.txt", FLAG_FULL_PATH));
    // The second run replaces the list named without a folder.
    const lines_t again = test::listed_lines(test::listing_settings("tree", "out.txt", FLAG_FULL_PATH));
    std::filesystem::current_path(previous);
    EXPECT_EQ(lines, (lines_t{"tree\\A\\", "tree\\b\\", "tree\\.hidden", "tree\\B.txt", "tree\\c.txt"}));
    EXPECT_EQ(again, lines);
}

// --- Failures and cancel ------------------------------------------------------

// What the program says of a run: the message box where no console takes
// the line (the Windows program started without one).
bool no_console(const char*) {
    return false;
}

TEST(ListingFailure, MissingOutputFolderIsReportedWithPathAndReason) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    const std::string output = dir.join("missing\\out.txt");
    const settings_t s = test::listing_settings(top, output);
    const listing_outcome_t outcome = test::run_listing(s);
    EXPECT_EQ(outcome.status, EXIT_LIST_FILE);
    EXPECT_EQ(outcome.failure, LISTING_FAILURE_LIST_FILE);
    EXPECT_EQ(outcome.error.code, OS_ERROR_NOT_FOUND) << os_error_name(outcome.error.code);
    EXPECT_FALSE(test::file_exists(output));

    const test::message_box_record* box = test::record_message_boxes();
    os.console_line = no_console;
    report_outcome(&s, &outcome, false);
    EXPECT_EQ(box->calls, 1);
    EXPECT_EQ(box->caption, "Scrivlet");
    EXPECT_EQ(box->text.find("ファイルの作成に失敗しました。\r\n" + std::string(s.output_file.text) + "\r\n"),
              0u)
        << box->text;
}

// Files enough for the list to outgrow the writer's buffer, so that lines
// reach the system while the walk goes on. Creating files costs much more
// under Wine, where the tests that need no such tree use fewer.
#ifdef _WIN32
constexpr int BIG_TREE_FILES = 600;
#else
constexpr int BIG_TREE_FILES = 6000;
#endif

// A tree whose list takes several of the writer's blocks.
std::string make_big_tree(const test::temp_dir& dir, int files) {
    const std::string top = dir.join("big");
    test::make_folder(top);
    for (int i = 0; i < files; ++i) {
        char name[64];
        snprintf(name, sizeof name, "\\file-with-a-long-name-to-fill-blocks-%05d.txt", i);
        test::write_file(top + name, "");
    }
    return top;
}

bool no_temporary_file_in(const std::string& folder) {
    for (const auto& entry : std::filesystem::directory_iterator(test::native(folder))) {
        if (entry.path().filename().string().find(".scrivlet-") == 0) return false;
    }
    return true;
}

// Fails the reading of any folder named "A", as a folder the user may not read.
folder_t* open_failing_for_a(folder_t* parent, const nchar_t* name, unsigned options) {
    if (name[0] == 'A' && name[1] == 0) {
        os_set_last_error(OS_ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return os_default.folder_open_child(parent, name, options);
}

std::vector<std::string> traced;
std::mutex traced_lock;
int record_trace(const char* format, ...) {
    char text[4096];
    va_list args;
    va_start(args, format);
    vsnprintf(text, sizeof text, format, args);
    va_end(args);
    std::lock_guard<std::mutex> hold(traced_lock);
    traced.push_back(text);
    return 0;
}

TEST(ListingFailure, UnreadableSubfolderIsListedCountedAndTraced) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    os.folder_open_child = open_failing_for_a;
    traced.clear();
    const trace_proc_t previous = SetTraceProc(record_trace);
    const settings_t s = test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS);
    const listing_outcome_t outcome = test::run_listing(s);
    SetTraceProc(previous);
    EXPECT_EQ(outcome.status, EXIT_INCOMPLETE);
    EXPECT_EQ(outcome.unreadable, 1u);
    lines_t lines;
    EXPECT_TRUE(test::read_lines(s.output_file.text, &lines));
    EXPECT_EQ(lines, (lines_t{"A\\", "b\\", ".hidden", "B.txt", "c.txt"}));
    ASSERT_EQ(traced.size(), 1u);
    // The system's separator, and the reason in words.
    EXPECT_EQ(traced[0], "フォルダを読み込めませんでした: " + test::text(test::native(top)) +
                             test::SEPARATOR + "A (アクセスが拒否されました)\r\n");
}

folder_t* open_failing(const nchar_t*, unsigned) {
    os_set_last_error(OS_ERROR_ACCESS_DENIED);
    return nullptr;
}

TEST(ListingFailure, UnreadableTopFolderKeepsTheOldList) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    test::write_file(dir.join("out.txt"), "old list\r\n");
    os.folder_open = open_failing;
    const settings_t s = test::listing_settings(top, dir.join("out.txt"));
    const listing_outcome_t outcome = test::run_listing(s);
    EXPECT_EQ(outcome.status, EXIT_INCOMPLETE);
    EXPECT_EQ(outcome.failure, LISTING_FAILURE_TOP_UNREADABLE);
    std::string bytes;
    EXPECT_TRUE(test::read_file(dir.join("out.txt"), &bytes));
    EXPECT_EQ(bytes, "old list\r\n");
    EXPECT_TRUE(no_temporary_file_in(dir.path()));

    const test::message_box_record* box = test::record_message_boxes();
    os.console_line = no_console;
    report_outcome(&s, &outcome, false);
    EXPECT_EQ(box->text.find("フォルダを読み込めませんでした。\r\n" + std::string(s.folder.text)), 0u)
        << box->text;
}

// Cancels the job at the n-th call of a seam row, whichever thread makes it.
worker_t* job_worker = nullptr;
std::atomic<int> calls_before_cancel{0};
void count_down_to_cancel() {
    if (calls_before_cancel.fetch_sub(1) == 1) worker_cancel(job_worker);
}
bool read_then_cancel(folder_t* folder, folder_item_t* item) {
    count_down_to_cancel();
    return os_default.folder_read(folder, item);
}
bool write_then_cancel(file_t* file, const void* data, size_t size, size_t* written) {
    count_down_to_cancel();
    return os_default.file_write(file, data, size, written);
}

TEST(ListingCancel, CancelAtAnyPointLeavesAnExistingListUntouched) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_big_tree(dir, BIG_TREE_FILES);
    test::make_folder(top + "\\sub");
    for (int i = 0; i < 100; ++i) test::write_file(top + "\\sub\\f" + std::to_string(i), "");
    struct point {
        const char* where;
        int calls;
    };
    // The first block of lines is handed to the system while the walk goes on.
    const point points[] = {{"read", 1},
                            {"read", 2},
                            {"read", 150},
                            {"read", BIG_TREE_FILES - 1},
                            {"read", BIG_TREE_FILES + 50},
                            {BIG_TREE_FILES > 5000 ? "write" : "read", 1}};
    for (int threads : {0, 2}) {
        listing_reader_threads = threads;
        for (const point& p : points) {
            os = os_default;
            if (std::string(p.where) == "read") os.folder_read = read_then_cancel;
            if (std::string(p.where) == "write") os.file_write = write_then_cancel;
            test::write_file(dir.join("out.txt"), "previous list\r\n");
            calls_before_cancel = p.calls;
            const listing_outcome_t outcome =
                test::run_listing(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS),
                                  [](worker_t* w) { job_worker = w; });
            EXPECT_EQ(outcome.status, EXIT_CANCELLED) << p.where << " " << p.calls << " readers " << threads;
            std::string bytes;
            ASSERT_TRUE(test::read_file(dir.join("out.txt"), &bytes));
            EXPECT_EQ(bytes, "previous list\r\n") << p.where << " " << p.calls;
            EXPECT_TRUE(no_temporary_file_in(dir.path())) << p.where << " " << p.calls;
        }
    }
    listing_reader_threads = LISTING_READERS_AUTO;
}

// --- Short names ------------------------------------------------------------------

std::atomic<int> short_name_queries{0};
size_t counting_short_names(const nchar_t* path, nchar_t* out, size_t size) {
    ++short_name_queries;
    return os_default.short_path(path, out, size);
}
folder_t* open_counting_short(const nchar_t* path, unsigned options) {
    if (options & FOLDER_SHORT_NAMES) ++short_name_queries;
    return os_default.folder_open(path, options);
}

TEST(ListingShortNames, NotAskedForWhenOff) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    short_name_queries = 0;
    os.short_path = counting_short_names;
    os.folder_open = open_counting_short;
    test::listed_lines(test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS));
    EXPECT_EQ(short_name_queries, 0);
}

size_t no_short_names(const nchar_t*, nchar_t*, size_t) {
    return 0;
}

TEST(ListingShortNames, WithoutAShortTopFolderEveryLineIsLong) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = make_mixed_tree(dir);
    os.short_path = no_short_names;
    EXPECT_EQ(test::listed_lines(
                  test::listing_settings(top, dir.join("out.txt"), FLAG_SHORT_NAMES | FLAG_SUBFOLDERS)),
              (lines_t{"A\\", "A\\inner.txt", "b\\", ".hidden", "B.txt", "c.txt"}));
}

// A file system with aliases: the top folder's short form is "TOP~1" and
// every name longer than five units has the alias "LONG~1".
size_t fake_short_top(const nchar_t*, nchar_t* out, size_t size) {
    const nchar_t text[] = NTEXT("TOP~1");
    if (size <= 5) return 6;
    memcpy(out, text, sizeof text);
    return 5;
}
bool read_with_alias(folder_t* folder, folder_item_t* item) {
    static const nchar_t alias[] = NTEXT("LONG~1");
    if (!os_default.folder_read(folder, item)) return false;
    if (item->native_length > 5) item->alias = alias;
    return true;
}

TEST(ListingShortNames, ShortPathsAreComposedFromTheParentAndTheAlias) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\Long folder");
    test::write_file(top + "\\Long folder\\x.txt", "");
    test::write_file(top + "\\a.txt", "");
    os.short_path = fake_short_top;
    os.folder_read = read_with_alias;
    const lines_t full = test::listed_lines(test::listing_settings(
        top, dir.join("out.txt"), FLAG_SHORT_NAMES | FLAG_SUBFOLDERS | FLAG_FULL_PATH));
    EXPECT_EQ(full, (lines_t{"TOP~1\\LONG~1\\", "TOP~1\\LONG~1\\x.txt", "TOP~1\\a.txt"}));
    EXPECT_EQ(test::listed_lines(
                  test::listing_settings(top, dir.join("out.txt"), FLAG_SHORT_NAMES | FLAG_SUBFOLDERS)),
              (lines_t{"LONG~1\\", "LONG~1\\x.txt", "a.txt"}));
}

}  // namespace

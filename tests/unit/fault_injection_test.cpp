// Faults injected at every call: every row of the os table that can fail
// fails at each of its calls in turn, with each error it can give, and the
// run must still tell the truth. Status 0 only with the whole list; a status
// 3 list holds nothing the tree lacks, in the tree's order; any other status
// leaves the old list as it was. Never a file left beside the list.
//
// The rows are wrapped by counting wrappers made from the row list itself,
// so a new row is counted without a change here; the first test below makes
// sure each new row is also given its errors or a reason to be left out.
#include <gtest/gtest.h>
#include <stdio.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

namespace fs = std::filesystem;
using lines_t = std::vector<std::string>;

// --- The errors each row can give ----------------------------------------

struct row_faults_t {
    os_row_t row;
    std::vector<os_error_code_t> errors;
};

const row_faults_t FAULT_ROWS[] = {
    {OS_ROW_folder_open,
     {OS_ERROR_NO_MEMORY, OS_ERROR_NO_DESCRIPTORS, OS_ERROR_ACCESS_DENIED, OS_ERROR_NOT_FOUND, OS_ERROR_IO}},
    {OS_ROW_folder_open_child,
     {OS_ERROR_NO_MEMORY, OS_ERROR_NO_DESCRIPTORS, OS_ERROR_ACCESS_DENIED, OS_ERROR_NOT_FOUND, OS_ERROR_IO}},
    {OS_ROW_folder_read, {OS_ERROR_NO_MEMORY, OS_ERROR_ACCESS_DENIED, OS_ERROR_IO}},
    {OS_ROW_folder_identity, {OS_ERROR_NO_MEMORY, OS_ERROR_ACCESS_DENIED, OS_ERROR_IO}},
    // (NOT_FOUND: the item is gone since it was read, and rightly not listed.)
    {OS_ROW_folder_item_identity, {OS_ERROR_NO_MEMORY, OS_ERROR_ACCESS_DENIED, OS_ERROR_IO}},
    {OS_ROW_short_path, {OS_ERROR_NO_MEMORY, OS_ERROR_NOT_FOUND}},
    {OS_ROW_file_attributes, {OS_ERROR_NO_MEMORY, OS_ERROR_ACCESS_DENIED, OS_ERROR_NOT_FOUND}},
    {OS_ROW_list_target_find,
     {OS_ERROR_NO_MEMORY, OS_ERROR_ACCESS_DENIED, OS_ERROR_IO, OS_ERROR_LINK_LOOP, OS_ERROR_NAME_TOO_LONG}},
    {OS_ROW_file_create_temp,
     {OS_ERROR_NO_MEMORY, OS_ERROR_NO_DESCRIPTORS, OS_ERROR_ACCESS_DENIED, OS_ERROR_READ_ONLY,
      OS_ERROR_NO_SPACE, OS_ERROR_EXISTS, OS_ERROR_IO}},
    {OS_ROW_file_open_direct, {OS_ERROR_NO_DESCRIPTORS, OS_ERROR_ACCESS_DENIED, OS_ERROR_IO}},
    {OS_ROW_file_standard_output, {OS_ERROR_CLOSED}},
    {OS_ROW_file_copy_metadata, {OS_ERROR_ACCESS_DENIED, OS_ERROR_NO_SPACE, OS_ERROR_IO}},
    {OS_ROW_file_identity, {OS_ERROR_NO_MEMORY, OS_ERROR_IO}},
    // A disk that fills up half way through a write (hostile_file_write).
    {OS_ROW_file_write, {OS_ERROR_NO_SPACE, OS_ERROR_IO}},
    {OS_ROW_file_flush, {OS_ERROR_NO_SPACE, OS_ERROR_IO}},
    // A write that failed late, reported by the close (late_failing_file_close).
    {OS_ROW_file_close, {OS_ERROR_NO_SPACE, OS_ERROR_IO}},
    {OS_ROW_file_replace, {OS_ERROR_ACCESS_DENIED, OS_ERROR_BUSY, OS_ERROR_NO_SPACE, OS_ERROR_IO}},
    // Names no file system gives make the only other failure (too long a key).
    {OS_ROW_sort_key, {OS_ERROR_NO_MEMORY}},
    {OS_ROW_event_create, {OS_ERROR_NO_MEMORY}},
    {OS_ROW_thread_create, {OS_ERROR_NO_THREADS, OS_ERROR_NO_MEMORY}},
    {OS_ROW_lock_create, {OS_ERROR_NO_MEMORY}},
    {OS_ROW_cond_create, {OS_ERROR_NO_MEMORY}},
    {OS_ROW_malloc, {OS_ERROR_NO_MEMORY}},
};

// Rows left out, and why.
struct row_left_out_t {
    os_row_t row;
    const char* why;
};

const row_left_out_t LEFT_OUT_ROWS[] = {
    {OS_ROW_folder_close, "releases; nothing to report"},
    {OS_ROW_folders_open_max, "a limit, not a call that fails: 0 leaves every folder to the walk itself"},
    {OS_ROW_absolute_path, "not asked by a listing (only by /auto with a folder named . or ..)"},
    {OS_ROW_folder_is_remote, "only chooses how many readers and how far they read ahead; cannot fail"},
    {OS_ROW_file_remove,
     "called only after another failure; a file the system will not remove stays, whatever the program does"},
    {OS_ROW_event_set, "cannot fail for an open event"},
    {OS_ROW_wait, "cannot fail for an open handle; a failed wait would free what a running thread uses"},
    {OS_ROW_thread_resume, "cannot fail for a thread of this process"},
    {OS_ROW_thread_exit_code, "cannot fail for an open thread"},
    {OS_ROW_handle_close, "releases; cannot fail for an open handle"},
    {OS_ROW_sort_key_folds_ascii, "a property of the locale, not a call that fails"},
    {OS_ROW_processor_count, "only chooses how many readers; not asked when a test sets them"},
    {OS_ROW_lock_free, "releases"},
    {OS_ROW_lock_enter, "cannot fail for a lock the program made (no error checking, no robust locks)"},
    {OS_ROW_lock_leave, "cannot fail for a lock the caller holds"},
    {OS_ROW_cond_free, "releases"},
    {OS_ROW_cond_wait, "cannot fail for a held lock; a spurious wake-up is looped over"},
    {OS_ROW_cond_wake, "cannot fail"},
    {OS_ROW_clock_ms, "cannot fail; only the progress line asks it"},
    {OS_ROW_local_time, "not asked by a plain list (a sheet's date column is left empty when it fails)"},
    {OS_ROW_debug_output, "the user's side: changes what is told, not the list"},
    {OS_ROW_message_box, "the user's side: changes what is told, not the list"},
    {OS_ROW_beep, "the user's side: changes what is told, not the list"},
    {OS_ROW_console_line, "the user's side: false only says no console took the line"},
    {OS_ROW_error_reason, "the user's side: changes what is told, not the list"},
};

// --- The counting wrappers ---------------------------------------------------

struct fault_t {
    os_row_t row = OS_ROW_COUNT;  // none
    uint64_t at = 0;              // the call that fails, from 1
    os_error_code_t code = OS_ERROR_NONE;
    bool persistent = false;  // that call and every later one, as memory that stays short
};

fault_t fault;
std::atomic<uint64_t> calls[OS_ROW_COUNT];
std::atomic<bool> fired{false};

// Counts the call; true when it is the one that fails (its error is set).
bool fails_now(os_row_t row) {
    const uint64_t n = ++calls[row];
    if (row != fault.row || n < fault.at || (n > fault.at && !fault.persistent)) return false;
    fired = true;
    os_set_last_error(fault.code);
    return true;
}

#define COUNTING_ROW(result, name, params, args, failed) \
    result counting_##name params {                      \
        if (fails_now(OS_ROW_##name)) return failed;     \
        return os_default.name args;                     \
    }
OS_CALLS(COUNTING_ROW)
#undef COUNTING_ROW

const platform_calls_t COUNTING = {
#define COUNTING_FIELD(result, name, params, args, failed) counting_##name,
    OS_CALLS(COUNTING_FIELD)
#undef COUNTING_FIELD
};

// Half the bytes reach the file before the failure, as on a disk that fills.
bool hostile_file_write(file_t* file, const void* data, size_t size, size_t* written) {
    if (!fails_now(OS_ROW_file_write)) return os_default.file_write(file, data, size, written);
    os_default.file_write(file, data, size / 2, written);
    os_set_last_error(fault.code);
    return false;
}

// A close that reports a write that failed late (as on a network disk):
// the file is closed all the same, as close() and CloseHandle() do.
bool late_failing_file_close(file_t* file) {
    const bool fails = fails_now(OS_ROW_file_close);
    const bool closed = os_default.file_close(file);
    if (fails) os_set_last_error(fault.code);
    return closed && !fails;
}

// The run's temporary file is also made once more, as a real file of the
// same name in another folder of the tree: the walk must list that one.
fs::path decoy_folder;
std::string temp_name;  // the run's temporary file's name (ASCII)

file_t* file_create_temp_with_decoy(const nchar_t* beside, nchar_t** temp_path) {
    if (fails_now(OS_ROW_file_create_temp)) return nullptr;
    file_t* file = os_default.file_create_temp(beside, temp_path);
    if (!file) return nullptr;
    const fs::path made(*temp_path);
    temp_name = made.filename().string();
    std::ofstream(decoy_folder / made.filename()) << "a user's file";
    return file;
}

bool quiet_console_line(const char*) {
    ++calls[OS_ROW_console_line];
    return true;
}

void install(const fault_t& chosen) {
    for (auto& count : calls) count = 0;
    fired = false;
    fault = chosen;
    os = COUNTING;
    os.file_write = hostile_file_write;
    os.file_close = late_failing_file_close;
    os.file_create_temp = file_create_temp_with_decoy;
    os.console_line = quiet_console_line;  // unreadable folders are said there, hundreds of times
}

// --- The tree ------------------------------------------------------------------

#ifdef _WIN32
#ifndef SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE
#define SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE 0x2
#endif
// Where the system lets this user make links at all. Wine 8 says it made
// one and makes nothing: the link must be there.
bool make_folder_link(const fs::path& at, const wchar_t* target) {
    const DWORD flags = SYMBOLIC_LINK_FLAG_DIRECTORY | SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE;
    return CreateSymbolicLinkW(at.c_str(), target, flags) &&
           GetFileAttributesW(at.c_str()) != INVALID_FILE_ATTRIBUTES;
}
const wchar_t* const LINK_TO_A = L"a";
const wchar_t* const LINK_TO_TOP = L"..\\..";
#else
bool make_folder_link(const fs::path& at, const char* target) {
    std::error_code error;
    fs::create_directory_symlink(target, at, error);
    return !error;
}
const char* const LINK_TO_A = "a";
const char* const LINK_TO_TOP = "../..";
#endif

constexpr char OLD_LIST[] = "the old list\r\n";
constexpr char TEMP_TOKEN[] = "<temp>";

// a\ with one.txt and deep\two.txt, b\ (the decoy), café\three.txt, z.txt,
// and where links can be made: link -> a, and a\deep\up back to the top.
struct fault_tree {
    test::temp_dir dir;
    std::string list = dir.join("out.txt");
    lines_t whole;
    settings_t settings;

    fault_tree() {
        const fs::path top = fs::path(test::native(dir.join("tree")));
        fs::create_directories(top / "a" / "deep");
        fs::create_directories(top / "b");
        fs::create_directories(top / fs::u8path(u8"café"));
        std::ofstream(top / "a" / "one.txt");
        std::ofstream(top / "a" / "deep" / "two.txt");
        std::ofstream(top / fs::u8path(u8"café") / "three.txt");
        std::ofstream(top / "z.txt");
        decoy_folder = top / "b";
        const bool links = make_folder_link(top / "link", LINK_TO_A) &&
                           make_folder_link(top / "a" / "deep" / "up", LINK_TO_TOP);
        whole = {"a\\", "a\\deep\\"};
        if (links) whole.push_back("a\\deep\\up\\");
        for (const char* line :
             {"a\\deep\\two.txt", "a\\one.txt", "b\\", "b\\<temp>", "caf?\\", "caf?\\three.txt"}) {
            whole.push_back(line);
        }
        if (links) {
            for (const char* line :
                 {"link\\", "link\\deep\\", "link\\deep\\up\\", "link\\deep\\two.txt", "link\\one.txt"}) {
                whole.push_back(line);
            }
        }
        whole.push_back("z.txt");
        settings = test::listing_settings(dir.join("tree"), list, FLAG_SUBFOLDERS);
    }

    // The list's lines with the run's temporary name made one token.
    bool read_list(lines_t* lines) const {
        if (!test::read_lines(list, lines)) return false;
        for (std::string& line : *lines) {
            const size_t at = temp_name.empty() ? std::string::npos : line.find(temp_name);
            if (at != std::string::npos) line.replace(at, temp_name.size(), TEMP_TOKEN);
        }
        return true;
    }

    // Names in the list's folder other than the tree and the list.
    std::vector<std::string> left_beside() const {
        std::vector<std::string> names;
        for (const auto& entry : fs::directory_iterator(fs::path(test::native(dir.path())))) {
            const std::string name = entry.path().filename().string();
            if (name != "tree" && name != "out.txt") names.push_back(name);
        }
        return names;
    }

    void remove_decoy() const {
        std::error_code error;
        for (const auto& entry : fs::directory_iterator(decoy_folder)) fs::remove(entry.path(), error);
    }
};

bool is_exhaustion(os_error_code_t code) {
    return code == OS_ERROR_NO_MEMORY || code == OS_ERROR_NO_DESCRIPTORS || code == OS_ERROR_NO_THREADS;
}

// Whether every line of `part` is in `whole`, in the same order.
bool is_ordered_part(const lines_t& part, const lines_t& whole) {
    size_t at = 0;
    for (const std::string& line : part) {
        while (at < whole.size() && whole[at] != line) ++at;
        if (at == whole.size()) return false;
        ++at;
    }
    return true;
}

std::string describe(const fault_t& f, int readers) {
    char text[160];
    snprintf(text, sizeof text, "%s call %llu%s fails with %s, %d readers", os_row_name(f.row),
             (unsigned long long)f.at, f.persistent ? " and every later one" : "", os_error_name(f.code),
             readers);
    return text;
}

// One run with the fault; every way it may break the truth is a failure.
void run_with(const fault_tree& tree, const fault_t& f, int readers) {
    const std::string what = describe(f, readers);
    test::write_file(tree.list, OLD_LIST);
    temp_name.clear();
    install(f);
    const listing_outcome_t outcome = test::run_listing(tree.settings);
    os_restore_all();
    tree.remove_decoy();
    EXPECT_TRUE(fired || readers > 0) << what << ": without readers each run makes the same calls";

    const int status = outcome.status;
    std::string bytes;
    lines_t lines;
    EXPECT_TRUE(test::read_file(tree.list, &bytes)) << what;
    const bool old_list = bytes == OLD_LIST;
    switch (status) {
        case EXIT_LISTED:
            EXPECT_TRUE(tree.read_list(&lines) && lines == tree.whole) << what << ": status 0 with\n"
                                                                       << bytes;
            break;
        case EXIT_INCOMPLETE:
            // The top folder unreadable keeps the old list; anything else is a
            // list that says no more than the tree holds.
            if (outcome.failure != LISTING_FAILURE_TOP_UNREADABLE) {
                EXPECT_TRUE(tree.read_list(&lines) && is_ordered_part(lines, tree.whole))
                    << what << ": status 3 with\n"
                    << bytes;
                EXPECT_GT(outcome.unreadable, 0u) << what;
            } else {
                EXPECT_TRUE(old_list) << what << ": the top unreadable, and the old list became\n" << bytes;
            }
            break;
        case EXIT_LIST_FILE:
        case EXIT_NO_MEMORY:
            EXPECT_TRUE(old_list) << what << ": status " << status << " and the old list became\n" << bytes;
            // The report names the system's reason, not another one.
            EXPECT_EQ(os_error_name(outcome.error.code), os_error_name(f.code)) << what;
            break;
        default:
            ADD_FAILURE() << what << ": status " << status;
    }
    // Memory, descriptors and threads belong to the program: their lack is
    // never passed off as a folder that could not be read.
    EXPECT_FALSE(is_exhaustion(f.code) && status == EXIT_INCOMPLETE) << what;
    EXPECT_EQ(tree.left_beside(), std::vector<std::string>{}) << what;
}

// Every row with errors is run once without a fault to count its calls,
// then failed at each of them with each of its errors.
void every_call_of_every_row(int readers) {
    test::os_restore restore;
    listing_reader_threads = readers;
    fault_tree tree;

    install(fault_t{});
    ASSERT_EQ(test::run_listing(tree.settings).status, EXIT_LISTED);
    os_restore_all();
    tree.remove_decoy();
    uint64_t counted[OS_ROW_COUNT];
    for (int row = 0; row < OS_ROW_COUNT; ++row) counted[row] = calls[row];
    lines_t lines;
    ASSERT_TRUE(tree.read_list(&lines));
    ASSERT_EQ(lines, tree.whole) << "the run without faults";

    uint64_t runs = 0;
    for (const row_faults_t& row : FAULT_ROWS) {
        for (uint64_t at = 1; at <= counted[row.row]; ++at) {
            for (const os_error_code_t code : row.errors) {
                for (const bool persistent : {false, true}) {
                    run_with(tree, fault_t{row.row, at, code, persistent}, readers);
                    ++runs;
                }
            }
        }
    }
    EXPECT_GT(counted[OS_ROW_folder_item_identity], 0u) << "the decoy was asked its identity";
    EXPECT_GT(counted[OS_ROW_file_replace], 0u);
    listing_reader_threads = LISTING_READERS_AUTO;
    printf("%llu runs with a fault, %d readers\n", (unsigned long long)runs, readers);
}

TEST(FaultInjection, EveryRowIsGivenErrorsOrAReasonToBeLeftOut) {
    int decided[OS_ROW_COUNT] = {};
    for (const row_faults_t& row : FAULT_ROWS) {
        ++decided[row.row];
        EXPECT_FALSE(row.errors.empty()) << os_row_name(row.row);
    }
    for (const row_left_out_t& row : LEFT_OUT_ROWS) ++decided[row.row];
    for (int row = 0; row < OS_ROW_COUNT; ++row) EXPECT_EQ(decided[row], 1) << os_row_name((os_row_t)row);
}

TEST(FaultInjection, EveryCallFailsInTurnWithoutReaders) {
    every_call_of_every_row(0);
}

TEST(FaultInjection, EveryCallFailsInTurnWithTwoReaders) {
    every_call_of_every_row(2);
}

}  // namespace

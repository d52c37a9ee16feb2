// Folders read ahead in parallel: the same bytes whatever the readers and
// their timing, and memory bounded by the read-ahead window.
#include "listing/read_ahead.h"

#include <gtest/gtest.h>
#include <limits.h>
#include <stdio.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <mutex>
#include <random>
#include <string>
#include <thread>

#ifndef _WIN32
#include <unistd.h>
#endif

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

struct readers_restore {
    ~readers_restore() { listing_reader_threads = LISTING_READERS_AUTO; }
};

// Folders of uneven width and depth, each with a few files.
std::string make_tree(const test::temp_dir& dir, int width, int depth) {
    const std::string top = dir.join("tree");
    test::make_folder(top);
    std::mt19937 rng(5);
    std::vector<std::pair<std::string, int>> pending = {{top, 0}};
    while (!pending.empty()) {
        const auto [folder, level] = pending.back();
        pending.pop_back();
        for (int f = 0; f < 3; ++f)
            test::write_file(folder + "\\file" + std::to_string(rng() % 1000) + ".txt", "");
        if (level == depth) continue;
        const int subfolders = 1 + (int)(rng() % width);
        for (int i = 0; i < subfolders; ++i) {
            const std::string sub = folder + "\\" + (rng() % 2 ? "Sub" : "sub") + std::to_string(i);
            test::make_folder(sub);
            pending.push_back({sub, level + 1});
        }
    }
    return top;
}

// Names code page 932 cannot hold: "?t?" twice, and "?".
const nchar_t* const OUTSIDE_NAMES[] = {
#ifdef _WIN32
    L"\u00e9t\u00e9",
    L"\u00fct\u00fc",
    L"\U0001F600",
#else
    "\xC3\xA9t\xC3\xA9",
    "\xC3\xBCt\xC3\xBC",
    "\xF0\x9F\x98\x80",
#endif
};

// What else a tree holds that the readers must hand over alike: a folder
// larger than a reader's arena list whose names tie on their first bytes,
// names the code page cannot hold (several giving the same text), a folder
// that cannot be read, and on POSIX a link to a folder.
void add_hard_parts(const std::string& top) {
    test::make_folder(top + "\\flat");
    for (int i = 0; i < 5000; ++i)
        test::write_file(top + "\\flat\\IMG_" + std::to_string(100000 + i) + ".JPG", "");
    test::make_folder(top + "\\outside");
    const std::basic_string<nchar_t> outside = test::native(top + "\\outside") + (nchar_t)NATIVE_SEPARATOR;
    for (const nchar_t* name : OUTSIDE_NAMES) {
        const std::basic_string<nchar_t> path = outside + name;
#ifdef _WIN32
        FILE* file = _wfopen(path.c_str(), L"wb");
#else
        FILE* file = fopen(path.c_str(), "wb");
#endif
        ASSERT_TRUE(file != nullptr);
        fclose(file);
    }
    test::make_folder(top + "\\locked");
    test::write_file(top + "\\locked\\never.txt", "");
#ifndef _WIN32
    ASSERT_EQ(symlink("sub0", (test::native(top) + "/link").c_str()), 0);
#endif
}

// "locked" cannot be opened, as if its permissions said so.
folder_t* open_child_but_locked(folder_t* parent, const nchar_t* name, unsigned options) {
    if (test::text(name) == "locked") {
        os_set_last_error(os_error_t{OS_ERROR_ACCESS_DENIED, 0});
        return nullptr;
    }
    return os_default.folder_open_child(parent, name, options);
}

int expected_status = EXIT_LISTED;

std::string list_with(const std::string& top, const std::string& output, int readers) {
    listing_reader_threads = readers;
    EXPECT_EQ(test::run_listing(test::listing_settings(top, output, FLAG_SUBFOLDERS | FLAG_FULL_PATH)).status,
              expected_status);
    std::string bytes;
    EXPECT_TRUE(test::read_file(output, &bytes));
    return bytes;
}

// A delay of up to half a millisecond before some calls, as a disk or a
// network might take, drawn anew on every call.
std::atomic<unsigned> delay_seed{1};
void random_delay() {
    unsigned seed = delay_seed.fetch_add(2654435761u);
    seed ^= seed >> 13;
    if (seed % 3 == 0) std::this_thread::sleep_for(std::chrono::microseconds(seed % 500));
}
folder_t* delayed_open_child(folder_t* parent, const nchar_t* name, unsigned options) {
    random_delay();
    return open_child_but_locked(parent, name, options);
}
bool delayed_read(folder_t* folder, folder_item_t* item) {
    if (delay_seed % 16 == 0) random_delay();
    delay_seed += 1;
    return os_default.folder_read(folder, item);
}

TEST(ReadAhead, AnyNumberOfReadersAndAnyTimingGiveTheSameBytes) {
    test::os_restore restore;
    readers_restore readers;
    test::temp_dir dir;
    const std::string top = make_tree(dir, 6, 4);
    add_hard_parts(top);
    os.folder_open_child = open_child_but_locked;
    expected_status = EXIT_INCOMPLETE;
    const std::string reference = list_with(top, dir.join("out.txt"), 0);
    ASSERT_GT(std::count(reference.begin(), reference.end(), '\n'), 5100);
    ASSERT_NE(reference.find("\\locked\\\r\n"), std::string::npos);
    ASSERT_EQ(reference.find("never.txt"), std::string::npos);
    ASSERT_NE(reference.find("\\outside\\?t?\r\n"), reference.rfind("\\outside\\?t?\r\n"));
#ifndef _WIN32
    ASSERT_NE(reference.find("\\link\\file"), std::string::npos) << "the link is walked";
#endif
    for (int threads : {1, 3, 16}) {
        EXPECT_EQ(list_with(top, dir.join("out.txt"), threads), reference) << threads << " readers";
    }
    os.folder_open_child = delayed_open_child;
    os.folder_read = delayed_read;
    for (int round = 0; round < 3; ++round) {
        for (int threads : {0, 2, 16}) {
            EXPECT_EQ(list_with(top, dir.join("out.txt"), threads), reference)
                << threads << " readers with delays, round " << round;
        }
    }
    expected_status = EXIT_LISTED;
}

// Folders open at once (the window and the walk's current path hold them),
// and the items read from them. Beyond `folder_cap` an open fails as the
// system's does when its descriptors are all taken.
std::mutex live_lock;
int live_folders = 0;
int most_live_folders = 0;
int folder_cap = INT_MAX;
bool take_a_descriptor() {
    std::lock_guard<std::mutex> hold(live_lock);
    if (live_folders == folder_cap) {
        os_set_last_error(OS_ERROR_NO_DESCRIPTORS);
        return false;
    }
    most_live_folders = std::max(most_live_folders, ++live_folders);
    return true;
}
folder_t* opened_or_given_back(folder_t* folder) {
    if (!folder) {
        const os_error_t error = os_last_error();
        std::lock_guard<std::mutex> hold(live_lock);
        --live_folders;
        os_set_last_error(error);
    }
    return folder;
}
folder_t* counting_open(const nchar_t* path, unsigned options) {
    if (!take_a_descriptor()) return nullptr;
    return opened_or_given_back(os_default.folder_open(path, options));
}
// Each folder takes a moment to open, as on a disk: readers that start
// late still find folders to read ahead.
bool random_open_delays = false;
folder_t* counting_open_child(folder_t* parent, const nchar_t* name, unsigned options) {
    if (random_open_delays) {
        random_delay();
    } else {
        std::this_thread::sleep_for(std::chrono::microseconds(20));
    }
    if (!take_a_descriptor()) return nullptr;
    return opened_or_given_back(os_default.folder_open_child(parent, name, options));
}
void counting_close(folder_t* folder) {
    {
        std::lock_guard<std::mutex> hold(live_lock);
        --live_folders;
    }
    os_default.folder_close(folder);
}

bool local_disk(const nchar_t*) {
    return false;
}

TEST(ReadAhead, FoldersHeldAtOnceStayWithinTheWindow) {
    test::os_restore restore;
    readers_restore readers;
    test::temp_dir dir;
    // Two levels of 30 folders: 930 folders, far more than the window holds.
    const std::string top = dir.join("wide");
    test::make_folder(top);
    for (int i = 0; i < 30; ++i) {
        test::make_folder(top + "\\" + std::to_string(i));
        for (int j = 0; j < 30; ++j)
            test::make_folder(top + "\\" + std::to_string(i) + "\\" + std::to_string(j));
    }
    os.folder_open = counting_open;
    os.folder_open_child = counting_open_child;
    os.folder_close = counting_close;
    os.folder_is_remote = local_disk;  // whatever the temporary folder's disk
    for (int threads : {2, 16}) {
        live_folders = most_live_folders = 0;
        const std::string bytes = list_with(top, dir.join("out.txt"), threads);
        EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), 930);
        EXPECT_EQ(live_folders, 0) << "every folder is closed at the end";
        // The window, the three folders of the walk's path, and one folder
        // each reader may have begun as the window filled.
        EXPECT_LE(most_live_folders, (int)LOCAL_WINDOW.folders + 3 + threads) << threads << " readers";
        EXPECT_GT(most_live_folders, 3) << "the readers read ahead at all, " << threads << " readers";
    }
}

// A ladder: each level holds a folder "b" with a file, and "a", the next
// level, which the walk enters first. Every folder on its path still has
// "b" to open, so the path holds as many folders as the ladder is deep.
std::string make_ladder(const test::temp_dir& dir, int rungs) {
    std::string rung = dir.join("ladder");
    test::make_folder(rung);
    for (int i = 0; i < rungs; ++i) {
        test::make_folder(rung + "\\b");
        test::write_file(rung + "\\b\\f.txt", "");
        rung += "\\a";
        test::make_folder(rung);
    }
    return dir.join("ladder");
}

unsigned four_folders() {
    return 4;
}
unsigned a_thousand_folders() {
    return 1000;
}

TEST(ReadAhead, FewDescriptorsGiveTheWholeListWhateverTheReaders) {
    test::os_restore restore;
    readers_restore readers;
    test::temp_dir dir;
    const std::string top = make_ladder(dir, 40);
    const std::string reference = list_with(top, dir.join("out.txt"), 0);
    ASSERT_EQ(std::count(reference.begin(), reference.end(), '\n'), 40 * 3);
    os.folder_open = counting_open;
    os.folder_open_child = counting_open_child;
    os.folder_close = counting_close;
    // Readers that take their time leave the walk to go down alone while
    // they still open folders beside it.
    random_open_delays = true;
    // Four folders allowed: the ladder's path is far deeper.
    os.folders_open_max = four_folders;
    for (int threads : {0, 1, 3, 16}) {
        live_folders = most_live_folders = 0;
        EXPECT_EQ(list_with(top, dir.join("out.txt"), threads), reference) << threads << " readers";
        EXPECT_EQ(live_folders, 0) << "every folder is closed at the end";
        // Beyond the four (which folders the readers read ahead may hold):
        // the folder the walk reads itself and its parent, the two of a walk
        // down from the top to a parked folder, and for each reader a parked
        // folder it opened again. Not the ladder's depth.
        EXPECT_LE(most_live_folders, 4 + 4 + threads) << threads << " readers";
    }
    // The system's descriptors run out before the limit says: the walk
    // parks folders all the same.
    os.folders_open_max = a_thousand_folders;
    folder_cap = 10;
    live_folders = most_live_folders = 0;
    EXPECT_EQ(list_with(top, dir.join("out.txt"), 0), reference);
    EXPECT_EQ(live_folders, 0);
    EXPECT_EQ(most_live_folders, folder_cap) << "the system's limit was reached";
    random_open_delays = false;
    folder_cap = INT_MAX;
}
}  // namespace

// Short names on Windows (under Wine here): the listing composes each item's
// short path from its parent's and the item's own alias, so every line is
// compared with what GetShortPathNameA answers for the same long path. Wine
// makes up its own 8.3 aliases (not the ones NTFS would), so nothing here
// spells a short name out.
#include <direct.h>
#include <gtest/gtest.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

using lines_t = std::vector<std::string>;

// Long names, names that already are 8.3, and Japanese names (表 ends in
// the byte 0x5C), in a tree two levels deep.
const char* const TREE_FOLDERS[] = {
    "Long Folder Name",
    "Long Folder Name\\Nested Long Folder",
    "SHORT",
    "\x95\x5C",                                                  // 表
    "\x93\xFA\x96\x7B\x8C\xEA\x83\x74\x83\x48\x83\x8B\x83\x5F",  // 日本語フォルダ
};
const char* const TREE_FILES[] = {
    "a.txt",
    "README",
    "Mixed.Case.Name.html",
    "another long file name.txt",
    "Long Folder Name\\inner file with spaces.txt",
    "Long Folder Name\\IN.TXT",
    "Long Folder Name\\Nested Long Folder\\deepest entry.data",
    "SHORT\\X.C",
    "\x95\x5C\\\x95\x5C\x8E\xA6.txt",                                                  // 表\表示.txt
    "\x93\xFA\x96\x7B\x8C\xEA\x83\x74\x83\x48\x83\x8B\x83\x5F\\\x96\xBC\x91\x4F.txt",  // 日本語フォルダ\名前.txt
};

std::string make_tree(const test::temp_dir& dir) {
    const std::string top = dir.join("Short Names Top");
    test::make_folder(top);
    for (const char* folder : TREE_FOLDERS) test::make_folder(top + "\\" + folder);
    for (const char* file : TREE_FILES) test::write_file(top + "\\" + file, "x");
    return top;
}

// Every item's path below the top folder, folders with their backslash.
std::set<std::string> expected_relative_names() {
    std::set<std::string> names;
    for (const char* folder : TREE_FOLDERS) names.insert(std::string(folder) + "\\");
    for (const char* file : TREE_FILES) names.insert(file);
    return names;
}

lines_t list(const std::string& top, const std::string& output, uint32_t flags) {
    EXPECT_EQ(test::run_listing(test::listing_settings(top, output, flags)).status, EXIT_LISTED);
    lines_t lines;
    EXPECT_TRUE(test::read_lines(output, &lines)) << "every line ends in CR LF";
    return lines;
}

bool is_folder_line(const std::string& line) {
    return !line.empty() && line.back() == '\\';
}

// GetShortPathNameA of a long path; a folder line keeps its one backslash.
std::string platform_short_form(const std::string& long_line) {
    const bool folder = is_folder_line(long_line);
    const std::string path = folder ? long_line.substr(0, long_line.size() - 1) : long_line;
    char short_path[PATH_BUFFER_SIZE] = "";
    const DWORD length = GetShortPathNameA(path.c_str(), short_path, sizeof short_path);
    EXPECT_GT(length, 0u) << "GetShortPathNameA(" << path << ") failed";
    EXPECT_LT(length, sizeof short_path);
    return std::string(short_path) + (folder ? "\\" : "");
}

std::string below(const std::string& path, const std::string& base) {
    EXPECT_EQ(path.compare(0, base.size(), base), 0) << path << " does not begin with " << base;
    size_t start = base.size();
    if (start < path.size() && path[start] == '\\') ++start;
    return path.substr(start);
}

std::set<std::string> as_set(const lines_t& lines) {
    return std::set<std::string>(lines.begin(), lines.end());
}

// Runs a test body in another current folder and always goes back.
struct current_folder_guard {
    explicit current_folder_guard(const std::string& folder) {
        ok = _getcwd(saved, sizeof saved) != nullptr && _chdir(folder.c_str()) == 0;
    }
    ~current_folder_guard() { _chdir(saved); }
    char saved[PATH_BUFFER_SIZE];
    bool ok;
};

class ShortNames : public ::testing::Test {
protected:
    void SetUp() override {
        top = make_tree(dir);
        char buffer[PATH_BUFFER_SIZE] = "";
        ASSERT_GT(GetShortPathNameA(top.c_str(), buffer, sizeof buffer), 0u);
        short_top = buffer;
        // Without this the test could pass with long names throughout.
        ASSERT_NE(short_top, top) << "the top folder should have an alias";
        // The same walk without short names gives each line's long path;
        // both runs order the items by their long names.
        long_full = list(top, dir.join("long_full.txt"), FLAG_FULL_PATH | FLAG_SUBFOLDERS);
    }

    test::temp_dir dir;
    std::string top;
    std::string short_top;
    lines_t long_full;
};

TEST_F(ShortNames, OffWritesLongNamesOnly) {
    std::set<std::string> relative;
    for (const std::string& line : long_full) relative.insert(below(line, top));
    EXPECT_EQ(relative, expected_relative_names());

    const lines_t long_relative = list(top, dir.join("long_rel.txt"), FLAG_SUBFOLDERS);
    EXPECT_EQ(as_set(long_relative), expected_relative_names());
}

TEST_F(ShortNames, FullPathsMatchGetShortPathNameItemByItem) {
    const lines_t lines =
        list(top, dir.join("short_full.txt"), FLAG_FULL_PATH | FLAG_SUBFOLDERS | FLAG_SHORT_NAMES);
    ASSERT_EQ(lines.size(), long_full.size());
    size_t differing = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string expected = platform_short_form(long_full[i]);
        EXPECT_EQ(lines[i], expected) << "line " << i << ", long path " << long_full[i];
        if (expected != long_full[i]) ++differing;
    }
    // Long and Japanese names have aliases; the test means nothing otherwise.
    EXPECT_GT(differing, 0u);
}

TEST_F(ShortNames, RelativeNamesAreBelowTheShortTopFolder) {
    const lines_t lines = list(top, dir.join("short_rel.txt"), FLAG_SUBFOLDERS | FLAG_SHORT_NAMES);
    ASSERT_EQ(lines.size(), long_full.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        const std::string expected = below(platform_short_form(long_full[i]), short_top);
        EXPECT_EQ(lines[i], expected) << "line " << i << ", long path " << long_full[i];
    }
}

TEST_F(ShortNames, RelativeTopFolderGivesRelativeShortPaths) {
    current_folder_guard in_temp(dir.path());
    ASSERT_TRUE(in_temp.ok) << dir.path();
    const std::string relative_top = "Short Names Top";
    const lines_t lines =
        list(relative_top, "short_relative_top.txt", FLAG_FULL_PATH | FLAG_SUBFOLDERS | FLAG_SHORT_NAMES);
    const lines_t long_lines = list(relative_top, "long_relative_top.txt", FLAG_FULL_PATH | FLAG_SUBFOLDERS);
    ASSERT_EQ(lines.size(), long_lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i], platform_short_form(long_lines[i]))
            << "line " << i << ", long path " << long_lines[i];
    }
}

size_t no_short_form(const wchar_t*, wchar_t*, size_t) {
    return 0;
}

TEST_F(ShortNames, WithoutAShortTopFolderEveryItemIsWrittenLong) {
    test::os_restore restore;
    os.short_path = no_short_form;
    const lines_t lines =
        list(top, dir.join("fallback.txt"), FLAG_FULL_PATH | FLAG_SUBFOLDERS | FLAG_SHORT_NAMES);
    EXPECT_EQ(lines, long_full);
}

}  // namespace

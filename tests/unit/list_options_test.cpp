// What the list options leave out, how deep they walk, which lines they
// write and in what order, on real trees; and that the options at values
// that ask for nothing give the plain list byte for byte.
#include <gtest/gtest.h>
#include <stdio.h>

#include <algorithm>
#include <filesystem>
#include <initializer_list>
#include <mutex>
#include <string>
#include <vector>

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"
#include "text/mbs.h"

// A native name literal: names outside the code page cannot be narrow
// literals here, whose bytes are code page 932.
#ifdef _WIN32
#define NAME(s) L##s
#else
#define NAME(s) u8##s
#endif

namespace {

using lines_t = std::vector<std::string>;
using nstring = std::basic_string<nchar_t>;

// A tree made from native relative paths ("/" between the parts; a folder's
// path ends in "/").
struct tree_t {
    test::temp_dir dir;
    std::string top_text = dir.join("tree");
    std::filesystem::path top{test::native(top_text)};

    explicit tree_t(std::initializer_list<const nchar_t*> paths) {
        std::filesystem::create_directory(top);
        for (const nchar_t* path : paths) add(path);
    }
    void add(const nstring& rel) const {
        const std::filesystem::path path = top / rel;
        if (rel.back() == '/') {
            std::filesystem::create_directories(path);
            return;
        }
        std::filesystem::create_directories(path.parent_path());
#ifdef _WIN32
        FILE* file = _wfopen(path.c_str(), L"wb");
#else
        FILE* file = fopen(path.c_str(), "wb");
#endif
        ASSERT_NE(file, nullptr) << path;
        fclose(file);
    }
    settings_t settings(uint32_t flags = FLAG_SUBFOLDERS) const {
        return test::listing_settings(top_text, dir.join("out.txt"), flags);
    }
};

std::string bytes_of(const settings_t& s) {
    EXPECT_EQ(test::run_listing(s).status, EXIT_LISTED);
    std::string bytes;
    EXPECT_TRUE(test::read_file(s.output_file.text, &bytes));
    return bytes;
}

void set_filter(settings_t* s, int32_t kind, const char* text) {
    s->filter_kind = kind;
    str_copy_bounded(s->filter_text, text, sizeof s->filter_text);
}

// The names of the folders the walk opened below the top, in any order, as
// program text: from every reader thread.
std::mutex opened_lock;
std::vector<std::string> opened;

folder_t* recording_open_child(folder_t* parent, const nchar_t* name, unsigned options) {
    {
        std::lock_guard<std::mutex> hold(opened_lock);
        opened.push_back(test::text(name));
    }
    return os_default.folder_open_child(parent, name, options);
}

struct open_recorder {
    test::os_restore restore;
    open_recorder() {
        opened.clear();
        os.folder_open_child = recording_open_child;
    }
    lines_t sorted() const {
        std::lock_guard<std::mutex> hold(opened_lock);
        lines_t names = opened;
        std::sort(names.begin(), names.end());
        opened.clear();
        return names;
    }
};

// Runs once with the walk reading alone and once with readers ahead of it:
// what is opened must not depend on who opens it.
struct reader_counts {
    ~reader_counts() { listing_reader_threads = LISTING_READERS_AUTO; }
};
constexpr int READER_COUNTS[] = {0, 2};

TEST(ListOptionsSkip, SkippedItemsAreNeitherListedNorOpenedAtAnyDepth) {
    const tree_t t{NAME("keep/café/inner/"),
                   NAME("keep/café/x.txt"),
                   NAME("keep/mid/한국/deeper/"),
                   NAME("keep/mid/low/emoji😀/y/"),
                   NAME("keep/mid/low/z.txt"),
                   NAME("keep/mid/low/drop.LOG"),
                   NAME("node_modules/a/b.txt"),
                   NAME("表skip/c.txt"),
                   NAME("a.txt"),
                   NAME("表.txt")};
    settings_t s = t.settings();
    // Names outside the code page are matched by their text ("caf?", "??",
    // "emoji?"); letter case is ignored; blanks and ";" separate.
    str_copy_bounded(s.list.skip_text,
                     "caf* ??;EMOJI*  *.log;node_modules;\x95\x5C"
                     "s*",
                     sizeof s.list.skip_text);
    reader_counts restore_readers;
    for (int readers : READER_COUNTS) {
        listing_reader_threads = readers;
        open_recorder recorder;
        EXPECT_EQ(test::listed_lines(s), (lines_t{"keep\\", "keep\\mid\\", "keep\\mid\\low\\",
                                                  "keep\\mid\\low\\z.txt", "a.txt", "\x95\x5C.txt"}))
            << readers << " readers";
        EXPECT_EQ(recorder.sorted(), (lines_t{"keep", "low", "mid"})) << readers << " readers";
    }
}

TEST(ListOptionsDepth, FoldersAtTheLastLevelAreListedNotOpened) {
    const tree_t t{NAME("d1/f1"), NAME("d1/d2/f2"), NAME("d1/d2/d3/f3"), NAME("d1/d2/d3/d4/"), NAME("f0")};
    struct depth_case {
        uint32_t depth;
        uint32_t flags;
        lines_t lines;
        lines_t opened;
    };
    const lines_t all = {"d1\\",           "d1\\d2\\",   "d1\\d2\\d3\\", "d1\\d2\\d3\\d4\\",
                         "d1\\d2\\d3\\f3", "d1\\d2\\f2", "d1\\f1",       "f0"};
    const depth_case cases[] = {
        {1, FLAG_SUBFOLDERS, {"d1\\", "f0"}, {}},
        {2, FLAG_SUBFOLDERS, {"d1\\", "d1\\d2\\", "d1\\f1", "f0"}, {"d1"}},
        {3,
         FLAG_SUBFOLDERS,
         {"d1\\", "d1\\d2\\", "d1\\d2\\d3\\", "d1\\d2\\f2", "d1\\f1", "f0"},
         {"d1", "d2"}},
        {4, FLAG_SUBFOLDERS, all, {"d1", "d2", "d3"}},
        {5, FLAG_SUBFOLDERS, all, {"d1", "d2", "d3", "d4"}},
        {0, FLAG_SUBFOLDERS, all, {"d1", "d2", "d3", "d4"}},
        {3, 0, {"d1\\", "f0"}, {}},  // without subfolders the depth changes nothing
    };
    reader_counts restore_readers;
    for (int readers : READER_COUNTS) {
        listing_reader_threads = readers;
        for (const depth_case& c : cases) {
            open_recorder recorder;
            settings_t s = t.settings(c.flags);
            s.list.max_depth = c.depth;
            EXPECT_EQ(test::listed_lines(s), c.lines) << "depth " << c.depth << ", " << readers << " readers";
            EXPECT_EQ(recorder.sorted(), c.opened) << "depth " << c.depth << ", " << readers << " readers";
        }
    }
}

TEST(ListOptionsLines, OnlyAndTrimWithFiltersAndDepth) {
    const tree_t t{NAME("A/x.txt"),        NAME("A/y.log"), NAME("B/"),
                   NAME("C/D/E/deep.txt"), NAME("C/D/F/"),  NAME("z.txt")};
    struct lines_case {
        int32_t only;
        bool trim;
        const char* wildcard;  // null: no filter
        uint32_t depth;
        lines_t lines;
    };
    const lines_t folders = {"A\\", "B\\", "C\\", "C\\D\\", "C\\D\\E\\", "C\\D\\F\\"};
    const lines_t files_txt = {"A\\x.txt", "C\\D\\E\\deep.txt", "z.txt"};
    const lines_case cases[] = {
        {ONLY_ALL, false, "*.log", 0, {"A\\", "A\\y.log", "B\\", "C\\", "C\\D\\", "C\\D\\E\\", "C\\D\\F\\"}},
        {ONLY_FILES, false, nullptr, 0, {"A\\x.txt", "A\\y.log", "C\\D\\E\\deep.txt", "z.txt"}},
        {ONLY_FILES, false, "*.txt", 0, files_txt},
        {ONLY_FOLDERS, false, "*.txt", 0, folders},
        {ONLY_FOLDERS, false, nullptr, 0, folders},
        {ONLY_FOLDERS, false, nullptr, 2, {"A\\", "B\\", "C\\", "C\\D\\"}},
        // /trim: a folder's line only with something below it.
        {ONLY_ALL, true, "*.none", 0, {}},
        {ONLY_ALL, true, "deep.txt", 0, {"C\\", "C\\D\\", "C\\D\\E\\", "C\\D\\E\\deep.txt"}},
        {ONLY_ALL,
         true,
         nullptr,
         0,
         {"A\\", "A\\x.txt", "A\\y.log", "C\\", "C\\D\\", "C\\D\\E\\", "C\\D\\E\\deep.txt", "z.txt"}},
        // Folders at the last level are not walked: nothing is below them.
        {ONLY_ALL, true, nullptr, 2, {"A\\", "A\\x.txt", "A\\y.log", "z.txt"}},
        // Files that pass count, though only folders are written.
        {ONLY_FOLDERS, true, "*.log", 0, {"A\\"}},
        {ONLY_FOLDERS, true, "deep.txt", 0, {"C\\", "C\\D\\", "C\\D\\E\\"}},
        {ONLY_FOLDERS, true, "*.none", 0, {}},
        {ONLY_FILES, true, "*.txt", 0, files_txt},
    };
    for (const lines_case& c : cases) {
        settings_t s = t.settings();
        if (c.wildcard) set_filter(&s, FILTER_WILDCARD, c.wildcard);
        s.list.only = c.only;
        s.list.flags = c.trim ? LIST_TRIM : 0;
        s.list.max_depth = c.depth;
        EXPECT_EQ(test::listed_lines(s), c.lines)
            << "only " << c.only << (c.trim ? " trim" : "") << " filter "
            << (c.wildcard ? c.wildcard : "none") << " depth " << c.depth;
    }
}

#ifdef _WIN32
// The attribute is kept only where Wine can store it with the file (an
// extended attribute): false where it could not.
bool set_attribute(const std::filesystem::path& path, DWORD attribute) {
    return SetFileAttributesW(path.c_str(), attribute) && (GetFileAttributesW(path.c_str()) & attribute);
}
#endif

TEST(ListOptionsHidden, HiddenItemsAreLeftOutAndNotOpened) {
    const tree_t t{NAME(".dot/inner.txt"), NAME(".dotfile"),   NAME("shown/.inner"), NAME("shown/x.txt"),
                   NAME("plain.txt"),      NAME("hid/in.txt"), NAME("h.txt"),        NAME("sys.txt")};
    lines_t hidden_by_attribute;
#ifdef _WIN32
    // Windows: the hidden and the system attribute; dot names are hidden
    // under Wine as well, as on the Linux build.
    if (set_attribute(t.top / L"hid", FILE_ATTRIBUTE_HIDDEN) &&
        set_attribute(t.top / L"h.txt", FILE_ATTRIBUTE_HIDDEN) &&
        set_attribute(t.top / L"sys.txt", FILE_ATTRIBUTE_SYSTEM)) {
        hidden_by_attribute = {"hid", "h.txt", "sys.txt"};
    } else {
        ADD_FAILURE() << "the file system here keeps no hidden or system attribute";
    }
#endif
    settings_t s = t.settings();
    const lines_t all = {".dot\\",  ".dot\\inner.txt", "hid\\",        "hid\\in.txt",
                         "shown\\", "shown\\.inner",   "shown\\x.txt", ".dotfile",
                         "h.txt",   "plain.txt",       "sys.txt"};
    EXPECT_EQ(test::listed_lines(s), all);
    s.list.flags = LIST_NO_HIDDEN;
    open_recorder recorder;
    lines_t expected = {"shown\\", "shown\\x.txt", "plain.txt"};
    lines_t expected_opened = {"shown"};
    if (hidden_by_attribute.empty()) {
        // The Linux build has no attributes to set: those three are plain.
        expected = {"hid\\", "hid\\in.txt", "shown\\", "shown\\x.txt", "h.txt", "plain.txt", "sys.txt"};
        expected_opened = {"hid", "shown"};
    }
    EXPECT_EQ(test::listed_lines(s), expected);
    EXPECT_EQ(recorder.sorted(), expected_opened);
}

TEST(ListOptionsOrder, NaturalOrderComparesDigitRunsByValue) {
    const std::string zeros30(30, '0');
    const std::string nines24(24, '9');
    const std::string ten_to_24 = "1" + std::string(24, '0');
    std::vector<std::string> names = {
        "file10", "file9", "file7", "file007", "File07", "File8", "file", "n6", "n" + nines24,
        "n" + ten_to_24, "n" + zeros30 + "5", "v1.10", "v1.9", "v1.9a",
        // Full-width digits are text: "１" before "９" whatever follows.
        "\x91\x53\x82\x58", "\x91\x53\x82\x50\x82\x4F", "\x91\x53\x82\x50\x82\x50"};
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\dir10");
    test::make_folder(top + "\\Dir2");
    for (const std::string& name : names) test::write_file(top + "\\" + name, "");
    settings_t s = test::listing_settings(top, dir.join("out.txt"));
    s.list.order = ORDER_NATURAL;
    // Equal values ("File07", "file007", "file7") keep the order of their bytes.
    EXPECT_EQ(test::listed_lines(s),
              (lines_t{"Dir2\\", "dir10\\", "file", "File07", "file007", "file7", "File8", "file9", "file10",
                       "n" + zeros30 + "5", "n6", "n" + nines24, "n" + ten_to_24, "v1.9", "v1.9a", "v1.10",
                       "\x91\x53\x82\x50\x82\x4F", "\x91\x53\x82\x50\x82\x50", "\x91\x53\x82\x58"}));
}

// A tree where no option at its neutral value has anything to change: no
// hidden name, no empty folder, no digits, no name the skip list names.
TEST(ListOptionsNeutral, OptionsThatAskForNothingGiveThePlainListsBytes) {
    const tree_t t{NAME("Alpha/one.txt"), NAME("Alpha/表/内.txt"), NAME("beta/deep/er/x.log"),
                   NAME("café/y.txt"),    NAME("B.txt"),           NAME("a.txt"),
                   NAME("日本語.txt")};
    struct neutral_case {
        const char* what;
        void (*set)(list_options_t*);
    };
    const neutral_case cases[] = {
        {"skip nothing there",
         [](list_options_t* l) { str_copy_bounded(l->skip_text, "*.none;zz", sizeof l->skip_text); }},
        {"depth past the tree", [](list_options_t* l) { l->max_depth = 5; }},
        {"every item", [](list_options_t* l) { l->only = ONLY_ALL; }},
        {"name order", [](list_options_t* l) { l->order = ORDER_NAME; }},
        {"natural order without digits", [](list_options_t* l) { l->order = ORDER_NATURAL; }},
        {"no hidden items there", [](list_options_t* l) { l->flags |= LIST_NO_HIDDEN; }},
        {"no empty folders there", [](list_options_t* l) { l->flags |= LIST_TRIM; }},
        {"backslash and CR LF",
         [](list_options_t* l) {
             l->separator = '\\';
             l->line_end = LINE_END_CRLF;
         }},
        {"all of them", [](list_options_t* l) {
             str_copy_bounded(l->skip_text, "*.none", sizeof l->skip_text);
             l->max_depth = 5;
             l->order = ORDER_NATURAL;
             l->flags = LIST_NO_HIDDEN | LIST_TRIM;
         }}};
    // Without subfolders /trim leaves every folder out: nothing below is walked.
    for (uint32_t flags : {FLAG_SUBFOLDERS, FLAG_SUBFOLDERS | FLAG_FULL_PATH | FLAG_UTF8}) {
        settings_t plain = t.settings(flags);
        const std::string expected = bytes_of(plain);
        ASSERT_NE(expected, "");
        for (const neutral_case& c : cases) {
            settings_t s = plain;
            c.set(&s.list);
            EXPECT_EQ(bytes_of(s), expected) << c.what << ", flags " << flags;
        }
    }
}

}  // namespace

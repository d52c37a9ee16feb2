// The 詳細設定 dialog on a real window, opened from the settings dialog's
// button as a user opens it: every control reaches the job's settings
// through the settings dialog's OK, キャンセル keeps what was there, and the
// rules of the command line stay in sight.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "support/dialog_session_win32.h"
#include "support/test_support.h"
#include "ui/settings/settings_ids.h"

namespace {

using test::dialog_session;
using test::recorded_boxes;

// The settings dialog with both paths usable and the boxes the second dialog
// depends on as asked.
dialog_param_t opened_with(const test::temp_dir& dir, uint32_t flags, const list_options_t* list = nullptr) {
    dialog_param_t param = test::param_with(dir.path(), dir.join("list.txt"));
    param.flags = flags;
    if (list) param.list = *list;
    return param;
}

// Opens the 詳細設定 dialog over the session's dialog.
HWND open_advanced(const dialog_session& s) {
    s.post_click(s.item(IDC_ADVANCED));
    return s.wait_for_owned(s.dialog());
}

bool close_advanced(const dialog_session& s, HWND advanced, int button) {
    PostMessageA(GetDlgItem(advanced, button), BM_CLICK, 0, 0);
    const DWORD start = GetTickCount();
    while (IsWindow(advanced)) {
        if (GetTickCount() - start >= test::SAFETY_LIMIT_MS) return false;
        Sleep(10);
    }
    SendMessageA(s.dialog(), WM_NULL, 0, 0);
    return true;
}

list_options_t defaults() {
    list_options_t list;
    list_options_init(&list);
    return list;
}

std::string describe(const list_options_t& l) {
    char text[2200];
    snprintf(text, sizeof text,
             "skip=[%s] depth=%u only=%d order=%d format=%d line_end=%d separator=%c flags=%u", l.skip_text,
             l.max_depth, l.only, l.order, l.format, l.line_end, l.separator, l.flags);
    return text;
}

// One way through the dialog: what is typed and clicked, and the settings
// the job gets from it.
struct walk_t {
    const char* what;
    const char* skip;   // typed into the names to leave out
    const char* depth;  // typed after the limit is switched on; null: no limit
    std::vector<int> clicks;
    list_options_t want;
};

list_options_t with(void (*change)(list_options_t*)) {
    list_options_t list = defaults();
    change(&list);
    return list;
}

TEST(AdvancedSettings, EveryControlReachesTheJobSettings) {
    const walk_t walks[] = {
        {"untouched", nullptr, nullptr, {}, defaults()},
        {"everything of the plain list",
         ".git;node_modules *.bak",
         "3",
         {IDC_ONLY_FILES, IDC_ORDER_NATURAL, IDC_TRIM, IDC_NO_HIDDEN, IDC_LINE_END_LF, IDC_SEPARATOR_SLASH,
          IDC_BOM},
         with([](list_options_t* l) {
             strcpy(l->skip_text, ".git;node_modules *.bak");
             l->max_depth = 3;
             l->only = ONLY_FILES;
             l->order = ORDER_NATURAL;
             l->line_end = LINE_END_LF;
             l->separator = '/';
             l->flags = LIST_TRIM | LIST_NO_HIDDEN | LIST_BOM;
         })},
        {"folders, NUL", nullptr, "65535", {IDC_ONLY_FOLDERS, IDC_LINE_END_NUL}, with([](list_options_t* l) {
             l->max_depth = 65535;
             l->only = ONLY_FOLDERS;
             l->line_end = LINE_END_NUL;
         })},
        // A table's rows always end in CR LF and join with "\", whatever was chosen before.
        {"CSV",
         nullptr,
         nullptr,
         {IDC_LINE_END_LF, IDC_SEPARATOR_SLASH, IDC_FORMAT_CSV},
         with([](list_options_t* l) { l->format = FORMAT_CSV; })},
        {"TSV", nullptr, nullptr, {IDC_LINE_END_NUL, IDC_FORMAT_TSV}, with([](list_options_t* l) {
             l->format = FORMAT_TSV;
         })},
        {"back to the list",
         nullptr,
         nullptr,
         {IDC_LINE_END_NUL, IDC_FORMAT_TSV, IDC_FORMAT_LIST},
         with([](list_options_t* l) { l->line_end = LINE_END_NUL; })},
    };
    test::temp_dir dir;
    for (const walk_t& walk : walks) {
        SCOPED_TRACE(walk.what);
        dialog_session s(opened_with(dir, FLAG_FULL_PATH | FLAG_SUBFOLDERS | FLAG_UTF8));
        ASSERT_NE(s.dialog(), nullptr);
        HWND advanced = open_advanced(s);
        ASSERT_NE(advanced, nullptr) << "no 詳細設定 dialog";
        if (walk.skip) s.type(IDC_SKIP_TEXT, walk.skip, advanced);
        if (walk.depth) {
            s.click(IDC_LIMIT_DEPTH, advanced);
            EXPECT_TRUE(s.enabled(IDC_DEPTH, advanced));
            s.set_text(IDC_DEPTH, walk.depth, advanced);
        }
        for (int id : walk.clicks) s.click(id, advanced);
        ASSERT_TRUE(close_advanced(s, advanced, IDOK));
        s.click(IDOK);
        ASSERT_TRUE(s.finish());
        EXPECT_EQ(describe(s.param().list), describe(walk.want));
    }
}

TEST(AdvancedSettings, ItShowsWhatIsSetAndCancelKeepsIt) {
    list_options_t set = defaults();
    strcpy(set.skip_text, "*.tmp");
    set.max_depth = 2;
    set.only = ONLY_FOLDERS;
    set.order = ORDER_NATURAL;
    set.line_end = LINE_END_LF;
    set.separator = '/';
    set.flags = LIST_TRIM | LIST_BOM;
    test::temp_dir dir;
    dialog_session s(opened_with(dir, FLAG_SUBFOLDERS | FLAG_UTF8, &set));
    ASSERT_NE(s.dialog(), nullptr);

    for (int round = 0; round < 2; ++round) {
        HWND advanced = open_advanced(s);
        ASSERT_NE(advanced, nullptr);
        if (round == 0) {
            // The settings dialog's font, and Tab through the rows in order.
            LOGFONTA first{}, second{};
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(s.dialog(), WM_GETFONT, 0, 0)), sizeof first,
                       &first);
            GetObjectA(reinterpret_cast<HFONT>(SendMessageA(advanced, WM_GETFONT, 0, 0)), sizeof second,
                       &second);
            EXPECT_STREQ(second.lfFaceName, first.lfFaceName);
            EXPECT_EQ(second.lfHeight, first.lfHeight);
            // Tab reaches each group of radio buttons at its chosen one.
            const int tab_order[] = {IDC_SKIP_TEXT,     IDC_LIMIT_DEPTH,
                                     IDC_DEPTH,         IDC_ONLY_FOLDERS,
                                     IDC_ORDER_NATURAL, IDC_TRIM,
                                     IDC_NO_HIDDEN,     IDC_FORMAT_LIST,
                                     IDC_LINE_END_LF,   IDC_SEPARATOR_SLASH,
                                     IDC_BOM,           IDOK,
                                     IDCANCEL};
            HWND at = GetDlgItem(advanced, IDC_SKIP_TEXT);
            for (int id : tab_order) {
                EXPECT_EQ(GetDlgCtrlID(at), id);
                at = GetNextDlgTabItem(advanced, at, FALSE);
            }
            EXPECT_EQ(at, GetDlgItem(advanced, IDC_SKIP_TEXT)) << "and round again";
        }
        EXPECT_EQ(s.text(IDC_SKIP_TEXT, advanced), "*.tmp");
        EXPECT_TRUE(s.checked(IDC_LIMIT_DEPTH, advanced));
        EXPECT_EQ(s.text(IDC_DEPTH, advanced), "2");
        for (int id : {IDC_ONLY_FOLDERS, IDC_ORDER_NATURAL, IDC_TRIM, IDC_FORMAT_LIST, IDC_LINE_END_LF,
                       IDC_SEPARATOR_SLASH, IDC_BOM})
            EXPECT_TRUE(s.checked(id, advanced)) << "round " << round << ", control " << id;
        EXPECT_FALSE(s.checked(IDC_NO_HIDDEN, advanced));
        // Everything changed, then cancelled.
        s.set_text(IDC_SKIP_TEXT, "other", advanced);
        for (int id : {IDC_LIMIT_DEPTH, IDC_ONLY_ALL, IDC_ORDER_NAME, IDC_TRIM, IDC_NO_HIDDEN, IDC_FORMAT_CSV,
                       IDC_BOM})
            s.click(id, advanced);
        ASSERT_TRUE(close_advanced(s, advanced, IDCANCEL));
    }
    s.click(IDOK);
    ASSERT_TRUE(s.finish());
    EXPECT_EQ(describe(s.param().list), describe(set));

    // キャンセル of the settings dialog drops what the second one took.
    dialog_session dropped(opened_with(dir, FLAG_SUBFOLDERS | FLAG_UTF8, &set));
    HWND advanced = open_advanced(dropped);
    ASSERT_NE(advanced, nullptr);
    dropped.click(IDC_NO_HIDDEN, advanced);
    ASSERT_TRUE(close_advanced(dropped, advanced, IDOK));
    dropped.click(IDCANCEL);
    EXPECT_FALSE(dropped.finish());
    EXPECT_EQ(describe(dropped.param().list), describe(set));
}

// A BOM only with UTF-8, a depth only with subfolders, a table only with
// CR LF and "\": each shown by what is enabled, and kept by OK.
TEST(AdvancedSettings, TheRulesOfTheSwitchesStayInSight) {
    list_options_t set = defaults();
    set.max_depth = 4;
    set.flags = LIST_BOM;
    test::temp_dir dir;
    dialog_session s(opened_with(dir, FLAG_FULL_PATH, &set));
    ASSERT_NE(s.dialog(), nullptr);
    HWND advanced = open_advanced(s);
    ASSERT_NE(advanced, nullptr);
    EXPECT_FALSE(s.enabled(IDC_BOM, advanced)) << "no UTF-8, no BOM";
    EXPECT_FALSE(s.checked(IDC_BOM, advanced));
    EXPECT_FALSE(s.enabled(IDC_LIMIT_DEPTH, advanced)) << "no subfolders, no depth";
    EXPECT_FALSE(s.enabled(IDC_DEPTH, advanced));

    s.click(IDC_LINE_END_NUL, advanced);
    s.click(IDC_FORMAT_TSV, advanced);
    for (int id :
         {IDC_LINE_END_CRLF, IDC_LINE_END_LF, IDC_LINE_END_NUL, IDC_SEPARATOR_BACKSLASH, IDC_SEPARATOR_SLASH})
        EXPECT_FALSE(s.enabled(id, advanced)) << "control " << id << " with TSV";
    EXPECT_TRUE(s.checked(IDC_LINE_END_CRLF, advanced)) << "what a table writes";
    EXPECT_TRUE(s.checked(IDC_SEPARATOR_BACKSLASH, advanced));
    s.click(IDC_FORMAT_LIST, advanced);
    EXPECT_TRUE(s.enabled(IDC_LINE_END_NUL, advanced));
    EXPECT_TRUE(s.checked(IDC_LINE_END_NUL, advanced)) << "the plain list's choice comes back";
    ASSERT_TRUE(close_advanced(s, advanced, IDOK));

    // The settings dialog's UTF-8 box on: now a BOM may be asked for, and an
    // unusable depth is refused with the box to correct.
    s.click(IDC_UTF8);
    s.click(IDC_SUBFOLDERS);
    advanced = open_advanced(s);
    ASSERT_NE(advanced, nullptr);
    EXPECT_TRUE(s.enabled(IDC_BOM, advanced));
    EXPECT_TRUE(s.checked(IDC_BOM, advanced)) << "the switch's BOM, kept while UTF-8 was off";
    EXPECT_EQ(s.text(IDC_DEPTH, advanced), "4");
    s.set_text(IDC_DEPTH, "0", advanced);
    s.click(IDOK, advanced);
    ASSERT_EQ(recorded_boxes.size(), 1u);
    EXPECT_EQ(recorded_boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
    EXPECT_EQ(recorded_boxes[0].owner, advanced);
    EXPECT_TRUE(IsWindow(advanced)) << "the dialog stays for the correction";
    s.set_text(IDC_DEPTH, "12", advanced);
    ASSERT_TRUE(close_advanced(s, advanced, IDOK));

    // UTF-8 off again: the settings dialog's OK drops the BOM.
    s.click(IDC_UTF8);
    s.click(IDOK);
    ASSERT_TRUE(s.finish());
    EXPECT_EQ(s.param().list.max_depth, 12u);
    EXPECT_EQ(s.param().list.line_end, LINE_END_NUL);
    EXPECT_EQ(s.param().list.flags & LIST_BOM, 0u);
}

}  // namespace

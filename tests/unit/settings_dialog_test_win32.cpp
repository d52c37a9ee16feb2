// The settings dialog on a real window (under Wine with Xvfb here). Each test
// shows dialog 124 with show_settings_dialog on a thread of its own and drives
// it from the test thread as a user would, through its controls: texts set and
// typed, the filter kind chosen, buttons clicked, the window sized, its system
// menu opened. Its message boxes go to a recorder instead of the screen
// (tests/unit/support/dialog_session_win32.h).
#include <gtest/gtest.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TOOLS/toolwind/window_helpers.h"
// after windows.h, which they need
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <objbase.h>
#include <shlobj.h>

#include "app/settings.h"
#include "scrivlet_version.h"
#include "support/dialog_session_win32.h"
#include "support/test_support.h"
#include "ui/info/about_box.h"
#include "ui/settings/settings_dialog.h"
#include "ui/settings/settings_dialog_proc.h"
#include "ui/settings/settings_ids.h"

namespace {

constexpr char FOLDER_NOT_FOUND[] = "指定されたフォルダが見つかりません。";
constexpr int STATIC_ID = 0xFFFF;  // -1 as the dialog manager hands it back

using test::box_answers;
using test::default_param;
using test::dialog_session;
using test::param_with;
using test::recorded_boxes;
using test::SAFETY_LIMIT_MS;

bool same_record(const dialog_param_t& a, const dialog_param_t& b) {
    return wcscmp(a.folder.native, b.folder.native) == 0 && strcmp(a.folder.text, b.folder.text) == 0 &&
           wcscmp(a.output_file.native, b.output_file.native) == 0 &&
           strcmp(a.output_file.text, b.output_file.text) == 0 &&
           memcmp(a.filter_text, b.filter_text, sizeof a.filter_text) == 0 &&
           a.filter_kind == b.filter_kind && a.flags == b.flags && a.case_mode == b.case_mode;
}

std::string rect_text(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) +
           "," + std::to_string(r.bottom) + ")";
}

// --- The template as compiled into the resource ----------------------------------------

struct expected_control_t {
    int id;
    WORD class_atom;  // 0x80 button, 0x81 edit, 0x82 static, 0x85 combo box
    DWORD style;      // besides WS_CHILD and WS_VISIBLE
    const wchar_t* text;
    short x, y, cx, cy;
};

constexpr WORD BUTTON = 0x80, EDIT = 0x81, STATIC = 0x82, COMBO = 0x85;
constexpr DWORD EDIT_STYLE = WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr DWORD LABEL_STYLE = SS_RIGHT | WS_GROUP;

const expected_control_t CONTROLS[] = {
    {-1, STATIC, LABEL_STYLE, L"対象フォルダ名", 7, 10, 46, 8},
    {IDC_FOLDER, EDIT, EDIT_STYLE, L"", 57, 7, 113, 14},
    {IDC_BROWSE_FOLDER, BUTTON, BS_PUSHBUTTON | WS_TABSTOP, L"参照...", 173, 7, 24, 14},
    {IDC_AUTO_FOLDER, BUTTON, BS_PUSHBUTTON | WS_TABSTOP, L"自動", 200, 7, 19, 14},
    {-1, STATIC, LABEL_STYLE, L"保存ファイル名", 7, 28, 46, 8},
    {IDC_OUTPUT_FILE, EDIT, EDIT_STYLE, L"", 57, 25, 113, 14},
    {IDC_BROWSE_OUTPUT, BUTTON, BS_PUSHBUTTON | WS_TABSTOP, L"参照...", 173, 25, 24, 14},
    {IDC_AUTO_OUTPUT, BUTTON, BS_PUSHBUTTON | WS_TABSTOP, L"自動", 200, 25, 19, 14},
    {-1, STATIC, LABEL_STYLE, L"列挙ファイル名", 7, 45, 46, 8},
    {IDC_FILTER_KIND, COMBO, CBS_DROPDOWNLIST | CBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_TABSTOP, L"", 57, 43,
     56, 42},
    {IDC_FILTER_TEXT, EDIT, EDIT_STYLE, L"", 116, 43, 103, 14},
    {-1, BUTTON, BS_GROUPBOX | WS_GROUP, L"大文字/小文字", 7, 63, 88, 56},
    {IDC_CASE_UNCHANGED, BUTTON, BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP, L"無変換", 15, 77, 37, 10},
    {IDC_CASE_UPPER, BUTTON, BS_AUTORADIOBUTTON, L"大文字に統一", 15, 91, 57, 10},
    {IDC_CASE_LOWER, BUTTON, BS_AUTORADIOBUTTON, L"小文字に統一", 15, 105, 57, 10},
    {IDC_FULL_PATH, BUTTON, BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP, L"フルパス名で出力", 99, 67, 69, 10},
    {IDC_SHORT_NAMES, BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP, L"短いファイル名 (8.3形式) で出力", 98, 81, 121,
     10},
    {IDC_SUBFOLDERS, BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP, L"サブフォルダのファイルも列挙", 99, 95, 103, 10},
    // One row under the option boxes, after them in tab order.
    {IDC_UTF8, BUTTON, BS_AUTOCHECKBOX | WS_TABSTOP, L"UTF-8 で出力", 99, 109, 60, 10},
    // The bottom row: the second dialog's button at the left, OK and キャンセル
    // at the right, none of them touching.
    {IDC_ADVANCED, BUTTON, BS_PUSHBUTTON | WS_TABSTOP, L"詳細設定...", 7, 123, 38, 14},
    {IDOK, BUTTON, BS_DEFPUSHBUTTON | WS_TABSTOP, L"OK", 116, 123, 50, 14},
    {IDCANCEL, BUTTON, BS_PUSHBUTTON | WS_TABSTOP, L"キャンセル", 169, 123, 50, 14},
};
constexpr int CONTROL_COUNT = sizeof CONTROLS / sizeof CONTROLS[0];

// Reads an extended dialog template field by field.
class template_reader {
public:
    explicit template_reader(const BYTE* data) : p_(data), start_(data) {}
    WORD word() { return take<WORD>(); }
    DWORD dword() { return take<DWORD>(); }
    short coordinate() { return take<short>(); }
    BYTE byte() { return take<BYTE>(); }
    // A name or an ordinal (0xFFFF, then the number).
    std::wstring name_or_ordinal(WORD* ordinal) {
        *ordinal = 0;
        WORD first = word();
        if (first == 0xFFFF) {
            *ordinal = word();
            return L"";
        }
        std::wstring text;
        for (; first != 0; first = word()) text.push_back(static_cast<wchar_t>(first));
        return text;
    }
    void skip(size_t bytes) { p_ += bytes; }
    void align_dword() { p_ = start_ + ((p_ - start_ + 3) & ~static_cast<ptrdiff_t>(3)); }

private:
    template <typename T>
    T take() {
        T value;
        memcpy(&value, p_, sizeof value);
        p_ += sizeof value;
        return value;
    }
    const BYTE* p_;
    const BYTE* start_;
};

// --- Tests ---------------------------------------------------------------------------------

TEST(SettingsDialog, ResourceHoldsEveryControlWithItsKindTextRectangleAndTabOrder) {
    HRSRC found =
        FindResourceA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_SETTINGS), MAKEINTRESOURCEA(5));
    ASSERT_NE(found, nullptr) << "no dialog resource 124";
    template_reader in(
        static_cast<const BYTE*>(LockResource(LoadResource(GetModuleHandleA(nullptr), found))));

    EXPECT_EQ(in.word(), 1);       // extended template
    EXPECT_EQ(in.word(), 0xFFFF);  // its signature
    in.dword();                    // help id
    EXPECT_EQ(in.dword(), 0u) << "no extended style";
    EXPECT_EQ(in.dword(),
              static_cast<DWORD>(WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | DS_SETFONT));
    const WORD count = in.word();
    ASSERT_EQ(count, CONTROL_COUNT);
    in.coordinate();
    in.coordinate();
    EXPECT_EQ(in.coordinate(), 226);
    EXPECT_EQ(in.coordinate(), 144) << "one row taller than before the UTF-8 box";
    WORD ordinal;
    EXPECT_EQ(in.name_or_ordinal(&ordinal), L"") << "no menu";
    EXPECT_EQ(in.name_or_ordinal(&ordinal), L"") << "the standard dialog class";
    EXPECT_EQ(in.name_or_ordinal(&ordinal), L"Scrivlet");
    EXPECT_EQ(in.word(), 9) << "points";
    EXPECT_EQ(in.word(), 400) << "weight";
    EXPECT_EQ(in.byte(), 0) << "italic";
    EXPECT_EQ(in.byte(), 0x80) << "Shift-JIS character set";
    EXPECT_EQ(in.name_or_ordinal(&ordinal), L"ＭＳ Ｐゴシック");

    for (const expected_control_t& want : CONTROLS) {
        SCOPED_TRACE(testing::Message() << "control " << (&want - CONTROLS) << ", id " << want.id);
        in.align_dword();
        in.dword();  // help id
        EXPECT_EQ(in.dword(), 0u) << "extended style";
        EXPECT_EQ(in.dword(), WS_CHILD | WS_VISIBLE | want.style);
        EXPECT_EQ(in.coordinate(), want.x);
        EXPECT_EQ(in.coordinate(), want.y);
        EXPECT_EQ(in.coordinate(), want.cx);
        EXPECT_EQ(in.coordinate(), want.cy);
        EXPECT_EQ(static_cast<int>(in.dword()), want.id);
        WORD atom;
        EXPECT_EQ(in.name_or_ordinal(&atom), L"");
        EXPECT_EQ(atom, want.class_atom);
        EXPECT_EQ(in.name_or_ordinal(&ordinal), want.text);
        in.skip(in.word());  // creation data
    }
}

TEST(SettingsDialog, OpensFilledFromTheDefaultsWithControlsWhereTheTemplatePutsThem) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);

    char caption[32] = "";
    GetWindowTextA(s.dialog(), caption, sizeof caption);
    EXPECT_STREQ(caption, "Scrivlet");
    LOGFONTA font{};
    GetObjectA(reinterpret_cast<HFONT>(SendMessageA(s.dialog(), WM_GETFONT, 0, 0)), sizeof font, &font);
    EXPECT_STREQ(font.lfFaceName, "ＭＳ Ｐゴシック");

    // Pixels from dialog units as the dialog manager maps them; the early
    // size messages of creation neither shrank the dialog nor moved controls.
    RECT units = {0, 0, 4, 8};
    MapDialogRect(s.dialog(), &units);
    auto px = [&](int x) { return MulDiv(x, units.right, 4); };
    auto py = [&](int y) { return MulDiv(y, units.bottom, 8); };
    RECT client;
    GetClientRect(s.dialog(), &client);
    EXPECT_EQ(client.right, px(226));
    EXPECT_EQ(client.bottom, py(144));
    int index = 0;
    for (HWND child = GetWindow(s.dialog(), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT), ++index) {
        ASSERT_LT(index, CONTROL_COUNT);
        const expected_control_t& want = CONTROLS[index];
        SCOPED_TRACE(testing::Message() << "control " << index << ", id " << want.id);
        EXPECT_EQ(LOWORD(GetDlgCtrlID(child)), LOWORD(want.id)) << "tab order";
        const RECT r = s.rect_of(child);
        EXPECT_EQ(r.left, px(want.x));
        EXPECT_EQ(r.top, py(want.y));
        EXPECT_EQ(r.right - r.left, px(want.cx));
        // A combo box window is as tall as its closed list.
        if (want.id != IDC_FILTER_KIND) {
            EXPECT_EQ(r.bottom - r.top, py(want.cy));
        }
    }
    EXPECT_EQ(index, CONTROL_COUNT);

    EXPECT_EQ(s.text(IDC_FOLDER), "");
    EXPECT_EQ(s.text(IDC_OUTPUT_FILE), "");
    EXPECT_EQ(s.text(IDC_FILTER_TEXT), "");
    EXPECT_EQ(s.selected_filter_label(), "フィルタなし");
    EXPECT_EQ(SendMessageA(s.item(IDC_FILTER_KIND), CB_GETCOUNT, 0, 0), 3);
    EXPECT_FALSE(s.enabled(IDC_FILTER_TEXT));
    EXPECT_TRUE(s.checked(IDC_FULL_PATH));
    EXPECT_FALSE(s.checked(IDC_SUBFOLDERS));
    EXPECT_FALSE(s.checked(IDC_SHORT_NAMES));
    EXPECT_TRUE(s.checked(IDC_CASE_UNCHANGED));
    EXPECT_FALSE(s.checked(IDC_CASE_UPPER));
    EXPECT_FALSE(s.checked(IDC_CASE_LOWER));
    EXPECT_FALSE(s.enabled(IDOK));
    EXPECT_FALSE(s.enabled(IDC_AUTO_FOLDER));
    EXPECT_FALSE(s.enabled(IDC_AUTO_OUTPUT));
    EXPECT_TRUE(s.enabled(IDCANCEL));
    EXPECT_EQ(s.focus(), s.item(IDC_FOLDER)) << "the first tab stop has the focus";
    EXPECT_FALSE(IsTopmost(s.dialog()));
    EXPECT_NE(SendMessageA(s.dialog(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageA(s.dialog(), WM_GETICON, ICON_SMALL, 0), 0);
    EXPECT_EQ(SendMessageA(s.item(IDC_FOLDER), EM_GETLIMITTEXT, 0, 0), 32767) << "as long as a path may be";
    EXPECT_EQ(SendMessageA(s.item(IDC_OUTPUT_FILE), EM_GETLIMITTEXT, 0, 0), 32767);
    EXPECT_EQ(SendMessageA(s.item(IDC_FILTER_TEXT), EM_GETLIMITTEXT, 0, 0), 260);

    // The two new items, a separator, then Close (Wine adds items of its own after it).
    HMENU menu = GetSystemMenu(s.dialog(), FALSE);
    const int close = FindSysMenuClosePos(menu);
    ASSERT_GE(close, 3);
    EXPECT_EQ(GetMenuItemID(menu, close - 3), static_cast<UINT>(IDM_TOPMOST));
    EXPECT_EQ(GetMenuItemID(menu, close - 2), static_cast<UINT>(IDM_ABOUT));
    EXPECT_NE(GetMenuState(menu, close - 1, MF_BYPOSITION) & MF_SEPARATOR, 0u);
    char item_text[64] = "";
    GetMenuStringA(menu, IDM_TOPMOST, item_text, sizeof item_text, MF_BYCOMMAND);
    EXPECT_STREQ(item_text, "常に最前面に表示(&T)");
    GetMenuStringA(menu, IDM_ABOUT, item_text, sizeof item_text, MF_BYCOMMAND);
    EXPECT_STREQ(item_text, "バージョン情報(&A)...");
}

TEST(SettingsDialog, EnablingFollowsTheBoxesAsTheyAreTypedAndFilled) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);

    s.type(IDC_FOLDER, "C");
    EXPECT_TRUE(s.enabled(IDC_AUTO_OUTPUT)) << "one typed character is enough";
    EXPECT_FALSE(s.enabled(IDC_AUTO_FOLDER));
    EXPECT_FALSE(s.enabled(IDOK));
    s.type(IDC_OUTPUT_FILE, "l");
    EXPECT_TRUE(s.enabled(IDOK));
    EXPECT_TRUE(s.enabled(IDC_AUTO_FOLDER));

    s.set_text(IDC_FOLDER, "");
    EXPECT_FALSE(s.enabled(IDOK));
    EXPECT_FALSE(s.enabled(IDC_AUTO_OUTPUT));
    EXPECT_TRUE(s.enabled(IDC_AUTO_FOLDER));

    // The folder row's "自動" fills the folder box from the output box, and
    // OK follows at once.
    s.set_text(IDC_OUTPUT_FILE, "C:\\Data\\list.txt");
    s.click(IDC_AUTO_FOLDER);
    EXPECT_EQ(s.text(IDC_FOLDER), "C:\\Data\\");
    EXPECT_TRUE(s.enabled(IDOK));

    s.set_text(IDC_OUTPUT_FILE, "");
    EXPECT_FALSE(s.enabled(IDOK));
    s.set_text(IDC_FOLDER, "C:\\Data\\Photos");
    s.click(IDC_AUTO_OUTPUT);
    EXPECT_EQ(s.text(IDC_OUTPUT_FILE), "C:\\Data\\Photos.txt");
    EXPECT_TRUE(s.enabled(IDOK));

    // A path box takes a path longer than the classic calls do; the filter
    // box stops at 260 bytes.
    s.set_text(IDC_FOLDER, "");
    s.type(IDC_FOLDER, std::string(600, 'x').c_str());
    EXPECT_EQ(s.text(IDC_FOLDER).size(), 600u);
    s.choose_filter_kind(1);
    s.type(IDC_FILTER_TEXT, std::string(300, 'x').c_str());
    EXPECT_EQ(s.text(IDC_FILTER_TEXT).size(), 260u);
}

// Clicks a "参照..." button the way a user does (posted: the chooser runs
// modally on the dialog's thread) and waits for the chooser to show.
HWND open_chooser(const dialog_session& s, int button) {
    s.post_click(s.item(button));
    return s.wait_for_owned(s.dialog());
}

// True once the window has gone and the dialog's own loop runs again.
bool wait_gone(const dialog_session& s, HWND window) {
    const DWORD start = GetTickCount();
    while (IsWindow(window)) {
        if (GetTickCount() - start >= SAFETY_LIMIT_MS) return false;
        Sleep(10);
    }
    SendMessageA(s.dialog(), WM_NULL, 0, 0);
    return true;
}

// Confirms the chooser; true once the dialog has taken its answer.
bool confirm_chooser(const dialog_session& s, HWND chooser) {
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
    return wait_gone(s, chooser);
}

TEST(SettingsDialog, BrowseButtonsFillTheirBoxesThroughTheChoosersAndOkFollows) {
    test::temp_dir dir;
    const std::string chosen = dir.join("Chosen");
    test::make_folder(chosen);
    test::settle_access_times(chosen);
    dialog_session s(param_with(dir.path(), ""));
    ASSERT_NE(s.dialog(), nullptr);
    EXPECT_FALSE(s.enabled(IDOK));

    HWND save = open_chooser(s, IDC_BROWSE_OUTPUT);
    ASSERT_NE(save, nullptr) << "the save chooser did not come up";
    HWND name_box = GetDlgItem(save, cmb13);  // a combo box or an edit box, by version
    if (!name_box) name_box = GetDlgItem(save, edt1);
    SetWindowTextA(name_box, dir.join("list").c_str());
    ASSERT_TRUE(confirm_chooser(s, save));
    EXPECT_EQ(s.text(IDC_OUTPUT_FILE), dir.join("list.txt")) << "a name without an extension is a text file";
    EXPECT_TRUE(s.enabled(IDOK)) << "a box filled by its chooser enables OK at once";

    HWND browser = open_chooser(s, IDC_BROWSE_FOLDER);
    ASSERT_NE(browser, nullptr) << "the folder browser did not come up";
    SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
    ASSERT_TRUE(confirm_chooser(s, browser));
    EXPECT_EQ(s.text(IDC_FOLDER), chosen);
    EXPECT_FALSE(s.ended()) << "a chooser only fills a box";
}

// é, an emoji and Hangul: none of them in code page 932.
const std::wstring WIDE_NAME = L"caf\u00e9 \U0001F600 \uD55C\uAE00";

TEST(SettingsDialog, WidePathsFromBothChoosersReachTheRecordWhole) {
    test::temp_dir dir;
    const std::wstring top = test::native(dir.path());
    const std::wstring chosen = top + L"\\" + WIDE_NAME;
    const std::wstring list = top + L"\\" + WIDE_NAME + L".txt";
    ASSERT_TRUE(CreateDirectoryW(chosen.c_str(), nullptr));
    test::settle_access_times(dir.path());
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);

    HWND save = open_chooser(s, IDC_BROWSE_OUTPUT);
    ASSERT_NE(save, nullptr) << "the save chooser did not come up";
    HWND name_box = GetDlgItem(save, cmb13);
    if (!name_box) name_box = GetDlgItem(save, edt1);
    SetWindowTextW(name_box, list.c_str());
    ASSERT_TRUE(confirm_chooser(s, save));
    EXPECT_EQ(s.wide_text(IDC_OUTPUT_FILE), list);

    HWND browser = open_chooser(s, IDC_BROWSE_FOLDER);
    ASSERT_NE(browser, nullptr) << "the folder browser did not come up";
    SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, reinterpret_cast<LPARAM>(chosen.c_str()));
    ASSERT_TRUE(confirm_chooser(s, browser));
    EXPECT_EQ(s.wide_text(IDC_FOLDER), chosen);

    s.click(IDOK);
    ASSERT_TRUE(s.finish());
    EXPECT_STREQ(s.param().folder.native, chosen.c_str());
    EXPECT_STREQ(s.param().output_file.native, list.c_str());
    EXPECT_EQ(std::string(s.param().folder.text), dir.path() + "\\caf? ? ??")
        << "\"?\" for what the code page lacks";
}

TEST(SettingsDialog, WidePathsTypedIntoBothBoxesReachTheRecordWhole) {
    test::temp_dir dir;
    const std::wstring top = test::native(dir.path());
    // Longer than the classic calls take: about 600 units of folder path.
    std::wstring folder = top;
    while (folder.size() < 600) {
        folder += L"\\" + WIDE_NAME + L" " + std::wstring(40, L'd');
        ASSERT_TRUE(CreateDirectoryW((L"\\\\?\\" + folder).c_str(), nullptr));
    }
    const std::wstring list = folder + L"\\r\u00e9sum\u00e9.txt";
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);
    s.set_wide_text(IDC_FOLDER, folder);
    s.set_wide_text(IDC_OUTPUT_FILE, list);
    s.click(IDC_UTF8);
    s.click(IDOK);
    ASSERT_TRUE(s.finish()) << "both paths exist: OK ends the dialog";
    EXPECT_STREQ(s.param().folder.native, folder.c_str());
    EXPECT_STREQ(s.param().output_file.native, list.c_str());
    EXPECT_EQ(s.param().flags, FLAG_FULL_PATH | FLAG_UTF8) << "the new box sets its flag";
}

TEST(SettingsDialog, TheUtf8BoxShowsTheFlagAndComesAfterTheOptionBoxes) {
    dialog_param_t opened = default_param();
    opened.flags = FLAG_UTF8;
    dialog_session s(opened);
    ASSERT_NE(s.dialog(), nullptr);
    EXPECT_TRUE(s.checked(IDC_UTF8));
    EXPECT_FALSE(s.checked(IDC_FULL_PATH));
    EXPECT_EQ(GetNextDlgTabItem(s.dialog(), s.item(IDC_SUBFOLDERS), FALSE), s.item(IDC_UTF8));
    // OK is disabled without paths, so the tab order is read from the window order.
    EXPECT_EQ(GetWindow(s.item(IDC_UTF8), GW_HWNDNEXT), s.item(IDC_ADVANCED));
    EXPECT_EQ(GetWindow(s.item(IDC_ADVANCED), GW_HWNDNEXT), s.item(IDOK));
    const RECT box = s.rect_of(s.item(IDC_UTF8));
    const RECT above = s.rect_of(s.item(IDC_SUBFOLDERS));
    EXPECT_EQ(box.left, above.left) << "in the column of the option boxes";
    EXPECT_GT(box.top, above.bottom) << "under them";
    EXPECT_GE(s.rect_of(s.item(IDOK)).top, box.bottom) << "OK below it";
    s.click(IDC_UTF8);
    s.click(IDC_FULL_PATH);
    s.click(IDC_CASE_UNCHANGED);
    EXPECT_FALSE(s.checked(IDC_UTF8));
}

TEST(SettingsDialog, FilterBoxAndItsTipFollowTheFilterKind) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);
    ASSERT_NE(s.tooltip(), nullptr);
    EXPECT_EQ(SendMessageA(s.tooltip(), TTM_GETMAXTIPWIDTH, 0, 0), 0xFFFF) << "CR LF breaks the tip's lines";

    struct kind_case_t {
        int index;
        const char* label;
        bool box_enabled;
        const char* tip;
    };
    const kind_case_t cases[] = {
        {1, "ワイルドカード", true,
         "ワイルドカードによる一致で絞り込みます。\r\n"
         "　? => 任意の 1 文字\r\n"
         "　* => 0 文字以上の文字の並び"},
        {2, "正規表現", true,
         "正規表現による検索で絞り込みます。\r\n"
         "完全一致するファイル名のみを対象としたい場合は\r\n"
         "正規表現を行頭指定 ^ と行末指定 $ で挟みます。"},
        {0, "フィルタなし", false, ""},
        {2, "正規表現", true, nullptr},
    };
    EXPECT_EQ(s.tip_text(), "");
    for (const kind_case_t& c : cases) {
        SCOPED_TRACE(c.label);
        s.choose_filter_kind(c.index);
        EXPECT_EQ(s.selected_filter_label(), c.label);
        EXPECT_EQ(s.enabled(IDC_FILTER_TEXT), c.box_enabled);
        if (c.tip) {
            EXPECT_EQ(s.tip_text(), c.tip);
        }
        EXPECT_EQ(SendMessageA(s.tooltip(), TTM_GETTOOLCOUNT, 0, 0), 1)
            << "the filter box stays the only tool";
    }
    const std::string regexp_tip = s.tip_text();
    EXPECT_EQ(std::count(regexp_tip.begin(), regexp_tip.end(), '\n'), 2) << "three lines";
}

TEST(SettingsDialog, OkWithAMissingFolderTellsSoAndFocusesTheFolderBox) {
    test::temp_dir dir;
    const std::string missing = dir.join("missing");
    // Both missing: only the folder is reported.
    dialog_session s(param_with(missing, dir.join("gone\\list.txt")));
    ASSERT_NE(s.dialog(), nullptr);

    s.click(IDOK);
    ASSERT_EQ(recorded_boxes.size(), 1u);
    EXPECT_EQ(recorded_boxes[0].text, std::string(FOLDER_NOT_FOUND) + "\n" + missing)
        << "named on a line of its own";
    EXPECT_EQ(recorded_boxes[0].caption, "Scrivlet");
    EXPECT_EQ(recorded_boxes[0].owner, s.dialog());
    EXPECT_EQ(recorded_boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    EXPECT_FALSE(s.ended()) << "the dialog stays open";
    EXPECT_EQ(s.focus(), s.item(IDC_FOLDER));
    EXPECT_TRUE(s.whole_text_selected(IDC_FOLDER));

    // The output box is tested on the next OK, silently.
    s.set_text(IDC_FOLDER, dir.path().c_str());
    s.click(IDOK);
    EXPECT_EQ(recorded_boxes.size(), 1u) << "no message for the output file";
    EXPECT_FALSE(s.ended());
    EXPECT_EQ(s.focus(), s.item(IDC_OUTPUT_FILE));
    EXPECT_TRUE(s.whole_text_selected(IDC_OUTPUT_FILE));

    s.click(IDCANCEL);
    EXPECT_FALSE(s.finish());
    EXPECT_TRUE(same_record(s.param(), param_with(missing, dir.join("gone\\list.txt")))) << "nothing written";
}

TEST(SettingsDialog, OkAcceptsAFileAsFolderAndAnOutputEndingInABackslash) {
    test::temp_dir dir;
    test::write_file(dir.join("a file"), "x");
    test::make_folder(dir.join("out"));
    dialog_session s(param_with(dir.join("a file"), dir.join("out\\")));
    ASSERT_NE(s.dialog(), nullptr);
    s.click(IDOK);
    EXPECT_TRUE(s.finish());
    EXPECT_TRUE(recorded_boxes.empty());
    EXPECT_STREQ(s.param().folder.text, dir.join("a file").c_str());
    EXPECT_STREQ(s.param().output_file.text, dir.join("out\\").c_str()) << "stored as typed";
}

TEST(SettingsDialog, UntouchedOkWritesBackWhatItOpenedWithInItsOwnTerms) {
    test::temp_dir dir;
    dialog_param_t opened = param_with(dir.path(), dir.join("list.txt"));
    // 258 single bytes and then 表: a cut at 259 bytes would split it.
    const std::string long_filter = std::string(258, 'a') + "表" + std::string(40, 'b');
    strcpy(opened.filter_text, long_filter.c_str());
    opened.filter_kind = 999;  // no such kind
    opened.flags = 0xF0 | FLAG_SUBFOLDERS | FLAG_SHORT_NAMES;
    opened.case_mode = CASE_LOWER;

    dialog_session s(opened);
    ASSERT_NE(s.dialog(), nullptr);
    EXPECT_EQ(s.selected_filter_label(), "フィルタなし");
    EXPECT_FALSE(s.enabled(IDC_FILTER_TEXT));
    EXPECT_TRUE(s.checked(IDC_CASE_LOWER));
    EXPECT_FALSE(s.checked(IDC_FULL_PATH));
    s.click(IDOK);
    ASSERT_TRUE(s.finish());

    const dialog_param_t& got = s.param();
    EXPECT_STREQ(got.folder.native, opened.folder.native);
    EXPECT_STREQ(got.output_file.native, opened.output_file.native);
    EXPECT_EQ(std::string(got.filter_text), std::string(258, 'a')) << "cut before the double-byte character";
    EXPECT_EQ(got.filter_kind, FILTER_NONE);
    EXPECT_EQ(got.flags, FLAG_SUBFOLDERS | FLAG_SHORT_NAMES);
    EXPECT_EQ(got.case_mode, CASE_LOWER);
}

TEST(SettingsDialog, OkStoresWhatTheUserChose) {
    test::temp_dir dir;
    dialog_param_t opened = param_with(dir.path(), dir.join("list.txt"));
    opened.case_mode = 7;  // no radio button stands for it
    opened.flags = FLAG_FULL_PATH;
    dialog_session s(opened);
    ASSERT_NE(s.dialog(), nullptr);
    EXPECT_FALSE(s.checked(IDC_CASE_UNCHANGED) || s.checked(IDC_CASE_UPPER) || s.checked(IDC_CASE_LOWER));

    s.choose_filter_kind(1);
    s.type(IDC_FILTER_TEXT, "*.txt;*.log");
    s.click(IDC_CASE_UPPER);
    s.click(IDC_FULL_PATH);
    s.click(IDC_SUBFOLDERS);
    s.click(IDOK);
    ASSERT_TRUE(s.finish());
    EXPECT_STREQ(s.param().filter_text, "*.txt;*.log");
    EXPECT_EQ(s.param().filter_kind, FILTER_WILDCARD);
    EXPECT_EQ(s.param().flags, FLAG_SUBFOLDERS);
    EXPECT_EQ(s.param().case_mode, CASE_UPPER);

    dialog_session unchanged(opened);
    ASSERT_NE(unchanged.dialog(), nullptr);
    unchanged.click(IDOK);
    ASSERT_TRUE(unchanged.finish());
    EXPECT_EQ(unchanged.param().case_mode, CASE_UNCHANGED) << "no radio button checked";
}

TEST(SettingsDialog, CancelEscAndTheCloseBoxLeaveTheRecordUntouched) {
    test::temp_dir dir;
    const dialog_param_t opened = param_with(dir.path(), dir.join("list.txt"));
    const UINT closers[][2] = {{WM_COMMAND, IDCANCEL}, {WM_SYSCOMMAND, SC_CLOSE}};
    for (const auto& closer : closers) {
        dialog_session s(opened);
        ASSERT_NE(s.dialog(), nullptr);
        s.set_text(IDC_FILTER_TEXT, "changed");
        s.click(IDC_SUBFOLDERS);
        SendMessageA(s.dialog(), closer[0], closer[1], 0);
        EXPECT_FALSE(s.finish());
        EXPECT_TRUE(same_record(s.param(), opened));
    }
    dialog_session s(opened);
    ASSERT_NE(s.dialog(), nullptr);
    PostMessageA(s.item(IDC_FOLDER), WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(s.finish());
    EXPECT_TRUE(same_record(s.param(), opened));
}

// Rectangles of every child, in tab order.
std::vector<RECT> control_rects(const dialog_session& s) {
    std::vector<RECT> rects;
    for (HWND child = GetWindow(s.dialog(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        rects.push_back(s.rect_of(child));
    }
    return rects;
}

bool moves_with_the_right_edge(int id) {
    return id == IDC_BROWSE_FOLDER || id == IDC_AUTO_FOLDER || id == IDC_BROWSE_OUTPUT ||
           id == IDC_AUTO_OUTPUT || id == IDOK || id == IDCANCEL;
}
bool stretches(int id) {
    return id == IDC_FOLDER || id == IDC_OUTPUT_FILE || id == IDC_FILTER_TEXT;
}

void expect_layout(const std::vector<RECT>& before, const std::vector<RECT>& after, int dx) {
    ASSERT_EQ(after.size(), static_cast<size_t>(CONTROL_COUNT));
    for (int i = 0; i < CONTROL_COUNT; ++i) {
        const int id = CONTROLS[i].id;
        RECT want = before[i];
        if (moves_with_the_right_edge(id)) OffsetRect(&want, dx, 0);
        if (stretches(id)) want.right += dx;
        EXPECT_TRUE(EqualRect(&want, &after[i])) << "control " << i << ", id " << id << ": got "
                                                 << rect_text(after[i]) << ", want " << rect_text(want);
    }
}

TEST(SettingsDialog, WideningMovesAndStretchesTheListedControlsAndNothingElse) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);
    RECT opened;
    GetWindowRect(s.dialog(), &opened);
    const int width = RectWidth(&opened), height = RectHeight(&opened);
    const int client_width = s.client_width();
    const std::vector<RECT> before = control_rects(s);

    SetWindowPos(s.dialog(), nullptr, 0, 0, width + 40, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(s.client_width(), client_width + 40);
    const std::vector<RECT> widened = control_rects(s);
    expect_layout(before, widened, 40);

    ShowWindow(s.dialog(), SW_MINIMIZE);
    EXPECT_TRUE(IsIconic(s.dialog()));
    ShowWindow(s.dialog(), SW_RESTORE);
    EXPECT_EQ(s.client_width(), client_width + 40);
    expect_layout(widened, control_rects(s), 0);

    // Neither narrower than it opened nor another height.
    SetWindowPos(s.dialog(), nullptr, 0, 0, width - 40, height + 40,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(GetWindowWidth(s.dialog()), width);
    EXPECT_EQ(GetWindowHeight(s.dialog()), height);
    expect_layout(before, control_rects(s), 0);
    MINMAXINFO limits{};
    limits.ptMaxTrackSize = {5000, 5000};
    SendMessageA(s.dialog(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, width);
    EXPECT_EQ(limits.ptMinTrackSize.y, height);
    EXPECT_EQ(limits.ptMaxTrackSize.y, height);
    EXPECT_EQ(limits.ptMaxTrackSize.x, 5000) << "widening has no limit";

    // Widened, then closed: the next showing opens as the template says.
    SetWindowPos(s.dialog(), nullptr, 0, 0, width + 40, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    s.click(IDCANCEL);
    s.finish();
    dialog_session again(default_param());
    ASSERT_NE(again.dialog(), nullptr);
    EXPECT_EQ(GetWindowWidth(again.dialog()), width);
    expect_layout(before, control_rects(again), 0);
}

// The pixels on the screen where a window is.
std::vector<COLORREF> pixels_shown(HWND window) {
    RECT r;
    GetWindowRect(window, &r);
    const int width = RectWidth(&r), height = RectHeight(&r);
    HDC screen = GetDC(nullptr);
    HDC copy = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
    HGDIOBJ old = SelectObject(copy, bitmap);
    BitBlt(copy, 0, 0, width, height, screen, r.left, r.top, SRCCOPY);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) pixels.push_back(GetPixel(copy, x, y));
    }
    SelectObject(copy, old);
    DeleteObject(bitmap);
    DeleteDC(copy);
    ReleaseDC(nullptr, screen);
    return pixels;
}

// Wine showed the buttons that follow the right edge as they were before the
// move (or blank) until the mouse passed over them. A moved button must look
// on the screen as it did before, once what is left to paint is painted.
TEST(SettingsDialog, WideningShowsTheMovedButtonsAtOnce) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);
    const int moved[] = {IDC_BROWSE_FOLDER, IDC_AUTO_FOLDER, IDC_BROWSE_OUTPUT, IDC_AUTO_OUTPUT, IDOK,
                         IDCANCEL};
    RedrawWindow(s.dialog(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    std::vector<std::vector<COLORREF>> before;
    for (int id : moved) before.push_back(pixels_shown(s.item(id)));

    RECT opened;
    GetWindowRect(s.dialog(), &opened);
    SetWindowPos(s.dialog(), nullptr, 0, 0, RectWidth(&opened) + 60, RectHeight(&opened),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    RedrawWindow(s.dialog(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    for (size_t i = 0; i < before.size(); ++i) {
        EXPECT_TRUE(pixels_shown(s.item(moved[i])) == before[i])
            << "button " << moved[i] << " is not shown as it is";
    }
}

TEST(SettingsDialog, SizeQueriesBeforeInitialisationChangeNothing) {
    // While creating the dialog the system asks for limits before the sizes
    // are recorded; they must not clamp the window to nothing.
    MINMAXINFO limits{};
    limits.ptMinTrackSize = {11, 12};
    limits.ptMaxTrackSize = {1300, 1400};
    settings_dialog_proc(GetDesktopWindow(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, 11);
    EXPECT_EQ(limits.ptMinTrackSize.y, 12);
    EXPECT_EQ(limits.ptMaxTrackSize.x, 1300);
    EXPECT_EQ(limits.ptMaxTrackSize.y, 1400);
}

TEST(SettingsDialog, BackgroundDragsAndOnlyTheSideEdgesSize) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);
    RECT w;
    GetWindowRect(s.dialog(), &w);
    RECT client;
    GetClientRect(s.dialog(), &client);
    MapWindowPoints(s.dialog(), HWND_DESKTOP, reinterpret_cast<POINT*>(&client), 2);
    const int mid_x = (w.left + w.right) / 2, mid_y = (client.top + client.bottom) / 2;
    const int edge = 1;  // one pixel inside the sizing frame

    struct hit_case_t {
        const char* where;
        POINT point;
        LRESULT want;
    };
    const hit_case_t cases[] = {
        {"client area", {mid_x, mid_y}, HTCAPTION},
        {"top edge", {mid_x, w.top + edge}, HTBORDER},
        {"bottom edge", {mid_x, w.bottom - 1 - edge}, HTBORDER},
        {"top-left corner", {w.left + edge, w.top + edge}, HTLEFT},
        {"bottom-left corner", {w.left + edge, w.bottom - 1 - edge}, HTLEFT},
        {"top-right corner", {w.right - 1 - edge, w.top + edge}, HTRIGHT},
        {"bottom-right corner", {w.right - 1 - edge, w.bottom - 1 - edge}, HTRIGHT},
        {"left edge", {w.left + edge, mid_y}, HTLEFT},
        {"right edge", {w.right - 1 - edge, mid_y}, HTRIGHT},
        {"caption", {mid_x, client.top - GetSystemMetrics(SM_CYCAPTION) / 2}, HTCAPTION},
    };
    for (const hit_case_t& c : cases) {
        EXPECT_EQ(SendMessageA(s.dialog(), WM_NCHITTEST, 0, MAKELPARAM(c.point.x, c.point.y)), c.want)
            << c.where;
    }
}

TEST(SettingsDialog, AlwaysOnTopTwiceReturnsToNormalAndTheMarkFollows) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);
    HMENU menu = GetSystemMenu(s.dialog(), FALSE);
    auto mark_when_menu_opens = [&] {
        SendMessageA(s.dialog(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(menu), MAKELPARAM(0, TRUE));
        return (GetMenuState(menu, IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED) != 0;
    };
    EXPECT_FALSE(mark_when_menu_opens());

    auto choose_topmost_item = [&] { SendMessageA(s.dialog(), WM_SYSCOMMAND, IDM_TOPMOST, 0); };
    choose_topmost_item();
    EXPECT_TRUE(IsTopmost(s.dialog()));
    EXPECT_TRUE(mark_when_menu_opens());
    choose_topmost_item();
    EXPECT_FALSE(IsTopmost(s.dialog()));
    EXPECT_FALSE(mark_when_menu_opens());

    // The mark and the command follow the real state, also when something
    // else changed it.
    choose_topmost_item();
    SetNotTopmost(s.dialog());
    EXPECT_FALSE(mark_when_menu_opens());
    choose_topmost_item();
    EXPECT_TRUE(IsTopmost(s.dialog()));
    EXPECT_TRUE(mark_when_menu_opens());
    EXPECT_FALSE(s.ended()) << "the command leaves the dialog open";
}

// --- Nothing replaced by surprise ------------------------------------------------------

// A list file that is there (as a document given alone on the command line
// lands in the list file's box) is replaced only after a yes; a no returns
// to the box.
TEST(SettingsDialog, OkAsksBeforeReplacingAFileAndNoReturnsToTheListFileBox) {
    test::temp_dir dir;
    const std::string document = dir.join("report.txt");
    test::write_file(document, "kept");
    dialog_session s(param_with(dir.path(), document));
    ASSERT_NE(s.dialog(), nullptr);

    box_answers = {IDNO};
    s.click(IDOK);
    ASSERT_EQ(recorded_boxes.size(), 1u);
    EXPECT_EQ(recorded_boxes[0].text, "「" + document + "」は既にあります。上書きしますか?");
    EXPECT_EQ(recorded_boxes[0].owner, s.dialog());
    EXPECT_EQ(recorded_boxes[0].style, static_cast<UINT>(MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2))
        << "いいえ is the default answer";
    EXPECT_FALSE(s.ended());
    EXPECT_EQ(s.focus(), s.item(IDC_OUTPUT_FILE));
    EXPECT_TRUE(s.whole_text_selected(IDC_OUTPUT_FILE));

    box_answers = {IDYES};
    s.click(IDOK);
    ASSERT_TRUE(s.finish());
    EXPECT_EQ(recorded_boxes.size(), 2u);
    EXPECT_STREQ(s.param().output_file.text, document.c_str());

    // A new name and a folder are not asked about.
    for (const std::string& output : {dir.join("new.txt"), dir.path()}) {
        dialog_session quiet(param_with(dir.path(), output));
        ASSERT_NE(quiet.dialog(), nullptr);
        quiet.click(IDOK);
        EXPECT_TRUE(quiet.finish()) << output;
        EXPECT_TRUE(recorded_boxes.empty()) << output;
    }
}

// The save chooser asks itself, and a name confirmed there is not asked about
// again; changed afterwards, it is.
TEST(SettingsDialog, TheSaveChoosersQuestionStandsForOk) {
    test::temp_dir dir;
    const std::string existing = dir.join("list.txt");
    test::write_file(existing, "old");
    test::settle_access_times(dir.path());
    dialog_session s(param_with(dir.path(), ""));
    ASSERT_NE(s.dialog(), nullptr);

    HWND save = open_chooser(s, IDC_BROWSE_OUTPUT);
    ASSERT_NE(save, nullptr) << "the save chooser did not come up";
    HWND name_box = GetDlgItem(save, cmb13);
    if (!name_box) name_box = GetDlgItem(save, edt1);
    SetWindowTextA(name_box, existing.c_str());
    PostMessageA(save, WM_COMMAND, IDOK, 0);
    HWND question = s.wait_for_owned(save);
    ASSERT_NE(question, nullptr) << "the chooser did not ask before replacing";
    ASSERT_NE(GetDlgItem(question, IDYES), nullptr) << "a yes/no question";
    PostMessageA(GetDlgItem(question, IDYES), BM_CLICK, 0, 0);
    ASSERT_TRUE(wait_gone(s, save));
    EXPECT_EQ(s.text(IDC_OUTPUT_FILE), existing);

    s.set_text(IDC_OUTPUT_FILE, existing.c_str());  // the same name typed again is still confirmed
    s.click(IDOK);
    ASSERT_TRUE(s.finish());
    EXPECT_TRUE(recorded_boxes.empty()) << "asked once, in the chooser";
}

// "自動" proposes the name /auto would take: the first free one of the series.
TEST(SettingsDialog, AutoProposesTheFirstFreeNameOfTheAutoSeries) {
    test::temp_dir dir;
    const std::string folder = dir.join("logs");
    test::make_folder(folder);
    test::write_file(folder + ".txt", "");
    test::make_folder(folder + "(0).txt");
    dialog_session s(param_with(folder + "\\", ""));
    ASSERT_NE(s.dialog(), nullptr);
    s.click(IDC_AUTO_OUTPUT);
    EXPECT_EQ(s.text(IDC_OUTPUT_FILE), folder + "(1).txt");
    EXPECT_TRUE(recorded_boxes.empty());

    s.set_text(IDC_FOLDER, "C:\\");
    s.click(IDC_AUTO_OUTPUT);
    EXPECT_EQ(s.text(IDC_OUTPUT_FILE), folder + "(1).txt") << "a root has no name to give";
    ASSERT_EQ(recorded_boxes.size(), 1u);
    EXPECT_EQ(recorded_boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONWARNING));
}

// --- Why the dialog opened --------------------------------------------------------------

TEST(SettingsDialog, TheCommandLinesProblemIsShownOverTheDialogThenItsBoxIsSelected) {
    test::temp_dir dir;
    const std::string missing = dir.join("missing");
    const std::string reason = "フォルダ「" + missing + "」が見つかりません。";
    dialog_param_t opened = param_with(missing, dir.join("list.txt"));
    opened.problem = reason.c_str();
    opened.problem_box = DIALOG_BOX_FOLDER;
    dialog_session s(opened);
    ASSERT_NE(s.dialog(), nullptr);
    ASSERT_TRUE(s.wait_for_boxes(1));
    EXPECT_EQ(recorded_boxes[0].text, reason);
    EXPECT_EQ(recorded_boxes[0].owner, s.dialog());
    EXPECT_EQ(recorded_boxes[0].style, static_cast<UINT>(MB_OK | MB_ICONERROR));
    SendMessageA(s.dialog(), WM_NULL, 0, 0);
    EXPECT_TRUE(IsWindowVisible(s.dialog()));
    EXPECT_EQ(s.text(IDC_FOLDER), missing) << "the typed text is kept where it was meant to go";
    EXPECT_EQ(s.focus(), s.item(IDC_FOLDER));
    EXPECT_TRUE(s.whole_text_selected(IDC_FOLDER));
    EXPECT_EQ(recorded_boxes.size(), 1u) << "said once";
}

// --- The version window -----------------------------------------------------------------------

TEST(SettingsDialog, TheVersionItemShowsNameVersionAndLicence) {
    dialog_session s(default_param());
    ASSERT_NE(s.dialog(), nullptr);
    PostMessageA(s.dialog(), WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND about = s.wait_for_owned(s.dialog());
    ASSERT_NE(about, nullptr) << "no version window";
    auto line = [&](int id) {
        wchar_t text[256] = L"";
        GetDlgItemTextW(about, id, text, 256);
        return std::wstring(text);
    };
    EXPECT_EQ(line(IDC_ABOUT_NAME), L"Scrivlet " + test::native(SCRIVLET_VERSION));
    EXPECT_EQ(line(IDC_ABOUT_COPYRIGHT), L"Copyright (c) 2026 Scrivlet developers");
    EXPECT_EQ(line(IDC_ABOUT_LICENCE), L"MIT License") << "the licence of LICENSE, by its name";
    HWND icon = FindWindowExA(about, nullptr, "Static", nullptr);
    ASSERT_NE(icon, nullptr);
    EXPECT_NE(SendMessageA(icon, STM_GETICON, 0, 0), 0) << "the program's icon beside the lines";
    PostMessageA(about, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(wait_gone(s, about));
    EXPECT_FALSE(s.ended()) << "the settings dialog stays";
}

}  // namespace

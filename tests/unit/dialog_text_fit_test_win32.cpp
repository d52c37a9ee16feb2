// Every text of the settings dialog, its 詳細設定 dialog and the version
// window fits its control in the dialog's own font: measured with
// GetTextExtentPoint32 against the room each kind of control leaves for it.
#include <gtest/gtest.h>
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>

#include <string>
#include <vector>

#include "support/dialog_session_win32.h"
#include "ui/settings/settings_ids.h"

namespace {

using test::dialog_session;

// The pixels a kind of control takes besides its text, across and down.
struct chrome_t {
    const char* kind;
    int across;
    int down;
};

// Push buttons: their edges and a little air; check boxes and radio buttons:
// the mark and the gap after it; group boxes: the frame's indent on both
// sides of the title.
chrome_t chrome_of(HWND control) {
    char cls[32] = "";
    GetClassNameA(control, cls, sizeof cls);
    const LONG style = GetWindowLongA(control, GWL_STYLE);
    if (lstrcmpiA(cls, "Button") == 0) {
        switch (style & BS_TYPEMASK) {
            case BS_PUSHBUTTON:
            case BS_DEFPUSHBUTTON:
                return {"push button", 8, 4};
            case BS_GROUPBOX:
                return {"group box", 16, 0};
            default:
                return {"check box", GetSystemMetrics(SM_CXMENUCHECK) + 6, 0};
        }
    }
    if (lstrcmpiA(cls, "Static") == 0 && (style & SS_TYPEMASK) != SS_ICON) return {"label", 0, 0};
    return {nullptr, 0, 0};
}

SIZE text_size(HWND control, const std::wstring& text) {
    HDC dc = GetDC(control);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, text.c_str(), (int)text.size(), &size);
    SelectObject(dc, old);
    ReleaseDC(control, dc);
    return size;
}

// The program's own text, as every test prints it.
std::string shown(const std::wstring& text) {
    char out[512] = "";
    WideCharToMultiByte(932, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return out;
}

// Every item of a drop-down list fits its box, and the list drops down to
// show them all and not more than one row besides.
void expect_combo_fits(HWND combo) {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    ASSERT_TRUE(GetComboBoxInfo(combo, &info));
    const LRESULT count = SendMessageW(combo, CB_GETCOUNT, 0, 0);
    ASSERT_GT(count, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t item[128] = L"";
        SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
        const SIZE size = text_size(combo, item);
        EXPECT_LE(size.cx + 6, info.rcItem.right - info.rcItem.left) << "item " << shown(item) << " is cut";
    }
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    RECT list;
    GetClientRect(info.hwndList, &list);
    SendMessageW(combo, CB_SHOWDROPDOWN, FALSE, 0);
    const LRESULT row = SendMessageW(combo, CB_GETITEMHEIGHT, 0, 0);
    EXPECT_GE(list.bottom, count * row) << "the dropped list hides an item";
    EXPECT_LT(list.bottom, (count + 1) * row) << "the dropped list is taller than its items";
}

// Returns the number of controls looked at.
int expect_texts_fit(HWND dialog) {
    int looked_at = 0;
    for (HWND control = GetWindow(dialog, GW_CHILD); control; control = GetWindow(control, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(control, cls, sizeof cls);
        if (lstrcmpiA(cls, "ComboBox") == 0) {
            SCOPED_TRACE(testing::Message() << "combo box " << GetDlgCtrlID(control));
            expect_combo_fits(control);
            ++looked_at;
            continue;
        }
        const chrome_t chrome = chrome_of(control);
        if (!chrome.kind) continue;
        wchar_t text[256] = L"";
        GetWindowTextW(control, text, 256);
        const SIZE needed = text_size(control, text);
        RECT room;
        GetClientRect(control, &room);
        EXPECT_LE(needed.cx + chrome.across, room.right)
            << chrome.kind << " " << GetDlgCtrlID(control) << " \"" << shown(text) << "\": the text takes "
            << needed.cx << " pixels and " << chrome.across << " more are needed around it";
        EXPECT_LE(needed.cy + chrome.down, room.bottom)
            << chrome.kind << " \"" << shown(text) << "\" is cut below";
        ++looked_at;
    }
    return looked_at;
}

TEST(DialogTextFit, EveryTextFitsItsControlInBothDialogsAndTheVersionWindow) {
    dialog_session s(test::default_param());
    ASSERT_NE(s.dialog(), nullptr);
    {
        SCOPED_TRACE("settings dialog");
        EXPECT_EQ(expect_texts_fit(s.dialog()), 19) << "every control with a text";
    }
    s.post_click(s.item(IDC_ADVANCED));
    HWND advanced = s.wait_for_owned(s.dialog());
    ASSERT_NE(advanced, nullptr);
    {
        SCOPED_TRACE("詳細設定");
        EXPECT_EQ(expect_texts_fit(advanced), 27);
    }
    PostMessageA(advanced, WM_COMMAND, IDCANCEL, 0);
    while (IsWindow(advanced)) Sleep(10);

    PostMessageA(s.dialog(), WM_SYSCOMMAND, IDM_ABOUT, 0);
    HWND about = s.wait_for_owned(s.dialog());
    ASSERT_NE(about, nullptr);
    {
        SCOPED_TRACE("version window");
        EXPECT_EQ(expect_texts_fit(about), 5);
    }
    PostMessageA(about, WM_COMMAND, IDOK, 0);
}

}  // namespace

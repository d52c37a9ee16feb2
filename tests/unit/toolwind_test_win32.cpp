// The window helpers on real windows (under Wine with Xvfb here): the trace
// lines of the handle checks, layout and placement, menus, tooltips, combo
// boxes, icons and window state.
#include <gtest/gtest.h>
#include <stdarg.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "TOOLS/toolwind/window_helpers.h"
// after windows.h, which they need
#include <commctrl.h>
#include <shellapi.h>

#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

const std::string SOURCE = "..\\..\\TOOLS\\toolwind";

// --- Trace recording -----------------------------------------------------------------

std::vector<std::string> trace_lines;

int recording_trace(const char* format, ...) {
    char text[FORMAT_BUFFER_SIZE];
    va_list args;
    va_start(args, format);
    const int length = vsnprintf(text, sizeof text, format, args);
    va_end(args);
    trace_lines.push_back(text);
    return length;
}

// Records the trace lines of one test and puts the previous procedure back.
struct trace_recorder {
    trace_proc_t previous;
    trace_recorder() : previous(SetTraceProc(recording_trace)) { trace_lines.clear(); }
    ~trace_recorder() { SetTraceProc(previous); }
};

std::string trace_line(int line, const char* expression) {
    return SOURCE + "(" + std::to_string(line) + ") : " + expression + " \r\n";
}

// --- Windows ---------------------------------------------------------------------------

// A window destroyed with the test.
struct window {
    HWND hwnd;
    explicit window(HWND h) : hwnd(h) {}
    ~window() {
        if (hwnd) DestroyWindow(hwnd);
    }
    window(const window&) = delete;
    window& operator=(const window&) = delete;
};

HWND make_popup(int x, int y, int width, int height, HWND owner = nullptr, DWORD style = 0) {
    return CreateWindowExA(0, "STATIC", "", WS_POPUP | style, x, y, width, height, owner, nullptr,
                           GetModuleHandleA(nullptr), nullptr);
}

HWND make_child(HWND parent, int id, const char* cls, DWORD style, int x, int y, int width, int height) {
    return CreateWindowExA(0, cls, "", WS_CHILD | WS_VISIBLE | style, x, y, width, height, parent,
                           (HMENU)(INT_PTR)id, GetModuleHandleA(nullptr), nullptr);
}

// The window's rectangle in its parent's client coordinates.
RECT rect_in_parent(HWND child) {
    RECT rect;
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, GetParent(child), (POINT*)&rect, 2);
    return rect;
}

std::string describe(const RECT& r) {
    return "(" + std::to_string(r.left) + "," + std::to_string(r.top) + ")-(" + std::to_string(r.right) +
           "," + std::to_string(r.bottom) + ")";
}

std::string rect_text(int left, int top, int right, int bottom) {
    return describe(RECT{left, top, right, bottom});
}

std::string screen_rect(HWND hwnd) {
    RECT rect;
    GetWindowRect(hwnd, &rect);
    return describe(rect);
}

class ToolwindWindows : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
    }
};

// --- Handle checks ---------------------------------------------------------------------

TEST_F(ToolwindWindows, ChecksWriteTheirTraceLinesInOrder) {
    trace_recorder recorder;
    window dialog(make_popup(0, 0, 100, 100));
    ASSERT_NE(dialog.hwnd, nullptr);
    make_child(dialog.hwnd, 1001, "STATIC", 0, 0, 0, 10, 10);

    EXPECT_TRUE(IsValidWindow(dialog.hwnd));
    EXPECT_TRUE(IsValidDlgItem(dialog.hwnd, 1001));
    EXPECT_TRUE(trace_lines.empty());

    EXPECT_FALSE(IsValidWindow(nullptr));
    EXPECT_EQ(trace_lines, std::vector<std::string>{trace_line(1499, "hWnd")});

    // A missing control: the inner check's line, then the control's.
    trace_lines.clear();
    EXPECT_FALSE(IsValidDlgItem(dialog.hwnd, 1002));
    EXPECT_EQ(trace_lines, (std::vector<std::string>{trace_line(1499, "hWnd"),
                                                     trace_line(1249, "IsValidWindow( hwndCtrl )")}));

    // No dialog: the control is never looked for.
    trace_lines.clear();
    EXPECT_FALSE(IsValidDlgItem(nullptr, 1001));
    EXPECT_EQ(trace_lines, (std::vector<std::string>{trace_line(1499, "hWnd"),
                                                     trace_line(1246, "IsValidWindow( hwndDlg )")}));
}

TEST_F(ToolwindWindows, DestroyedWindowFailsTheSecondCheck) {
    trace_recorder recorder;
    HWND gone = make_popup(0, 0, 10, 10);
    ASSERT_NE(gone, nullptr);
    DestroyWindow(gone);

    EXPECT_FALSE(IsValidWindow(gone));
    EXPECT_EQ(trace_lines, std::vector<std::string>{trace_line(1500, "IsWindow( hWnd )")});

    trace_lines.clear();
    EXPECT_FALSE(IsValidDlgItem(gone, 1));
    EXPECT_EQ(trace_lines, (std::vector<std::string>{trace_line(1500, "IsWindow( hWnd )"),
                                                     trace_line(1246, "IsValidWindow( hwndDlg )")}));
}

TEST(ToolwindTrace, DefaultProcedureCutsLongTextsAndComesBack) {
    EXPECT_EQ(SetTraceProc(recording_trace), DefaultTraceProc);
    EXPECT_EQ(GetTraceProc(), recording_trace);
    EXPECT_EQ(SetTraceProc(nullptr), recording_trace);
    EXPECT_EQ(GetTraceProc(), DefaultTraceProc);
    EXPECT_EQ(DefaultTraceProc("%s", "short"), 5);
    EXPECT_EQ(DefaultTraceProc("%s", std::string(2000, 'x').c_str()), -1);
}

// --- Message box -----------------------------------------------------------------------

TEST(ToolwindMessageBox, LongTextIsCutTo1023Characters) {
    test::os_restore restore;
    test::message_box_record* shown = test::record_message_boxes();
    std::string format;
    for (int i = 0; i < 2000; ++i) format += (char)('a' + i % 26);

    EXPECT_EQ(MessageBoxFormat(nullptr, "Scrivlet", MB_OK, format.c_str(), 0), IDOK);
    EXPECT_EQ(shown->calls, 1);
    EXPECT_EQ(shown->caption, "Scrivlet");
    EXPECT_EQ(shown->text.size(), 1023u);
    EXPECT_EQ(shown->text, format.substr(0, 1023));

    EXPECT_EQ(MessageBoxFormat(nullptr, "Scrivlet", MB_OK, "%d of %s", 3, "\x95\x5C"), IDOK);
    EXPECT_EQ(shown->text, "3 of \x95\x5C");
}

// --- Menus -----------------------------------------------------------------------------

TEST(ToolwindMenus, FindsCloseOnlyWhereItIs) {
    HMENU plain = CreatePopupMenu();
    AppendMenuA(plain, MF_STRING, 1, "one");
    AppendMenuA(plain, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(plain, MF_STRING, 2, "two");
    EXPECT_EQ(FindSysMenuClosePos(plain), -1);
    DestroyMenu(plain);

    HMENU system_like = CreatePopupMenu();
    AppendMenuA(system_like, MF_STRING, SC_RESTORE, "restore");
    AppendMenuA(system_like, MF_STRING, SC_MOVE, "move");
    AppendMenuA(system_like, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(system_like, MF_STRING, SC_CLOSE, "close");
    EXPECT_EQ(FindSysMenuClosePos(system_like), 3);
    // The always-on-top item goes in before Close, after a separator.
    EXPECT_TRUE(InsertMenuSeparator(system_like, 3));
    EXPECT_EQ(FindSysMenuClosePos(system_like), 4);
    EXPECT_EQ(GetMenuState(system_like, 3, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    DestroyMenu(system_like);

    EXPECT_EQ(FindSysMenuClosePos(nullptr), -1);
}

TEST_F(ToolwindWindows, RealSystemMenuHasClose) {
    window frame(CreateWindowExA(0, "STATIC", "", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr));
    ASSERT_NE(frame.hwnd, nullptr);
    HMENU menu = GetSystemMenu(frame.hwnd, FALSE);
    ASSERT_NE(menu, nullptr);
    const int position = FindSysMenuClosePos(menu);
    ASSERT_GE(position, 0);
    EXPECT_EQ(GetMenuItemID(menu, position), (UINT)SC_CLOSE);
}

TEST(ToolwindMenus, TopmostCheckMarkByCommand) {
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 1, "first");
    AppendMenuA(menu, MF_STRING, IDM_TOPMOST, "topmost");

    EXPECT_EQ(CheckTopmostMenuItem(TRUE, menu), (DWORD)MF_UNCHECKED);
    EXPECT_EQ(GetMenuState(menu, IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED, (UINT)MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYCOMMAND) & MF_CHECKED, 0u);
    EXPECT_EQ(CheckTopmostMenuItem(FALSE, menu), (DWORD)MF_CHECKED);
    EXPECT_EQ(GetMenuState(menu, IDM_TOPMOST, MF_BYCOMMAND) & MF_CHECKED, 0u);
    DestroyMenu(menu);

    HMENU without = CreatePopupMenu();
    EXPECT_EQ(CheckTopmostMenuItem(TRUE, without), (DWORD)-1);
    DestroyMenu(without);
}

// The menu is driven from inside its own loop: when it first waits, it is
// sent WM_ENTERIDLE, and the keys posted then choose its second item.
UINT chosen_command;
LRESULT CALLBACK menu_owner_proc(HWND hwnd, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_ENTERIDLE && wparam == MSGF_MENU) {
        HWND menu_window = (HWND)lparam;
        PostMessageA(menu_window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu_window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu_window, WM_KEYDOWN, VK_RETURN, 0);
        return 0;
    }
    if (message == WM_COMMAND) {
        chosen_command = LOWORD(wparam);
        return 0;
    }
    return DefWindowProcA(hwnd, message, wparam, lparam);
}

TEST_F(ToolwindWindows, PopupMenuSendsTheChosenCommand) {
    WNDCLASSA cls = {};
    cls.lpfnWndProc = menu_owner_proc;
    cls.hInstance = GetModuleHandleA(nullptr);
    cls.lpszClassName = "ToolwindMenuOwner";
    RegisterClassA(&cls);
    window owner(CreateWindowExA(0, cls.lpszClassName, "", WS_POPUP | WS_VISIBLE, 50, 50, 100, 100, nullptr,
                                 nullptr, cls.hInstance, nullptr));
    ASSERT_NE(owner.hwnd, nullptr);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 501, "first");
    AppendMenuA(menu, MF_STRING, 502, "second");

    chosen_command = 0;
    ASSERT_TRUE(SetCursorPos(120, 130));
    EXPECT_TRUE(TrackPopupMenuAtCursor(owner.hwnd, menu));
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    EXPECT_EQ(chosen_command, 502u);
    DestroyMenu(menu);
}

// --- Geometry and layout ---------------------------------------------------------------

TEST_F(ToolwindWindows, DeferOffsetMovesRightAndWidensOnly) {
    window dialog(make_popup(100, 80, 400, 300, nullptr, WS_CAPTION));
    ASSERT_NE(dialog.hwnd, nullptr);
    HWND child = make_child(dialog.hwnd, 1001, "BUTTON", 0, 10, 20, 50, 30);
    ASSERT_NE(child, nullptr);

    HDWP batch = BeginDeferWindowPos(1);
    DeferOffsetWindow(&batch, child, 0, 0);
    ASSERT_NE(batch, nullptr);
    ASSERT_TRUE(EndDeferWindowPos(batch));
    EXPECT_EQ(describe(rect_in_parent(child)), rect_text(10, 20, 60, 50));

    batch = BeginDeferWindowPos(1);
    DeferOffsetDlgItem(&batch, dialog.hwnd, 1001, 7, 13);
    ASSERT_TRUE(EndDeferWindowPos(batch));
    EXPECT_EQ(describe(rect_in_parent(child)), rect_text(17, 20, 80, 50));

    // Shrinking works the same way: a negative width change.
    batch = BeginDeferWindowPos(1);
    DeferOffsetWindow(&batch, child, -2, -20);
    ASSERT_TRUE(EndDeferWindowPos(batch));
    EXPECT_EQ(describe(rect_in_parent(child)), rect_text(15, 20, 58, 50));
}

TEST_F(ToolwindWindows, DeferOffsetKeepsOwnedWindowsInScreenCoordinates) {
    window owner(make_popup(100, 80, 400, 300));
    window owned(make_popup(200, 150, 60, 40, owner.hwnd));
    ASSERT_NE(owned.hwnd, nullptr);
    ASSERT_EQ(GetParent(owned.hwnd), owner.hwnd);  // GetParent answers the owner

    HDWP batch = BeginDeferWindowPos(1);
    DeferOffsetWindow(&batch, owned.hwnd, 5, 10);
    ASSERT_TRUE(EndDeferWindowPos(batch));
    EXPECT_EQ(screen_rect(owned.hwnd), rect_text(205, 150, 275, 190));
}

TEST_F(ToolwindWindows, DeferOffsetSkipsAMissingControl) {
    window dialog(make_popup(0, 0, 200, 100));
    HWND child = make_child(dialog.hwnd, 1001, "STATIC", 0, 10, 10, 20, 20);

    HDWP batch = BeginDeferWindowPos(2);
    DeferOffsetDlgItem(&batch, dialog.hwnd, 1234, 5, 5);
    ASSERT_NE(batch, nullptr);  // the batch survives for the windows that exist
    DeferOffsetWindow(&batch, child, 5, 5);
    ASSERT_TRUE(EndDeferWindowPos(batch));
    EXPECT_EQ(describe(rect_in_parent(child)), rect_text(15, 10, 40, 30));
}

TEST_F(ToolwindWindows, SizesAndMoves) {
    window popup(make_popup(30, 40, 123, 45));
    ASSERT_NE(popup.hwnd, nullptr);
    POINT origin = {-1, -1};
    ASSERT_TRUE(GetWindowOrigin(popup.hwnd, &origin));
    EXPECT_EQ(origin.x, 30);
    EXPECT_EQ(origin.y, 40);
    EXPECT_EQ(GetWindowWidth(popup.hwnd), 123);
    EXPECT_EQ(GetWindowHeight(popup.hwnd), 45);

    EXPECT_TRUE(MoveWindowTo(popup.hwnd, 70, 90));
    EXPECT_EQ(screen_rect(popup.hwnd), rect_text(70, 90, 193, 135));

    HWND gone = make_popup(0, 0, 10, 10);
    DestroyWindow(gone);
    SIZE size = {5, 5};
    EXPECT_FALSE(GetWindowSize(gone, &size));
    EXPECT_EQ(GetWindowWidth(gone), 0);
    EXPECT_FALSE(MoveWindowTo(gone, 0, 0));
}

class ToolwindCursor : public ToolwindWindows {
protected:
    RECT area = {};
    void SetUp() override { ASSERT_TRUE(GetWorkArea(&area)); }
    // False when the display does not let the cursor be placed.
    static bool put_cursor(int x, int y) {
        POINT at;
        return SetCursorPos(x, y) && GetCursorPos(&at) && at.x == x && at.y == y;
    }
};

TEST_F(ToolwindCursor, CentresOnTheCursorWithinTheWorkArea) {
    window popup(make_popup(0, 0, 201, 101));
    ASSERT_NE(popup.hwnd, nullptr);
    const int cx = (area.left + area.right) / 2, cy = (area.top + area.bottom) / 2;
    if (!put_cursor(cx, cy)) GTEST_SKIP() << "the display does not move the cursor";

    // Odd sizes: the halves are rounded toward zero.
    ASSERT_TRUE(CenterWindowOnCursor(popup.hwnd));
    EXPECT_EQ(screen_rect(popup.hwnd), rect_text(cx - 100, cy - 50, cx + 101, cy + 51));

    ASSERT_TRUE(put_cursor(area.left, area.top));
    ASSERT_TRUE(CenterWindowOnCursor(popup.hwnd));
    EXPECT_EQ(screen_rect(popup.hwnd), rect_text(area.left, area.top, area.left + 201, area.top + 101));

    ASSERT_TRUE(put_cursor(area.right - 1, area.bottom - 1));
    ASSERT_TRUE(CenterWindowOnCursor(popup.hwnd));
    EXPECT_EQ(screen_rect(popup.hwnd),
              rect_text(area.right - 201, area.bottom - 101, area.right, area.bottom));
}

TEST_F(ToolwindCursor, WindowLargerThanTheWorkAreaKeepsItsTopLeftOnScreen) {
    const int width = RectWidth(&area) + 200, height = RectHeight(&area) + 100;
    window popup(make_popup(0, 0, width, height));
    ASSERT_EQ(GetWindowWidth(popup.hwnd), width);
    if (!put_cursor(area.right - 1, area.bottom - 1)) GTEST_SKIP() << "the display does not move the cursor";

    ASSERT_TRUE(CenterWindowOnCursor(popup.hwnd));
    EXPECT_EQ(screen_rect(popup.hwnd), rect_text(area.left, area.top, area.left + width, area.top + height));
}

TEST_F(ToolwindCursor, ChildIsPlacedInItsParentsClientArea) {
    window parent(make_popup(area.left + 100, area.top + 50, 600, 400));
    HWND child = make_child(parent.hwnd, 1001, "STATIC", 0, 0, 0, 40, 20);
    ASSERT_NE(child, nullptr);
    if (!put_cursor(area.left + 300, area.top + 200)) GTEST_SKIP() << "the display does not move the cursor";

    ASSERT_TRUE(CenterWindowOnCursor(child));
    EXPECT_EQ(screen_rect(child),
              rect_text(area.left + 280, area.top + 190, area.left + 320, area.top + 210));
    EXPECT_EQ(describe(rect_in_parent(child)), rect_text(180, 140, 220, 160));
}

// --- Window state ----------------------------------------------------------------------

TEST_F(ToolwindWindows, TopmostRoundTrip) {
    window popup(make_popup(10, 10, 50, 50));
    ASSERT_NE(popup.hwnd, nullptr);
    EXPECT_FALSE(IsTopmost(popup.hwnd));
    EXPECT_TRUE(SetTopmostState(popup.hwnd, TRUE));
    EXPECT_TRUE(IsTopmost(popup.hwnd));
    EXPECT_TRUE(SetTopmostState(popup.hwnd, TRUE));
    EXPECT_TRUE(IsTopmost(popup.hwnd));
    EXPECT_TRUE(SetTopmostState(popup.hwnd, FALSE));
    EXPECT_FALSE(IsTopmost(popup.hwnd));
    // Only the Z order changed.
    EXPECT_EQ(screen_rect(popup.hwnd), rect_text(10, 10, 60, 60));
}

INT_PTR CALLBACK empty_dialog_proc(HWND, UINT message, WPARAM, LPARAM) {
    return message == WM_INITDIALOG;
}

// A captioned modeless dialog with no controls, as the settings dialog is
// one: the flags must be accepted by a dialog's frame too.
TEST_F(ToolwindWindows, TopmostRoundTripOnADialog) {
    struct {
        DLGTEMPLATE header;
        WORD menu, window_class, title;
    } tmpl = {};
    tmpl.header.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_VISIBLE;
    tmpl.header.x = 10;
    tmpl.header.y = 10;
    tmpl.header.cx = 100;
    tmpl.header.cy = 50;
    window dialog(
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), &tmpl.header, nullptr, empty_dialog_proc, 0));
    ASSERT_NE(dialog.hwnd, nullptr);
    RECT before;
    GetWindowRect(dialog.hwnd, &before);
    EXPECT_TRUE(SetTopmostState(dialog.hwnd, TRUE));
    EXPECT_TRUE(IsTopmost(dialog.hwnd));
    EXPECT_TRUE(SetTopmostState(dialog.hwnd, FALSE));
    EXPECT_FALSE(IsTopmost(dialog.hwnd));
    EXPECT_EQ(screen_rect(dialog.hwnd), describe(before));
}

TEST_F(ToolwindWindows, HideWindowTellsWhetherItWasVisible) {
    window popup(make_popup(10, 10, 50, 50, nullptr, WS_VISIBLE));
    ASSERT_TRUE(IsWindowVisible(popup.hwnd));
    EXPECT_TRUE(HideWindow(popup.hwnd));
    EXPECT_FALSE(IsWindowVisible(popup.hwnd));
    EXPECT_FALSE(HideWindow(popup.hwnd));
}

// --- Tooltips --------------------------------------------------------------------------

TEST_F(ToolwindWindows, TooltipToolsComeAndGo) {
    window dialog(make_popup(0, 0, 300, 200));
    HWND first = make_child(dialog.hwnd, 1001, "BUTTON", 0, 10, 10, 80, 24);
    HWND second = make_child(dialog.hwnd, 1002, "BUTTON", 0, 10, 40, 80, 24);
    window tip(CreateTooltipCtrl(dialog.hwnd, GetModuleHandleA(nullptr)));
    ASSERT_NE(tip.hwnd, nullptr);

    char class_name[64] = "";
    GetClassNameA(tip.hwnd, class_name, sizeof class_name);
    EXPECT_STREQ(class_name, "tooltips_class32");
    EXPECT_EQ(GetWindowLongA(tip.hwnd, GWL_STYLE) & 3, 3);
    EXPECT_EQ(GetWindow(tip.hwnd, GW_OWNER), dialog.hwnd);

    SetTooltipMultiline(tip.hwnd);
    EXPECT_EQ(SendMessageA(tip.hwnd, TTM_GETMAXTIPWIDTH, 0, 0), 0xFFFF);

    EXPECT_TRUE(AddTooltipTool(tip.hwnd, dialog.hwnd, first, "first line\r\nsecond line"));
    EXPECT_TRUE(AddTooltipTool(tip.hwnd, dialog.hwnd, second, "\x95\x5C"));
    EXPECT_EQ(SendMessageA(tip.hwnd, TTM_GETTOOLCOUNT, 0, 0), 2);

    // What the control keeps of the first tool.
    char text[80] = "";
    TTTOOLINFOA info = {};
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.hwnd = dialog.hwnd;
    info.uId = (UINT_PTR)first;
    info.lpszText = text;
    ASSERT_TRUE(SendMessageA(tip.hwnd, TTM_GETTOOLINFOA, 0, (LPARAM)&info));
    EXPECT_EQ(info.uFlags & (TTF_IDISHWND | TTF_SUBCLASS), (UINT)(TTF_IDISHWND | TTF_SUBCLASS));
    EXPECT_STREQ(text, "first line\r\nsecond line");

    EXPECT_TRUE(DeleteTooltipTool(tip.hwnd, dialog.hwnd, first));
    EXPECT_EQ(SendMessageA(tip.hwnd, TTM_GETTOOLCOUNT, 0, 0), 1);
    EXPECT_FALSE(DeleteTooltipTool(tip.hwnd, dialog.hwnd, first));
    EXPECT_TRUE(DeleteTooltipTool(tip.hwnd, dialog.hwnd, second));
    EXPECT_EQ(SendMessageA(tip.hwnd, TTM_GETTOOLCOUNT, 0, 0), 0);
}

// --- Dialog controls -------------------------------------------------------------------

TEST_F(ToolwindWindows, ComboSelectionData) {
    window dialog(make_popup(0, 0, 300, 200));
    HWND combo = make_child(dialog.hwnd, 1001, "COMBOBOX", CBS_DROPDOWNLIST, 10, 10, 120, 100);
    ASSERT_NE(combo, nullptr);
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "none");
    SendMessageA(combo, CB_ADDSTRING, 0, (LPARAM) "wildcard");
    SendMessageA(combo, CB_SETITEMDATA, 0, 100);
    SendMessageA(combo, CB_SETITEMDATA, 1, 102);

    EXPECT_EQ(GetComboSelData(combo), CB_ERR);
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    EXPECT_EQ(GetComboSelData(combo), 102);
    SendMessageA(combo, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(GetComboSelData(combo), 100);
    SendMessageA(combo, CB_SETCURSEL, (WPARAM)-1, 0);
    EXPECT_EQ(GetComboSelData(combo), CB_ERR);
}

TEST_F(ToolwindWindows, ControlTextLengthAndEnabling) {
    window dialog(make_popup(0, 0, 300, 200));
    HWND edit = make_child(dialog.hwnd, 1001, "EDIT", 0, 10, 10, 120, 20);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(GetDlgItemTextLength(dialog.hwnd, 1001), 0);
    SetWindowTextA(edit, "C:\\\x95\x5C");  // C:\表: the length counts bytes
    EXPECT_EQ(GetDlgItemTextLength(dialog.hwnd, 1001), 5);

    EnableDlgItem(dialog.hwnd, 1001, FALSE);
    EXPECT_FALSE(IsWindowEnabled(edit));
    EXPECT_TRUE(EnableDlgItem(dialog.hwnd, 1001, TRUE));  // it was disabled
    EXPECT_TRUE(IsWindowEnabled(edit));
}

// --- Icons -----------------------------------------------------------------------------

// The size of an icon's colour image.
SIZE icon_size(HICON icon) {
    SIZE size = {0, 0};
    ICONINFO info;
    if (!GetIconInfo(icon, &info)) return size;
    BITMAP bitmap;
    if (GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap)) {
        size.cx = bitmap.bmWidth;
        size.cy = info.hbmColor ? bitmap.bmHeight : bitmap.bmHeight / 2;
    }
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    return size;
}

TEST_F(ToolwindWindows, ModuleIconsInBothSizesAndTheTitleBar) {
    HICON large = GetModuleIcon(GetModuleHandleA(nullptr), SHGFI_LARGEICON);
    HICON small = GetModuleIcon(GetModuleHandleA(nullptr), SHGFI_SMALLICON);
    ASSERT_NE(large, nullptr);
    ASSERT_NE(small, nullptr);
    EXPECT_EQ(icon_size(large).cx, GetSystemMetrics(SM_CXICON));
    EXPECT_EQ(icon_size(small).cx, GetSystemMetrics(SM_CXSMICON));

    window popup(make_popup(0, 0, 50, 50, nullptr, WS_CAPTION | WS_SYSMENU));
    EXPECT_EQ(SetWindowIcon(popup.hwnd, ICON_SMALL, small), nullptr);
    EXPECT_EQ(SetWindowIcon(popup.hwnd, ICON_SMALL, nullptr), small);
    EXPECT_EQ(SetWindowIcon(popup.hwnd, ICON_BIG, large), nullptr);
    EXPECT_EQ((HICON)SendMessageA(popup.hwnd, WM_GETICON, ICON_BIG, 0), large);

    DestroyIcon(large);
    DestroyIcon(small);
}

TEST(ToolwindIcons, MissingFileHasNoIcon) {
    test::temp_dir dir;
    EXPECT_EQ(GetFileIcon(dir.join("no such file.exe").c_str(), SHGFI_SMALLICON), nullptr);
}

}  // namespace

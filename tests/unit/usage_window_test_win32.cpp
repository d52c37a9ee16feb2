// The usage window of Scrivlet.exe /? on a real window: every line of the
// usage shows whole, on a line of its own, in a fixed-pitch font, and the
// window stays on the screen.
#include <gtest/gtest.h>

#include <string>

#include "TOOLS/toolwind/window_helpers.h"
#include "app/usage.h"
#include "scrivlet_version.h"
#include "ui/info/usage_window.h"

namespace {

constexpr DWORD SAFETY_LIMIT_MS = 30000;

DWORD WINAPI usage_thread(void* text) {
    show_usage_window(nullptr, static_cast<const char*>(text));
    return 0;
}

BOOL CALLBACK find_window(HWND window, LPARAM found) {
    if (!IsWindowVisible(window)) return TRUE;
    *reinterpret_cast<HWND*>(found) = window;
    return FALSE;
}

TEST(UsageWindow, EveryLineShowsWholeInAFixedPitchFont) {
    const std::string usage = usage_text();
    size_t lines = 0;
    for (char c : usage) lines += c == '\n';
    ASSERT_GT(lines, 20u);

    DWORD thread_id = 0;
    HANDLE thread = CreateThread(nullptr, 0, usage_thread, const_cast<char*>(usage.c_str()), 0, &thread_id);
    HWND window = nullptr;
    const DWORD start = GetTickCount();
    while (!window && GetTickCount() - start < SAFETY_LIMIT_MS) {
        EnumThreadWindows(thread_id, find_window, reinterpret_cast<LPARAM>(&window));
        if (!window) Sleep(10);
    }
    ASSERT_NE(window, nullptr) << "no usage window";
    SendMessageA(window, WM_NULL, 0, 0);

    wchar_t caption[64] = L"";
    GetWindowTextW(window, caption, 64);
    const std::string version = SCRIVLET_VERSION;
    EXPECT_NE(std::wstring(caption).find(std::wstring(version.begin(), version.end())), std::wstring::npos);
    HWND box = GetDlgItem(window, IDC_USAGE_TEXT);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ((size_t)SendMessageW(box, EM_GETLINECOUNT, 0, 0), lines) << "a line of the usage wrapped";
    EXPECT_EQ(SendMessageW(box, EM_GETFIRSTVISIBLELINE, 0, 0), 0);

    HDC dc = GetDC(box);
    SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(box, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    ReleaseDC(box, dc);
    // The flag's name says the opposite of what it means: clear for a fixed pitch.
    EXPECT_EQ(metrics.tmPitchAndFamily & TMPF_FIXED_PITCH, 0) << "the columns line up only in a fixed pitch";

    RECT format;
    SendMessageW(box, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&format));
    EXPECT_GE(format.bottom - format.top, (LONG)lines * metrics.tmHeight) << "every line shows at once";
    RECT outer, area;
    GetWindowRect(window, &outer);
    ASSERT_TRUE(GetWorkArea(&area));
    EXPECT_TRUE(outer.left >= area.left && outer.right <= area.right && outer.top >= area.top &&
                outer.bottom <= area.bottom);

    PostMessageA(window, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(thread, SAFETY_LIMIT_MS), WAIT_OBJECT_0);
    CloseHandle(thread);
}

}  // namespace

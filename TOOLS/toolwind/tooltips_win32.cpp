// Tooltip controls: one tip per tool window, subclassed so that the control
// sees the tool's mouse messages itself.
#include "TOOLS/toolwind/window_helpers.h"
// after windows.h, which it needs
#include <commctrl.h>

namespace {

// A zero-filled record of the first version's size: every version of the
// control accepts it. TTTOOLINFOA_V1_SIZE ends at the text pointer, so it
// leaves out the application data; it is 40 bytes in a 32-bit build and 56
// on x64, where the handles and pointers are twice as wide.
TTTOOLINFOA tool_record(HWND hwndOwner, HWND hwndTool, const char* text) {
    TTTOOLINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = TTTOOLINFOA_V1_SIZE;
    info.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
    info.hwnd = hwndOwner;
    info.uId = (UINT_PTR)hwndTool;
    info.lpszText = const_cast<char*>(text);
    return info;
}

LRESULT tool_count(HWND hwndTip) {
    return SendMessageA(hwndTip, TTM_GETTOOLCOUNT, 0, 0);
}

}  // namespace

HWND CreateTooltipCtrl(HWND hwndOwner, HINSTANCE instance) {
    return CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, TTS_ALWAYSTIP | TTS_NOPREFIX, CW_USEDEFAULT,
                           CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, hwndOwner, nullptr, instance,
                           nullptr);
}

// A maximum width makes the control break lines at CR LF in the tip text.
LRESULT SetTooltipMultiline(HWND hwndTip) {
    return SendMessageA(hwndTip, TTM_SETMAXTIPWIDTH, 0, 0xFFFF);
}

BOOL AddTooltipTool(HWND hwndTip, HWND hwndOwner, HWND hwndTool, const char* text) {
    TTTOOLINFOA info = tool_record(hwndOwner, hwndTool, text);
    return SendMessageA(hwndTip, TTM_ADDTOOLA, 0, (LPARAM)&info) != 0;
}

// TTM_DELTOOLA answers nothing, so success is read from the tool count.
BOOL DeleteTooltipTool(HWND hwndTip, HWND hwndOwner, HWND hwndTool) {
    TTTOOLINFOA info = tool_record(hwndOwner, hwndTool, nullptr);
    const LRESULT before = tool_count(hwndTip);
    SendMessageA(hwndTip, TTM_DELTOOLA, 0, (LPARAM)&info);
    return tool_count(hwndTip) < before;
}

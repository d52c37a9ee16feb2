// The usage window: a dialog built in memory whose text box is made as wide
// as the longest line in its fixed-pitch font, so that no line wraps, and as
// tall as all lines where the screen has room.
#include <string>

#include "TOOLS/toolwind/window_helpers.h"
#include "scrivlet_version.h"
#include "ui/info/usage_window.h"

namespace {

constexpr char PROP_USAGE_FONT[] = "PROP_USAGE_FONT";
// The columns of the usage line up only in a font whose characters are all
// one width (two for a double-byte character), as in a console.
constexpr wchar_t FIXED_PITCH_FACE[] = L"ＭＳ ゴシック";
constexpr int FONT_POINTS = 9;
// The edit control's caret and rounding need a little more than the text.
constexpr int SLACK_PIXELS = 4;

// Dialog units of the frame: margins, the gap above OK, OK's size.
constexpr int MARGIN_DU = 7;
constexpr int GAP_DU = 4;
constexpr int BUTTON_WIDTH_DU = 50;
constexpr int BUTTON_HEIGHT_DU = 14;

// The text in UTF-16 with CR LF between its lines (what an edit control
// breaks at), without the closing line end: that would add an empty line.
std::wstring box_text(const char* text) {
    const int size = MultiByteToWideChar(932, 0, text, -1, nullptr, 0);
    std::wstring wide((size_t)(size > 0 ? size : 1), L'\0');
    if (size > 0) MultiByteToWideChar(932, 0, text, -1, &wide[0], size);
    wide.resize(wcslen(wide.c_str()));
    while (!wide.empty() && wide.back() == L'\n') wide.pop_back();
    std::wstring out;
    for (wchar_t c : wide) {
        if (c == L'\n') out.push_back(L'\r');
        out.push_back(c);
    }
    return out;
}

HFONT create_fixed_pitch_font(HWND window) {
    HDC dc = GetDC(window);
    const int height = -MulDiv(FONT_POINTS, GetDeviceCaps(dc, LOGPIXELSY), 72);
    ReleaseDC(window, dc);
    return CreateFontW(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS,
                       CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, FIXED_PITCH | FF_MODERN, FIXED_PITCH_FACE);
}

// The width of the widest line and the height of one, in pixels.
SIZE measure_lines(HWND box, HFONT font, const std::wstring& text, int* line_count) {
    HDC dc = GetDC(box);
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics;
    GetTextMetricsW(dc, &metrics);
    SIZE widest = {0, metrics.tmHeight};
    *line_count = 0;
    size_t start = 0;
    for (;;) {
        const size_t end = text.find(L"\r\n", start);
        const size_t length = (end == std::wstring::npos ? text.size() : end) - start;
        SIZE line;
        if (GetTextExtentPoint32W(dc, text.c_str() + start, (int)length, &line) && line.cx > widest.cx)
            widest.cx = line.cx;
        ++*line_count;
        if (end == std::wstring::npos) break;
        start = end + 2;
    }
    SelectObject(dc, old);
    ReleaseDC(box, dc);
    return widest;
}

// What a window adds around its client area.
SIZE frame_of(HWND window) {
    RECT outer, client;
    GetWindowRect(window, &outer);
    GetClientRect(window, &client);
    return SIZE{RectWidth(&outer) - client.right, RectHeight(&outer) - client.bottom};
}

void lay_out(HWND window, HWND box, SIZE text) {
    RECT units = {MARGIN_DU, GAP_DU, BUTTON_WIDTH_DU, BUTTON_HEIGHT_DU};
    MapDialogRect(window, &units);
    const int margin = units.left, gap = units.top, button_w = units.right, button_h = units.bottom;

    const DWORD margins = (DWORD)SendMessageW(box, EM_GETMARGINS, 0, 0);
    const SIZE box_frame = frame_of(box);
    const int box_w = text.cx + LOWORD(margins) + HIWORD(margins) + SLACK_PIXELS + box_frame.cx;
    int box_h = text.cy + SLACK_PIXELS + box_frame.cy;

    // Taller than the screen: the box scrolls (keys, the wheel) instead.
    const SIZE window_frame = frame_of(window);
    RECT area;
    if (GetWorkArea(&area)) {
        const int room = RectHeight(&area) - window_frame.cy - 2 * margin - gap - button_h;
        if (box_h > room) box_h = room;
    }
    const int client_w = 2 * margin + box_w;
    const int client_h = 2 * margin + box_h + gap + button_h;
    SetWindowPos(window, nullptr, 0, 0, client_w + window_frame.cx, client_h + window_frame.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(box, nullptr, margin, margin, box_w, box_h, SWP_NOZORDER | SWP_NOACTIVATE);
    SetWindowPos(GetDlgItem(window, IDOK), nullptr, client_w - margin - button_w, margin + box_h + gap,
                 button_w, button_h, SWP_NOZORDER | SWP_NOACTIVATE);
}

BOOL on_init(HWND window, const char* text) {
    HWND box = GetDlgItem(window, IDC_USAGE_TEXT);
    HFONT font = create_fixed_pitch_font(window);
    if (font) {
        SetPropA(window, PROP_USAGE_FONT, font);
        SendMessageW(box, WM_SETFONT, (WPARAM)font, FALSE);
    }
    const std::wstring wide = box_text(text);
    SetWindowTextW(box, wide.c_str());

    int lines = 0;
    SIZE widest = measure_lines(box, font ? font : (HFONT)SendMessageW(box, WM_GETFONT, 0, 0), wide, &lines);
    lay_out(window, box, SIZE{widest.cx, widest.cy * lines});
    CenterWindowOver(window, GetWindow(window, GW_OWNER));
    // OK has the focus, so that the text is not shown selected.
    SetFocus(GetDlgItem(window, IDOK));
    return FALSE;
}

}  // namespace

INT_PTR CALLBACK usage_window_proc(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            return on_init(window, reinterpret_cast<const char*>(lparam));
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(window, LOWORD(wparam));
            return TRUE;
        case WM_DESTROY: {
            HFONT font = static_cast<HFONT>(RemovePropA(window, PROP_USAGE_FONT));
            if (font) DeleteObject(font);
            return TRUE;
        }
        default:
            return FALSE;
    }
}

void show_usage_window(HWND owner, const char* text) {
    dlg_template_desc_t desc{};
    desc.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    // The first size is a guess; the window is fitted to its text when it starts.
    desc.cx = 200;
    desc.cy = 100;
    desc.title = u"Scrivlet " SCRIVLET_VERSION u" の使い方";
    desc.font_name = DLG_FONT_NAME;
    desc.point_size = DLG_FONT_POINTS;
    const uint32_t visible = WS_CHILD | WS_VISIBLE;
    dlg_item_desc_t items[2] = {};
    items[0].class_name = dlg_ordinal(DLG_CLASS_EDIT);
    items[0].style = visible | WS_BORDER | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_TABSTOP;
    items[0].x = MARGIN_DU;
    items[0].y = MARGIN_DU;
    items[0].cx = 186;
    items[0].cy = 62;
    items[0].id = IDC_USAGE_TEXT;
    items[1].class_name = dlg_ordinal(DLG_CLASS_BUTTON);
    items[1].title = dlg_string(u"OK");
    items[1].style = visible | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP;
    items[1].x = 143;
    items[1].y = 79;
    items[1].cx = BUTTON_WIDTH_DU;
    items[1].cy = BUTTON_HEIGHT_DU;
    items[1].id = IDOK;
    desc.item_count = 2;
    DialogBoxFromDescription(GetModuleHandleW(nullptr), &desc, items, owner, usage_window_proc,
                             reinterpret_cast<LPARAM>(text));
}

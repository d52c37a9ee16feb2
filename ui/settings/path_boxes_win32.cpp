#include "ui/settings/path_boxes.h"

std::wstring path_box_text(HWND dialog, int id) {
    HWND box = GetDlgItem(dialog, id);
    const int length = GetWindowTextLengthW(box);
    if (length <= 0) return std::wstring();
    std::wstring text((size_t)length + 1, L'\0');
    const int got = GetWindowTextW(box, &text[0], length + 1);
    text.resize(got > 0 ? (size_t)got : 0);
    return text;
}

void set_path_box(HWND dialog, int id, const wchar_t* text) {
    SetDlgItemTextW(dialog, id, text);
}

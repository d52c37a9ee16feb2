// The version window: a dialog built in memory, centred over the settings
// dialog, with the program's own icon beside its lines.
#include "TOOLS/toolwind/window_helpers.h"
#include "res/resource.h"
#include "scrivlet_version.h"
#include "ui/info/about_box.h"

namespace {

constexpr uint32_t VISIBLE = WS_CHILD | WS_VISIBLE;
constexpr uint32_t LINE = VISIBLE | SS_LEFT | SS_NOPREFIX;
constexpr uint16_t NO_ID = 0xFFFF;

}  // namespace

INT_PTR CALLBACK about_box_proc(HWND window, UINT message, WPARAM wparam, LPARAM) {
    switch (message) {
        case WM_INITDIALOG:
            CenterWindowOver(window, GetWindow(window, GW_OWNER));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wparam) == IDOK || LOWORD(wparam) == IDCANCEL) EndDialog(window, LOWORD(wparam));
            return TRUE;
        default:
            return FALSE;
    }
}

void show_about_box(HWND owner) {
    dlg_template_desc_t desc{};
    desc.style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    desc.cx = 188;
    desc.cy = 76;
    desc.title = u"バージョン情報";
    desc.font_name = DLG_FONT_NAME;
    desc.point_size = DLG_FONT_POINTS;
    const dlg_item_desc_t items[] = {
        // The icon static sizes itself to the icon; the title names the resource.
        dlg_item(DLG_CLASS_STATIC, dlg_ordinal(IDI_APP), VISIBLE | SS_ICON, 7, 7, 0, 0, NO_ID),
        dlg_item(DLG_CLASS_STATIC, dlg_string(u"Scrivlet " SCRIVLET_VERSION), LINE, 36, 9, 145, 8,
                 IDC_ABOUT_NAME),
        dlg_item(DLG_CLASS_STATIC, dlg_string(u"フォルダ内のファイル名の一覧を作成します。"), LINE, 36, 21,
                 145, 8, IDC_ABOUT_DESCRIPTION),
        dlg_item(DLG_CLASS_STATIC, dlg_string(u"Copyright (c) 2026 Scrivlet developers"), LINE, 36, 33, 145,
                 8, IDC_ABOUT_COPYRIGHT),
        dlg_item(DLG_CLASS_STATIC, dlg_string(u"MIT License"), LINE, 36, 45, 145, 8, IDC_ABOUT_LICENCE),
        dlg_item(DLG_CLASS_BUTTON, dlg_string(u"OK"), VISIBLE | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 131,
                 55, 50, 14, IDOK),
    };
    desc.item_count = sizeof items / sizeof items[0];
    DialogBoxFromDescription(GetModuleHandleW(nullptr), &desc, items, owner, about_box_proc, 0);
}

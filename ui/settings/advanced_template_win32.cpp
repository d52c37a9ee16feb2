// The 詳細設定 dialog's controls, in tab order. Rows 14 dialog units apart,
// margins of 7, as in the settings dialog; each width holds its text in the
// dialog font with room to spare (tests/unit/dialog_text_fit_test_win32.cpp).
#include "ui/settings/advanced_dialog.h"
#include "ui/settings/settings_ids.h"

namespace {

constexpr uint32_t VISIBLE = WS_CHILD | WS_VISIBLE;
constexpr uint32_t LABEL = VISIBLE | SS_LEFT | WS_GROUP;
constexpr uint32_t RIGHT_LABEL = VISIBLE | SS_RIGHT | WS_GROUP;
constexpr uint32_t EDIT = VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP;
constexpr uint32_t GROUP_BOX = VISIBLE | BS_GROUPBOX | WS_GROUP;
constexpr uint32_t FIRST_RADIO = VISIBLE | BS_AUTORADIOBUTTON | WS_GROUP | WS_TABSTOP;
constexpr uint32_t RADIO = VISIBLE | BS_AUTORADIOBUTTON;
constexpr uint32_t FIRST_CHECK = VISIBLE | BS_AUTOCHECKBOX | WS_GROUP | WS_TABSTOP;
constexpr uint32_t CHECK = VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP;
constexpr uint16_t NO_ID = 0xFFFF;  // -1: a label nobody addresses

dlg_item_desc_t item(uint16_t cls, const char16_t* text, uint32_t style, int16_t x, int16_t y, int16_t cx,
                     int16_t cy, uint16_t id) {
    return dlg_item(cls, dlg_string(text), style, x, y, cx, cy, id);
}

dlg_item_desc_t button(const char16_t* text, uint32_t style, int16_t x, int16_t y, int16_t cx, uint16_t id) {
    // Check boxes and radio buttons are 10 units high, push buttons 14.
    const bool push = (style & BS_TYPEMASK) == BS_PUSHBUTTON || (style & BS_TYPEMASK) == BS_DEFPUSHBUTTON;
    return item(DLG_CLASS_BUTTON, text, style, x, y, cx, push ? 14 : 10, id);
}

}  // namespace

void advanced_template_describe(dlg_template_desc_t* dialog, dlg_item_desc_t* items) {
    *dialog = dlg_template_desc_t{};
    dialog->style = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT;
    dialog->item_count = ADVANCED_ITEM_COUNT;
    dialog->cx = 220;
    dialog->cy = 236;
    dialog->title = u"詳細設定";
    dialog->font_name = DLG_FONT_NAME;
    dialog->point_size = DLG_FONT_POINTS;

    const dlg_item_desc_t all[ADVANCED_ITEM_COUNT] = {
        item(DLG_CLASS_STATIC, u"除外する名前", RIGHT_LABEL, 7, 10, 46, 8, NO_ID),
        item(DLG_CLASS_EDIT, nullptr, EDIT, 57, 7, 156, 14, IDC_SKIP_TEXT),

        button(u"サブフォルダの階層を制限", FIRST_CHECK, 7, 27, 90, IDC_LIMIT_DEPTH),
        item(DLG_CLASS_EDIT, nullptr, EDIT | ES_NUMBER, 99, 25, 26, 14, IDC_DEPTH),
        item(DLG_CLASS_STATIC, u"階層まで", LABEL, 128, 28, 30, 8, IDC_DEPTH_UNIT),

        item(DLG_CLASS_BUTTON, u"列挙する項目", GROUP_BOX, 7, 45, 86, 56, NO_ID),
        button(u"ファイルとフォルダ", FIRST_RADIO, 15, 59, 70, IDC_ONLY_ALL),
        button(u"ファイルのみ", RADIO, 15, 73, 70, IDC_ONLY_FILES),
        button(u"フォルダのみ", RADIO, 15, 87, 70, IDC_ONLY_FOLDERS),

        item(DLG_CLASS_BUTTON, u"並び順", GROUP_BOX, 99, 45, 114, 56, NO_ID),
        button(u"名前順", FIRST_RADIO, 107, 59, 98, IDC_ORDER_NAME),
        button(u"自然順 (数字を数値で比較)", RADIO, 107, 73, 98, IDC_ORDER_NATURAL),

        button(u"何も列挙されないフォルダを除く", FIRST_CHECK, 7, 107, 120, IDC_TRIM),
        button(u"隠しファイルとシステムファイルを除く", CHECK, 7, 121, 120, IDC_NO_HIDDEN),

        item(DLG_CLASS_BUTTON, u"出力", GROUP_BOX, 7, 137, 206, 72, NO_ID),
        item(DLG_CLASS_STATIC, u"出力形式", LABEL, 15, 152, 34, 8, NO_ID),
        button(u"一覧", FIRST_RADIO, 52, 151, 32, IDC_FORMAT_LIST),
        button(u"CSV", RADIO, 87, 151, 32, IDC_FORMAT_CSV),
        button(u"TSV", RADIO, 122, 151, 32, IDC_FORMAT_TSV),
        item(DLG_CLASS_STATIC, u"行末", LABEL, 15, 166, 34, 8, IDC_LINE_END_LABEL),
        button(u"CR LF", FIRST_RADIO, 52, 165, 32, IDC_LINE_END_CRLF),
        button(u"LF", RADIO, 87, 165, 32, IDC_LINE_END_LF),
        button(u"NUL", RADIO, 122, 165, 32, IDC_LINE_END_NUL),
        item(DLG_CLASS_STATIC, u"区切り", LABEL, 15, 180, 34, 8, IDC_SEPARATOR_LABEL),
        button(u"\\", FIRST_RADIO, 52, 179, 32, IDC_SEPARATOR_BACKSLASH),
        button(u"/", RADIO, 87, 179, 32, IDC_SEPARATOR_SLASH),
        button(u"UTF-8 で出力するとき BOM を付ける", FIRST_CHECK, 15, 193, 126, IDC_BOM),

        button(u"OK", VISIBLE | BS_DEFPUSHBUTTON | WS_GROUP | WS_TABSTOP, 110, 215, 50, IDOK),
        button(u"キャンセル", VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 163, 215, 50, IDCANCEL),
    };
    for (int i = 0; i < ADVANCED_ITEM_COUNT; ++i) items[i] = all[i];
}

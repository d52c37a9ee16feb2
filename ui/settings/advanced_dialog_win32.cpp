// The 詳細設定 dialog: initialisation from the list options, the rules that
// keep its controls enabled only where they count, and OK.
//
// Two rules of the command line are kept in sight here: a CSV or TSV list
// always ends its rows in CR LF and joins paths with "\" (the line end and
// separator rows show that, disabled), and a BOM goes only with UTF-8 (its
// box is enabled only when the settings dialog's "UTF-8 で出力" is checked).
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "TOOLS/toolwind/window_helpers.h"
#include "ui/settings/advanced_dialog.h"
#include "ui/settings/settings_ids.h"

namespace {

constexpr char CAPTION[] = "Scrivlet";
constexpr char PROP_ADVANCED[] = "PROP_ADVANCED";
constexpr char BAD_DEPTH[] = "階層には 1 から 65535 までの数を入れてください。";
constexpr int DEPTH_DIGITS = 5;
constexpr uint32_t LARGEST_DEPTH = 65535;

const char SKIP_TIP[] =
    "名前が一致するファイルとフォルダを一覧から除き、フォルダの中も列挙しません。\r\n"
    "ワイルドカードを「;」または空白で区切って並べます。\r\n"
    "例: .git;node_modules;*.bak";
const char DEPTH_TIP[] = "1 は対象フォルダの直下だけ、2 はその下のフォルダの中までを列挙します。";
const char NATURAL_TIP[] = "名前の中の数字を数値として比べます (2.txt が 10.txt より前)。";
const char TABLE_TIP[] =
    "パス、種類、サイズ、更新日時、属性の列を書き出します (先頭に見出しの行)。\r\n"
    "行末はいつも CR LF、区切りは \\ です。";
const char TRIM_TIP[] = "ファイルが一つも列挙されないフォルダの行を書きません。";
const char HIDDEN_TIP[] =
    "隠し属性またはシステム属性のファイルとフォルダを除き、フォルダの中も列挙しません。";

// A group of radio buttons and the values they stand for, first one first.
struct choice_t {
    int id;
    int32_t value;
};
const choice_t ONLY_CHOICES[] = {
    {IDC_ONLY_ALL, ONLY_ALL}, {IDC_ONLY_FILES, ONLY_FILES}, {IDC_ONLY_FOLDERS, ONLY_FOLDERS}};
const choice_t ORDER_CHOICES[] = {{IDC_ORDER_NAME, ORDER_NAME}, {IDC_ORDER_NATURAL, ORDER_NATURAL}};
const choice_t FORMAT_CHOICES[] = {
    {IDC_FORMAT_LIST, FORMAT_LIST}, {IDC_FORMAT_CSV, FORMAT_CSV}, {IDC_FORMAT_TSV, FORMAT_TSV}};
const choice_t LINE_END_CHOICES[] = {
    {IDC_LINE_END_CRLF, LINE_END_CRLF}, {IDC_LINE_END_LF, LINE_END_LF}, {IDC_LINE_END_NUL, LINE_END_NUL}};
const choice_t SEPARATOR_CHOICES[] = {{IDC_SEPARATOR_BACKSLASH, '\\'}, {IDC_SEPARATOR_SLASH, '/'}};

// A value none of the buttons stands for checks the first.
template <size_t N>
void check_choice(HWND dialog, const choice_t (&choices)[N], int32_t value) {
    int id = choices[0].id;
    for (const choice_t& c : choices) {
        if (c.value == value) id = c.id;
    }
    CheckRadioButton(dialog, choices[0].id, choices[N - 1].id, id);
}

template <size_t N>
int32_t checked_choice(HWND dialog, const choice_t (&choices)[N]) {
    for (const choice_t& c : choices) {
        if (IsDlgButtonChecked(dialog, c.id) == BST_CHECKED) return c.value;
    }
    return choices[0].value;
}

template <size_t N>
void enable_choices(HWND dialog, const choice_t (&choices)[N], BOOL enable) {
    for (const choice_t& c : choices) EnableDlgItem(dialog, c.id, enable);
}

// What the dialog keeps while it is open.
struct advanced_state_t {
    advanced_param_t* param;
    // The plain list's line end and separator, put back when CSV or TSV,
    // which show CR LF and "\", is left for the plain list again.
    int32_t list_line_end;
    int32_t list_separator;
    bool table_shown;  // CSV or TSV was chosen when the rows were last set
};

advanced_state_t* get_state(HWND dialog) {
    return static_cast<advanced_state_t*>(GetPropA(dialog, PROP_ADVANCED));
}

void check_box(HWND dialog, int id, bool checked) {
    CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
bool is_checked(HWND dialog, int id) {
    return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void select_and_focus(HWND dialog, int id) {
    HWND box = GetDlgItem(dialog, id);
    SendMessageA(box, EM_SETSEL, 0, -1);
    SetFocus(box);
}

// The line end and separator rows follow the format: a table always ends its
// rows in CR LF and joins with "\", and shows so.
void follow_format(HWND dialog, advanced_state_t* state) {
    const bool table = checked_choice(dialog, FORMAT_CHOICES) != FORMAT_LIST;
    if (table && !state->table_shown) {
        state->list_line_end = checked_choice(dialog, LINE_END_CHOICES);
        state->list_separator = checked_choice(dialog, SEPARATOR_CHOICES);
        check_choice(dialog, LINE_END_CHOICES, LINE_END_CRLF);
        check_choice(dialog, SEPARATOR_CHOICES, '\\');
    } else if (!table && state->table_shown) {
        check_choice(dialog, LINE_END_CHOICES, state->list_line_end);
        check_choice(dialog, SEPARATOR_CHOICES, state->list_separator);
    }
    state->table_shown = table;
    enable_choices(dialog, LINE_END_CHOICES, !table);
    enable_choices(dialog, SEPARATOR_CHOICES, !table);
    EnableDlgItem(dialog, IDC_LINE_END_LABEL, !table);
    EnableDlgItem(dialog, IDC_SEPARATOR_LABEL, !table);
}

// The depth counts only where subfolders are walked, and its box only with
// its check box.
void follow_depth(HWND dialog, const advanced_param_t* param) {
    EnableDlgItem(dialog, IDC_LIMIT_DEPTH, param->subfolders);
    const bool limited = param->subfolders && is_checked(dialog, IDC_LIMIT_DEPTH);
    EnableDlgItem(dialog, IDC_DEPTH, limited);
    EnableDlgItem(dialog, IDC_DEPTH_UNIT, limited);
}

void add_tips(HWND dialog) {
    HWND tooltip = CreateTooltipCtrl(dialog, GetModuleHandleA(nullptr));
    if (!tooltip) return;
    SetTooltipMultiline(tooltip);
    const struct {
        int id;
        const char* tip;
    } tips[] = {
        {IDC_SKIP_TEXT, SKIP_TIP},   {IDC_DEPTH, DEPTH_TIP},      {IDC_ORDER_NATURAL, NATURAL_TIP},
        {IDC_FORMAT_CSV, TABLE_TIP}, {IDC_FORMAT_TSV, TABLE_TIP}, {IDC_TRIM, TRIM_TIP},
        {IDC_NO_HIDDEN, HIDDEN_TIP},
    };
    for (const auto& t : tips) AddTooltipTool(tooltip, dialog, GetDlgItem(dialog, t.id), t.tip);
}

void on_init(HWND dialog, advanced_param_t* param) {
    advanced_state_t* state = static_cast<advanced_state_t*>(calloc(1, sizeof(advanced_state_t)));
    if (!state) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    state->param = param;
    SetPropA(dialog, PROP_ADVANCED, state);
    CenterWindowOver(dialog, GetWindow(dialog, GW_OWNER));

    const list_options_t& list = param->list;
    SendDlgItemMessageA(dialog, IDC_SKIP_TEXT, EM_LIMITTEXT, SKIP_TEXT_SIZE - 1, 0);
    SetDlgItemTextA(dialog, IDC_SKIP_TEXT, list.skip_text);

    SendDlgItemMessageA(dialog, IDC_DEPTH, EM_LIMITTEXT, DEPTH_DIGITS, 0);
    check_box(dialog, IDC_LIMIT_DEPTH, list.max_depth > 0);
    if (list.max_depth > 0) SetDlgItemInt(dialog, IDC_DEPTH, list.max_depth, FALSE);

    check_choice(dialog, ONLY_CHOICES, list.only);
    check_choice(dialog, ORDER_CHOICES, list.order);
    check_box(dialog, IDC_TRIM, (list.flags & LIST_TRIM) != 0);
    check_box(dialog, IDC_NO_HIDDEN, (list.flags & LIST_NO_HIDDEN) != 0);
    check_choice(dialog, FORMAT_CHOICES, list.format);
    check_choice(dialog, LINE_END_CHOICES, list.line_end);
    check_choice(dialog, SEPARATOR_CHOICES, list.separator);
    // Without UTF-8 no BOM is written, and the box shows that.
    check_box(dialog, IDC_BOM, param->utf8 && (list.flags & LIST_BOM) != 0);
    EnableDlgItem(dialog, IDC_BOM, param->utf8);

    follow_format(dialog, state);
    follow_depth(dialog, param);
    add_tips(dialog);
}

// The typed depth: 1 to 65535; 0 for anything else.
uint32_t typed_depth(HWND dialog) {
    char text[16] = "";
    GetDlgItemTextA(dialog, IDC_DEPTH, text, sizeof text);
    uint32_t depth = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9' || depth > LARGEST_DEPTH) return 0;
        depth = depth * 10 + (uint32_t)(*p - '0');
    }
    return depth <= LARGEST_DEPTH ? depth : 0;
}

void set_flag(uint32_t* flags, uint32_t flag, bool on) {
    *flags = on ? (*flags | flag) : (*flags & ~flag);
}

// Writes the record only when every control holds something it can take. A
// control that is disabled because of the settings dialog's boxes (the depth
// without subfolders, the BOM without UTF-8) leaves its setting as it was.
void on_ok(HWND dialog) {
    advanced_state_t* state = get_state(dialog);
    list_options_t list = state->param->list;

    if (IsWindowEnabled(GetDlgItem(dialog, IDC_LIMIT_DEPTH))) {
        list.max_depth = 0;
        if (is_checked(dialog, IDC_LIMIT_DEPTH)) {
            list.max_depth = typed_depth(dialog);
            if (list.max_depth == 0) {
                MessageBoxFormat(dialog, CAPTION, MB_OK | MB_ICONWARNING, BAD_DEPTH);
                select_and_focus(dialog, IDC_DEPTH);
                return;
            }
        }
    }
    GetDlgItemTextA(dialog, IDC_SKIP_TEXT, list.skip_text, sizeof list.skip_text);
    list.only = checked_choice(dialog, ONLY_CHOICES);
    list.order = checked_choice(dialog, ORDER_CHOICES);
    list.format = checked_choice(dialog, FORMAT_CHOICES);
    list.line_end = checked_choice(dialog, LINE_END_CHOICES);
    list.separator = (char)checked_choice(dialog, SEPARATOR_CHOICES);
    set_flag(&list.flags, LIST_TRIM, is_checked(dialog, IDC_TRIM));
    set_flag(&list.flags, LIST_NO_HIDDEN, is_checked(dialog, IDC_NO_HIDDEN));
    if (IsWindowEnabled(GetDlgItem(dialog, IDC_BOM)))
        set_flag(&list.flags, LIST_BOM, is_checked(dialog, IDC_BOM));

    state->param->list = list;
    EndDialog(dialog, IDOK);
}

// The limit's box is filled and focused when the limit is switched on, so
// that the number can be typed at once.
void on_limit_depth(HWND dialog) {
    advanced_state_t* state = get_state(dialog);
    follow_depth(dialog, state->param);
    if (!is_checked(dialog, IDC_LIMIT_DEPTH)) return;
    if (GetWindowTextLengthA(GetDlgItem(dialog, IDC_DEPTH)) == 0) SetDlgItemInt(dialog, IDC_DEPTH, 1, FALSE);
    select_and_focus(dialog, IDC_DEPTH);
}

INT_PTR on_command(HWND dialog, int id, int notification) {
    switch (id) {
        case IDOK:
            on_ok(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_LIMIT_DEPTH:
            if (notification == BN_CLICKED) on_limit_depth(dialog);
            return TRUE;
        case IDC_FORMAT_LIST:
        case IDC_FORMAT_CSV:
        case IDC_FORMAT_TSV:
            if (notification == BN_CLICKED) follow_format(dialog, get_state(dialog));
            return TRUE;
        default:
            return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK advanced_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init(dialog, reinterpret_cast<advanced_param_t*>(lparam));
            return TRUE;  // the first tab stop, the names to leave out, gets the focus
        case WM_COMMAND:
            return on_command(dialog, LOWORD(wparam), HIWORD(wparam));
        case WM_DESTROY:
            free(RemovePropA(dialog, PROP_ADVANCED));
            return TRUE;
        default:
            return FALSE;
    }
}

bool show_advanced_dialog(HWND owner, advanced_param_t* param) {
    dlg_template_desc_t desc;
    dlg_item_desc_t items[ADVANCED_ITEM_COUNT];
    advanced_template_describe(&desc, items);
    return DialogBoxFromDescription(GetModuleHandleW(nullptr), &desc, items, owner, advanced_dialog_proc,
                                    reinterpret_cast<LPARAM>(param)) == IDOK;
}

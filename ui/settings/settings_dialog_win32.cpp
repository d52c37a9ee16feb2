// The settings dialog (resource 124): initialisation, the enabling rules, the
// filter tooltip, OK with its questions, the 詳細設定 button and the system
// menu's always-on-top and version commands. Sizes and the hit-test mapping
// are in settings_layout_win32.cpp, the handlers of the four path-row buttons
// in ui/settings/choosers.h, the 詳細設定 dialog in advanced_dialog.h.
#include <windows.h>
// After windows.h, which they build on.
#include <shellapi.h>

#include <new>
#include <string>

#include "TOOLS/toolwind/window_helpers.h"
#include "app/file_tests.h"
#include "app/settings.h"
#include "ui/info/about_box.h"
#include "ui/settings/advanced_dialog.h"
#include "ui/settings/choosers.h"
#include "ui/settings/filter_kinds.h"
#include "ui/settings/path_boxes.h"
#include "ui/settings/settings_dialog.h"
#include "ui/settings/settings_dialog_proc.h"
#include "ui/settings/settings_ids.h"
#include "ui/settings/settings_layout.h"
#include "ui/settings/settings_state.h"

namespace {

constexpr char CAPTION[] = "Scrivlet";
constexpr char FOLDER_NOT_FOUND[] = "指定されたフォルダが見つかりません。";
constexpr char REPLACE_QUESTION[] = "「%s」は既にあります。上書きしますか?";
constexpr char TOPMOST_ITEM[] = "常に最前面に表示(&T)";
constexpr char ABOUT_ITEM[] = "バージョン情報(&A)...";
constexpr char PROP_DIALOGSTATE[] = "PROP_DIALOGSTATE";
// Posted by the initialisation: the reason the dialog opened is shown once
// the dialog is up.
constexpr UINT WM_SHOW_PROBLEM = WM_APP + 1;

// The filter box is read with room for 520 bytes; the record keeps 259 of
// them. The path boxes are read whole, in wide text (path_boxes_win32.cpp).
constexpr int READ_BUFFER_SIZE = 521;
constexpr size_t STORED_TEXT_SIZE = 260;

dialog_param_t* get_param(HWND dialog) {
    return static_cast<dialog_param_t*>(GetPropA(dialog, PROP_DIALOGPARAM));
}
HWND get_tooltip(HWND dialog) {
    return static_cast<HWND>(GetPropA(dialog, PROP_DIALOGTOOLTIPCTRL));
}
HWND get_filter_kind_list(HWND dialog) {
    return GetDlgItem(dialog, IDC_FILTER_KIND);
}

void read_box(HWND dialog, int id, char* buffer) {
    GetDlgItemTextA(dialog, id, buffer, READ_BUFFER_SIZE);
}

void store_box(HWND dialog, int id, char* field) {
    char text[READ_BUFFER_SIZE];
    read_box(dialog, id, text);
    // Cut without splitting a double-byte character.
    str_copy_bounded(field, text, STORED_TEXT_SIZE);
}

void select_and_focus(HWND dialog, int id) {
    HWND box = GetDlgItem(dialog, id);
    SendMessageA(box, EM_SETSEL, 0, -1);
    SetFocus(box);
}

// Keeps the enabled state of the controls in step with the boxes and the
// filter kind.
void update_control_states(HWND dialog) {
    const LRESULT kind = GetComboSelData(get_filter_kind_list(dialog));
    if (kind == FILTER_NONE) {
        EnableDlgItem(dialog, IDC_FILTER_TEXT, FALSE);
    } else if (kind == FILTER_REGEXP || kind == FILTER_WILDCARD) {
        EnableDlgItem(dialog, IDC_FILTER_TEXT, TRUE);
    }
    // Each "自動" button fills its box from the other row's box.
    const bool has_output = GetDlgItemTextLength(dialog, IDC_OUTPUT_FILE) > 0;
    const bool has_folder = GetDlgItemTextLength(dialog, IDC_FOLDER) > 0;
    EnableDlgItem(dialog, IDC_AUTO_FOLDER, has_output);
    EnableDlgItem(dialog, IDC_AUTO_OUTPUT, has_folder);
    EnableDlgItem(dialog, IDOK, has_output && has_folder);
}

// Gives the filter box the help text of the selected filter kind as its tip.
void update_filter_tip(HWND dialog) {
    HWND tooltip = get_tooltip(dialog);
    HWND filter_box = GetDlgItem(dialog, IDC_FILTER_TEXT);
    DeleteTooltipTool(tooltip, dialog, filter_box);
    const filter_kind_t* kind =
        find_filter_kind(static_cast<int32_t>(GetComboSelData(get_filter_kind_list(dialog))));
    if (kind) AddTooltipTool(tooltip, dialog, filter_box, kind->help);
}

void fill_filter_kind_list(HWND dialog, int32_t selected_code) {
    HWND list = get_filter_kind_list(dialog);
    for (size_t i = 0; i < filter_kind_count; ++i) {
        const LRESULT index =
            SendMessageA(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(filter_kind_table[i].label));
        if (index >= 0) SendMessageA(list, CB_SETITEMDATA, index, filter_kind_table[i].code);
    }
    SendMessageA(list, CB_SETCURSEL, 0, 0);
    const LRESULT count = SendMessageA(list, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageA(list, CB_GETITEMDATA, i, 0) == selected_code) {
            SendMessageA(list, CB_SETCURSEL, i, 0);
            break;
        }
    }
}

// The always-on-top and version items go just above the Close command, with
// a separator between them and it.
void add_system_menu_items(HWND dialog) {
    HMENU menu = GetSystemMenu(dialog, FALSE);
    const int close_position = FindSysMenuClosePos(menu);
    if (close_position < 0) return;
    InsertMenuSeparator(menu, close_position);
    InsertMenuA(menu, close_position, MF_BYPOSITION | MF_STRING, IDM_TOPMOST, TOPMOST_ITEM);
    InsertMenuA(menu, close_position + 1, MF_BYPOSITION | MF_STRING, IDM_ABOUT, ABOUT_ITEM);
}

void set_edit_box(HWND dialog, int id, const char* text) {
    SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, SETTINGS_TYPING_LIMIT, 0);
    SetDlgItemTextA(dialog, id, text);
}

void set_path_edit_box(HWND dialog, int id, const user_path_t* path) {
    SendDlgItemMessageW(dialog, id, EM_LIMITTEXT, SETTINGS_PATH_TYPING_LIMIT, 0);
    set_path_box(dialog, id, path->native);
}

void check_flag(HWND dialog, int id, uint32_t flags, uint32_t flag) {
    CheckDlgButton(dialog, id, (flags & flag) ? BST_CHECKED : BST_UNCHECKED);
}

void on_init_dialog(HWND dialog, dialog_param_t* param) {
    SetPropA(dialog, PROP_DIALOGPARAM, param);
    settings_state_t* state = new (std::nothrow) settings_state_t();
    if (!state) {
        EndDialog(dialog, IDCANCEL);
        return;
    }
    state->list = param->list;
    SetPropA(dialog, PROP_DIALOGSTATE, state);

    HINSTANCE instance = GetModuleHandleA(nullptr);
    SetWindowIcon(dialog, ICON_BIG, GetModuleIcon(instance, SHGFI_LARGEICON));
    SetWindowIcon(dialog, ICON_SMALL, GetModuleIcon(instance, SHGFI_SMALLICON));

    CenterWindowOnCursor(dialog);
    settings_layout_record(dialog);
    add_system_menu_items(dialog);

    set_path_edit_box(dialog, IDC_OUTPUT_FILE, &param->output_file);
    set_path_edit_box(dialog, IDC_FOLDER, &param->folder);

    check_flag(dialog, IDC_FULL_PATH, param->flags, FLAG_FULL_PATH);
    check_flag(dialog, IDC_SUBFOLDERS, param->flags, FLAG_SUBFOLDERS);
    check_flag(dialog, IDC_SHORT_NAMES, param->flags, FLAG_SHORT_NAMES);
    check_flag(dialog, IDC_UTF8, param->flags, FLAG_UTF8);
    if (param->case_mode == CASE_UNCHANGED) CheckDlgButton(dialog, IDC_CASE_UNCHANGED, BST_CHECKED);
    if (param->case_mode == CASE_LOWER) CheckDlgButton(dialog, IDC_CASE_LOWER, BST_CHECKED);
    if (param->case_mode == CASE_UPPER) CheckDlgButton(dialog, IDC_CASE_UPPER, BST_CHECKED);

    set_edit_box(dialog, IDC_FILTER_TEXT, param->filter_text);
    fill_filter_kind_list(dialog, param->filter_kind);
    EnableDlgItem(dialog, IDC_FILTER_TEXT, FALSE);

    HWND tooltip = CreateTooltipCtrl(dialog, instance);
    SetTooltipMultiline(tooltip);
    AddTooltipTool(tooltip, dialog, GetDlgItem(dialog, IDC_FILTER_TEXT), "");
    SetPropA(dialog, PROP_DIALOGTOOLTIPCTRL, tooltip);

    update_control_states(dialog);
    update_filter_tip(dialog);
    if (param->problem) PostMessageA(dialog, WM_SHOW_PROBLEM, 0, 0);
}

void select_box(HWND dialog, int32_t box) {
    if (box == DIALOG_BOX_FOLDER) select_and_focus(dialog, IDC_FOLDER);
    if (box == DIALOG_BOX_OUTPUT) select_and_focus(dialog, IDC_OUTPUT_FILE);
}

// Why the dialog opened instead of the run, over the dialog itself: the modal
// loop would show the dialog only once the message is answered.
void show_problem(HWND dialog) {
    const dialog_param_t* param = get_param(dialog);
    if (!param || !param->problem) return;
    ShowWindow(dialog, SW_SHOW);
    UpdateWindow(dialog);
    MessageBoxFormat(dialog, CAPTION, MB_OK | MB_ICONERROR, "%s", param->problem);
    select_box(dialog, param->problem_box);
}

// The dialog owns the icons it was given; the window keeps only handles.
void destroy_window_icon(HWND dialog, WPARAM which) {
    HICON icon = SetWindowIcon(dialog, which, nullptr);
    if (icon) DestroyIcon(icon);
}

void on_destroy(HWND dialog) {
    delete static_cast<settings_state_t*>(RemovePropA(dialog, PROP_DIALOGSTATE));
    RemovePropA(dialog, PROP_DIALOGPARAM);
    RemovePropA(dialog, PROP_DIALOGTOOLTIPCTRL);
    destroy_window_icon(dialog, ICON_BIG);
    destroy_window_icon(dialog, ICON_SMALL);
    settings_layout_reset();
}

int32_t selected_case_mode(HWND dialog) {
    int32_t mode = CASE_UNCHANGED;
    if (IsDlgButtonChecked(dialog, IDC_CASE_LOWER) == BST_CHECKED) mode = CASE_LOWER;
    if (IsDlgButtonChecked(dialog, IDC_CASE_UPPER) == BST_CHECKED) mode = CASE_UPPER;
    return mode;
}

uint32_t selected_flags(HWND dialog) {
    uint32_t flags = 0;
    if (IsDlgButtonChecked(dialog, IDC_FULL_PATH) == BST_CHECKED) flags |= FLAG_FULL_PATH;
    if (IsDlgButtonChecked(dialog, IDC_SUBFOLDERS) == BST_CHECKED) flags |= FLAG_SUBFOLDERS;
    if (IsDlgButtonChecked(dialog, IDC_SHORT_NAMES) == BST_CHECKED) flags |= FLAG_SHORT_NAMES;
    if (IsDlgButtonChecked(dialog, IDC_UTF8) == BST_CHECKED) flags |= FLAG_UTF8;
    return flags;
}

// A list file that is there is replaced only when the user says so, here or
// in the save chooser that named it. False when the user said no.
bool may_replace(HWND dialog, const std::wstring& output) {
    if (!path_exists(output.c_str()) || is_existing_folder(output.c_str())) return true;
    const settings_state_t* state = settings_state(dialog);
    if (state && state->confirmed_output == output) return true;
    user_path_t shown;
    user_path_init(&shown);
    user_path_set(&shown, output.c_str());
    const int answer = MessageBoxFormat(dialog, CAPTION, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2,
                                        REPLACE_QUESTION, shown.text);
    user_path_free(&shown);
    return answer == IDYES;
}

// Accepts the settings only when the folder and the output file's folder
// exist and an existing list file may be replaced; the record is written
// here and nowhere else.
void on_settings_ok(HWND dialog) {
    const std::wstring folder = path_box_text(dialog, IDC_FOLDER);
    if (!path_exists(folder.c_str())) {
        user_path_t shown;
        user_path_init(&shown);
        user_path_set(&shown, folder.c_str());
        MessageBoxFormat(dialog, CAPTION, MB_OK | MB_ICONERROR, "%s\n%s", FOLDER_NOT_FOUND, shown.text);
        user_path_free(&shown);
        select_and_focus(dialog, IDC_FOLDER);
        return;
    }
    const std::wstring output = path_box_text(dialog, IDC_OUTPUT_FILE);
    // The text before the last backslash; a bare name is tested whole.
    const size_t sep = output.rfind(L'\\');
    const std::wstring output_folder = sep == std::wstring::npos ? output : output.substr(0, sep);
    if (!path_exists(output_folder.c_str())) {
        select_and_focus(dialog, IDC_OUTPUT_FILE);
        return;
    }
    if (!may_replace(dialog, output)) {
        select_and_focus(dialog, IDC_OUTPUT_FILE);
        return;
    }

    dialog_param_t* param = get_param(dialog);
    // The boxes hold no more than a path may have, so both are held whole.
    if (!user_path_set(&param->folder, folder.c_str())) {
        select_and_focus(dialog, IDC_FOLDER);
        return;
    }
    if (!user_path_set(&param->output_file, output.c_str())) {
        select_and_focus(dialog, IDC_OUTPUT_FILE);
        return;
    }
    store_box(dialog, IDC_FILTER_TEXT, param->filter_text);
    param->filter_kind = static_cast<int32_t>(GetComboSelData(get_filter_kind_list(dialog)));
    param->flags = selected_flags(dialog);
    param->case_mode = selected_case_mode(dialog);
    param->list = settings_state(dialog)->list;
    // A byte-order mark only begins a UTF-8 list.
    if (!(param->flags & FLAG_UTF8)) param->list.flags &= ~LIST_BOM;
    EndDialog(dialog, IDOK);
}

// The 詳細設定 dialog edits the state's copy; OK of this dialog takes it.
void on_advanced(HWND dialog) {
    settings_state_t* state = settings_state(dialog);
    if (!state) return;
    advanced_param_t advanced;
    advanced.list = state->list;
    advanced.utf8 = IsDlgButtonChecked(dialog, IDC_UTF8) == BST_CHECKED;
    advanced.subfolders = IsDlgButtonChecked(dialog, IDC_SUBFOLDERS) == BST_CHECKED;
    if (show_advanced_dialog(dialog, &advanced)) state->list = advanced.list;
}

INT_PTR on_command(HWND dialog, int id, int notification) {
    switch (id) {
        case IDOK:
            on_settings_ok(dialog);
            return TRUE;
        case IDCANCEL:
            EndDialog(dialog, IDCANCEL);
            return TRUE;
        case IDC_OUTPUT_FILE:
        case IDC_FOLDER:
            // EN_UPDATE comes for typing and for texts the program sets alike.
            if (notification == EN_UPDATE) update_control_states(dialog);
            return FALSE;
        case IDC_BROWSE_OUTPUT:
            return browse_output_file(dialog);
        case IDC_BROWSE_FOLDER:
            return browse_folder(dialog);
        case IDC_AUTO_OUTPUT:
            return auto_output_name(dialog);
        case IDC_AUTO_FOLDER:
            return auto_folder_name(dialog);
        case IDC_ADVANCED:
            on_advanced(dialog);
            return TRUE;
        case IDC_FILTER_KIND:
            if (notification != CBN_SELCHANGE) return FALSE;
            update_control_states(dialog);
            update_filter_tip(dialog);
            return TRUE;
        default:
            return FALSE;
    }
}

// Wine stacks a window below the owned popups above it, and a window below
// the last topmost one cannot become topmost: the tooltip would keep the
// dialog out of the topmost band. The tooltip is therefore unowned while the
// dialog changes band; it is hidden now and re-tops itself when it shows.
void toggle_topmost(HWND dialog) {
    HWND tooltip = get_tooltip(dialog);
    if (tooltip) SetWindowLongPtrA(tooltip, GWLP_HWNDPARENT, 0);
    SetTopmostState(dialog, !IsTopmost(dialog));
    if (tooltip) SetWindowLongPtrA(tooltip, GWLP_HWNDPARENT, reinterpret_cast<LONG_PTR>(dialog));
}

INT_PTR on_hit_test(HWND dialog, WPARAM wparam, LPARAM lparam) {
    const LRESULT hit = DefWindowProcA(dialog, WM_NCHITTEST, wparam, lparam);
    const LRESULT mapped = settings_map_hit_test(hit);
    if (mapped == hit) return FALSE;
    SetWindowLongPtrA(dialog, DWLP_MSGRESULT, mapped);
    return TRUE;
}

}  // namespace

settings_state_t* settings_state(HWND dialog) {
    return static_cast<settings_state_t*>(GetPropA(dialog, PROP_DIALOGSTATE));
}

INT_PTR CALLBACK settings_dialog_proc(HWND dialog, UINT message, WPARAM wparam, LPARAM lparam) {
    switch (message) {
        case WM_INITDIALOG:
            on_init_dialog(dialog, reinterpret_cast<dialog_param_t*>(lparam));
            return TRUE;  // the dialog manager focuses the first tab stop, the folder box
        case WM_DESTROY:
            on_destroy(dialog);
            return TRUE;
        case WM_SIZE:
            if (wparam == SIZE_MINIMIZED) return FALSE;
            settings_layout_on_size(dialog, wparam, LOWORD(lparam));
            return TRUE;
        case WM_GETMINMAXINFO:
            settings_layout_limit(reinterpret_cast<MINMAXINFO*>(lparam));
            return TRUE;
        case WM_NCHITTEST:
            return on_hit_test(dialog, wparam, lparam);
        case WM_COMMAND:
            return on_command(dialog, LOWORD(wparam), HIWORD(wparam));
        case WM_SYSCOMMAND:
            if ((wparam & 0xFFF0) == IDM_ABOUT) {
                show_about_box(dialog);
                return TRUE;
            }
            if (LOWORD(wparam) != IDM_TOPMOST) return FALSE;
            toggle_topmost(dialog);
            return TRUE;
        case WM_SHOW_PROBLEM:
            show_problem(dialog);
            return TRUE;
        case WM_INITMENUPOPUP:
            // The mark is never stored: it shows the window's real state.
            CheckTopmostMenuItem(IsTopmost(dialog), GetSystemMenu(dialog, FALSE));
            return TRUE;
        default:
            return FALSE;
    }
}

bool show_settings_dialog(dialog_param_t* param) {
    // Sizes recorded by an earlier showing must not steer this one's creation.
    settings_layout_reset();
    // A wide dialog: its path boxes hold any character a path may have.
    const INT_PTR result = DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), nullptr,
                                           settings_dialog_proc, reinterpret_cast<LPARAM>(param));
    return result == IDOK;
}

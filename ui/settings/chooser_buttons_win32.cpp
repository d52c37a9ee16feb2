// The "参照..." and "自動" buttons of the settings dialog's two path rows.
// Each changes the text of one box and nothing else, in wide text.
#include <windows.h>

#include <string>

#include "TOOLS/toolwind/toolwind.h"
#include "app/auto_output_name.h"
#include "ui/settings/auto_names.h"
#include "ui/settings/choosers.h"
#include "ui/settings/path_boxes.h"
#include "ui/settings/settings_ids.h"
#include "ui/settings/settings_state.h"

namespace {

constexpr char CAPTION[] = "Scrivlet";
constexpr char AUTO_ROOT[] = "ルートフォルダからは保存ファイル名を作れません。";
constexpr char AUTO_TAKEN[] =
    "保存ファイル名 (フォルダ.txt、フォルダ(0).txt ～ フォルダ(9).txt) はすべて使われています。";
constexpr char AUTO_TOO_LONG[] = "フォルダのパスが長すぎて、保存ファイル名を作れません。";

}  // namespace

BOOL browse_folder(HWND dialog) {
    std::wstring path = browser_start_folder(path_box_text(dialog, IDC_FOLDER));
    if (choose_folder(dialog, &path)) set_path_box(dialog, IDC_FOLDER, path.c_str());
    return TRUE;
}

BOOL browse_output_file(HWND dialog) {
    const std::wstring current = path_box_text(dialog, IDC_OUTPUT_FILE);
    std::wstring chosen;
    if (!choose_save_file(dialog, current, &chosen)) return TRUE;
    set_path_box(dialog, IDC_OUTPUT_FILE, chosen.c_str());
    settings_state_t* state = settings_state(dialog);
    if (state) state->confirmed_output = chosen;
    return TRUE;
}

// The first free name of the series /auto takes, so that the dialog never
// proposes a file that is there already.
BOOL auto_output_name(HWND dialog) {
    const std::wstring folder = path_box_text(dialog, IDC_FOLDER);
    user_path_t name;
    user_path_init(&name);
    switch (find_auto_output_name(&name, folder.c_str())) {
        case AUTO_NAMED:
            set_path_box(dialog, IDC_OUTPUT_FILE, name.native);
            break;
        case AUTO_NAME_ROOT:
            MessageBoxFormat(dialog, CAPTION, MB_OK | MB_ICONWARNING, AUTO_ROOT);
            break;
        case AUTO_NAME_TAKEN:
            MessageBoxFormat(dialog, CAPTION, MB_OK | MB_ICONWARNING, AUTO_TAKEN);
            break;
        default:
            MessageBoxFormat(dialog, CAPTION, MB_OK | MB_ICONWARNING, AUTO_TOO_LONG);
            break;
    }
    user_path_free(&name);
    return TRUE;
}

BOOL auto_folder_name(HWND dialog) {
    const std::wstring folder = folder_name_from_output(path_box_text(dialog, IDC_OUTPUT_FILE));
    set_path_box(dialog, IDC_FOLDER, folder.c_str());
    return TRUE;
}

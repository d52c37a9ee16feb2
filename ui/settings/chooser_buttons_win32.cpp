// The "参照..." and "自動" buttons of the settings dialog's two path rows.
// Each changes the text of one box and nothing else, in wide text.
#include <windows.h>

#include <string>

#include "ui/settings/auto_names.h"
#include "ui/settings/choosers.h"
#include "ui/settings/path_boxes.h"
#include "ui/settings/settings_ids.h"

BOOL browse_folder(HWND dialog) {
    std::wstring path = path_box_text(dialog, IDC_FOLDER);
    if (choose_folder(dialog, &path)) set_path_box(dialog, IDC_FOLDER, path.c_str());
    return TRUE;
}

BOOL browse_output_file(HWND dialog) {
    const std::wstring current = path_box_text(dialog, IDC_OUTPUT_FILE);
    std::wstring chosen;
    if (choose_save_file(dialog, current, &chosen)) set_path_box(dialog, IDC_OUTPUT_FILE, chosen.c_str());
    return TRUE;
}

BOOL auto_output_name(HWND dialog) {
    const std::wstring output = output_name_from_folder(path_box_text(dialog, IDC_FOLDER));
    set_path_box(dialog, IDC_OUTPUT_FILE, output.c_str());
    return TRUE;
}

BOOL auto_folder_name(HWND dialog) {
    const std::wstring folder = folder_name_from_output(path_box_text(dialog, IDC_OUTPUT_FILE));
    set_path_box(dialog, IDC_FOLDER, folder.c_str());
    return TRUE;
}

// The "参照..." and "自動" buttons of the settings dialog's two path rows.
// Each changes the text of one box and nothing else.
#include <windows.h>

#include "text/mbs.h"
#include "ui/settings/auto_names.h"
#include "ui/settings/choosers.h"
#include "ui/settings/settings_ids.h"

namespace {

// Reads a box with room for 520 bytes and the terminator; an empty text when
// the box cannot be read.
void read_box(HWND dialog, int id, char* path) {
    path[0] = '\0';
    GetDlgItemTextA(dialog, id, path, PATH_BUFFER_SIZE - 1);
}

}  // namespace

BOOL browse_folder(HWND dialog) {
    char path[PATH_BUFFER_SIZE];
    read_box(dialog, IDC_FOLDER, path);
    if (choose_folder(dialog, path)) SetDlgItemTextA(dialog, IDC_FOLDER, path);
    return TRUE;
}

BOOL browse_output_file(HWND dialog) {
    char current[PATH_BUFFER_SIZE];
    read_box(dialog, IDC_OUTPUT_FILE, current);
    char chosen[PATH_BUFFER_SIZE];
    if (choose_save_file(dialog, current, chosen)) SetDlgItemTextA(dialog, IDC_OUTPUT_FILE, chosen);
    return TRUE;
}

BOOL auto_output_name(HWND dialog) {
    char folder[PATH_BUFFER_SIZE];
    read_box(dialog, IDC_FOLDER, folder);
    // A folder text too long for the suffix leaves the box as it was.
    char output[PATH_BUFFER_SIZE];
    if (make_output_name_from_folder(folder, output)) SetDlgItemTextA(dialog, IDC_OUTPUT_FILE, output);
    return TRUE;
}

BOOL auto_folder_name(HWND dialog) {
    char output[PATH_BUFFER_SIZE];
    read_box(dialog, IDC_OUTPUT_FILE, output);
    char folder[PATH_BUFFER_SIZE];
    make_folder_name_from_output(output, folder);
    SetDlgItemTextA(dialog, IDC_FOLDER, folder);
    return TRUE;
}

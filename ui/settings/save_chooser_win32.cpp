// The common save dialog that picks the list file.
#include <windows.h>
// after windows.h, which it needs
#include <commdlg.h>

#include "text/mbs.h"
#include "ui/settings/choosers.h"

namespace {

const char SAVE_TITLE[] = "保存ファイル名の選択";
// One description and pattern pair; the implicit terminator closes the list.
const char SAVE_FILTER[] = "すべてのファイル\0*.*\0";

// folder was cut at the backslash just before name (path_split_name). A
// drive or the root takes its backslash back: "C:" alone would name the
// drive's current folder, and an empty text no folder at all. Overwrites the
// first byte of name.
void keep_root_separator(char* folder, const char* name) {
    if (name == folder) return;  // there was no backslash
    const size_t length = (size_t)(name - 1 - folder);
    const bool is_drive = length == 2 && folder[1] == ':';
    if (length != 0 && !is_drive) return;
    folder[length] = '\\';
    folder[length + 1] = '\0';
}

}  // namespace

bool choose_save_file(HWND owner, const char* current, char* result) {
    // The dialog opens in the folder of current and proposes its name; a
    // text without a backslash is passed as both.
    char initial_folder[PATH_BUFFER_SIZE];
    str_copy_bounded(initial_folder, current, sizeof initial_folder);
    const char* name = path_split_name(initial_folder);
    str_copy_bounded(result, name, PATH_BUFFER_SIZE);
    keep_root_separator(initial_folder, name);

    OPENFILENAMEA record;
    mem_zero(&record, sizeof record);
    // The first version of the record, which ends with the template name:
    // 76 bytes in a 32-bit build. Later fields stay unknown to the dialog.
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400A;
    record.hwndOwner = owner;
    record.hInstance = nullptr;
    record.lpstrFilter = SAVE_FILTER;
    record.lpstrCustomFilter = nullptr;
    record.nFilterIndex = 0;
    record.lpstrFile = result;
    record.nMaxFile = PATH_BUFFER_SIZE;
    record.lpstrFileTitle = nullptr;
    record.lpstrInitialDir = initial_folder;
    record.lpstrTitle = SAVE_TITLE;
    // No replace prompt, no check that the folder exists, no extension added:
    // the list file may be new, anywhere, and named freely.
    record.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING;
    record.lpstrDefExt = nullptr;
    return GetSaveFileNameA(&record) != 0;
}

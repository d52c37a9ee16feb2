// The common save dialog that picks the list file, in wide text.
#include <windows.h>
// after windows.h, which it needs
#include <commdlg.h>

#include "text/mbs.h"
#include "ui/settings/choosers.h"

namespace {

const wchar_t SAVE_TITLE[] = L"保存ファイル名の選択";
// One description and pattern pair; the implicit terminator closes the list.
const wchar_t SAVE_FILTER[] = L"すべてのファイル\0*.*\0";

// The longest path a wide call takes, with its terminator.
constexpr DWORD SAVE_PATH_SIZE = 32768;

// The folder part of current, the text before its last backslash. A drive
// or the root keeps its backslash: "C:" alone would name the drive's current
// folder, and an empty text no folder at all.
std::wstring initial_folder_of(const std::wstring& current, size_t sep) {
    if (sep == std::wstring::npos) return current;  // there was no backslash
    const bool is_drive = sep == 2 && current[1] == L':';
    if (sep != 0 && !is_drive) return current.substr(0, sep);
    return current.substr(0, sep + 1);
}

}  // namespace

bool choose_save_file(HWND owner, const std::wstring& current, std::wstring* result) {
    // The dialog opens in the folder of current and proposes its name; a
    // text without a backslash is passed as both.
    const size_t sep = current.rfind(L'\\');
    const std::wstring initial_folder = initial_folder_of(current, sep);
    std::wstring file(SAVE_PATH_SIZE, L'\0');
    const std::wstring name = sep == std::wstring::npos ? current : current.substr(sep + 1);
    if (name.size() < SAVE_PATH_SIZE) file.replace(0, name.size(), name);

    OPENFILENAMEW record;
    mem_zero(&record, sizeof record);
    // The first version of the record, which ends with the template name.
    // Later fields stay unknown to the dialog.
    record.lStructSize = OPENFILENAME_SIZE_VERSION_400W;
    record.hwndOwner = owner;
    record.hInstance = nullptr;
    record.lpstrFilter = SAVE_FILTER;
    record.lpstrCustomFilter = nullptr;
    record.nFilterIndex = 0;
    record.lpstrFile = &file[0];
    record.nMaxFile = SAVE_PATH_SIZE;
    record.lpstrFileTitle = nullptr;
    record.lpstrInitialDir = initial_folder.c_str();
    record.lpstrTitle = SAVE_TITLE;
    // A file that is there is replaced only once the user has agreed, and a
    // name without an extension becomes a text file; the folder is not
    // checked, as the dialog's OK checks it.
    record.Flags = OFN_HIDEREADONLY | OFN_EXPLORER | OFN_ENABLESIZING | OFN_OVERWRITEPROMPT;
    record.lpstrDefExt = L"txt";
    if (!GetSaveFileNameW(&record)) return false;
    file.resize(wcslen(file.c_str()));
    *result = file;
    return true;
}

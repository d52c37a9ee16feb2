// The shell's folder browser and the conversion of its items to paths, in
// wide text.
#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include "text/mbs.h"
#include "ui/settings/choosers.h"

namespace {

// The longest path a wide call takes, with its terminator.
constexpr DWORD SHELL_PATH_SIZE = 32768;

}  // namespace

bool path_from_id_list(PCIDLIST_ABSOLUTE item, std::wstring* path) {
    static_assert(SHELL_PATH_SIZE > MAX_PATH, "room for any answer of the shell");
    std::wstring scratch(SHELL_PATH_SIZE, L'\0');
    // The Ex form takes the buffer's size: the plain one stops at MAX_PATH.
    if (!SHGetPathFromIDListEx(item, &scratch[0], SHELL_PATH_SIZE, GPFIDL_DEFAULT)) return false;
    scratch.resize(wcslen(scratch.c_str()));
    *path = scratch;
    return true;
}

int CALLBACK browse_folder_callback(HWND browser, UINT message, LPARAM item, LPARAM data) {
    switch (message) {
        case BFFM_INITIALIZED: {
            const wchar_t* initial = (const wchar_t*)data;
            // An empty text selects nothing: the browser stays at its default place.
            if (initial == nullptr || initial[0] == L'\0') return 0;
            SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, (LPARAM)initial);
            break;
        }
        case BFFM_SELCHANGED: {
            if (item == 0) return 0;
            // Virtual folders (the computer, the network) cannot be listed.
            std::wstring scratch;
            const bool has_path = path_from_id_list((PCIDLIST_ABSOLUTE)item, &scratch);
            SendMessageW(browser, BFFM_ENABLEOK, 0, has_path ? 1 : 0);
            break;
        }
        default:
            break;
    }
    return 0;
}

bool choose_folder(HWND owner, std::wstring* path) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return false;

    wchar_t title[] = L"";
    BROWSEINFOW info;
    mem_zero(&info, sizeof info);
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the whole namespace, from the desktop down
    info.pszDisplayName = nullptr;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = browse_folder_callback;
    info.lParam = (LPARAM)path->c_str();

    bool chosen = false;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderW(&info);
    if (item != nullptr) {
        std::wstring found;
        chosen = path_from_id_list(item, &found);
        if (chosen) *path = found;
        allocator->Free(item);
    }
    allocator->Release();
    return chosen;
}

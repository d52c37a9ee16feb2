// The shell's folder browser and the conversion of its items to paths.
#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include "text/mbs.h"
#include "ui/settings/choosers.h"

namespace {

// The shell may answer with paths longer than the program keeps; take them
// in whole, then cut them to a path buffer.
const size_t SHELL_PATH_SCRATCH_SIZE = 65536;

}  // namespace

bool path_from_id_list(PCIDLIST_ABSOLUTE item, char* path) {
    static_assert(SHELL_PATH_SCRATCH_SIZE > MAX_PATH, "room for any answer of the shell");
    char scratch[SHELL_PATH_SCRATCH_SIZE];
    if (!SHGetPathFromIDListA(item, scratch)) return false;
    str_copy_bounded(path, scratch, PATH_BUFFER_SIZE);
    return true;
}

int CALLBACK browse_folder_callback(HWND browser, UINT message, LPARAM item, LPARAM data) {
    switch (message) {
        case BFFM_INITIALIZED: {
            const char* initial = (const char*)data;
            // An empty text selects nothing: the browser stays at its default place.
            if (initial == nullptr || initial[0] == '\0') return 0;
            SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, (LPARAM)initial);
            break;
        }
        case BFFM_SELCHANGED: {
            if (item == 0) return 0;
            // Virtual folders (the computer, the network) cannot be listed.
            char scratch[PATH_BUFFER_SIZE];
            const bool has_path = path_from_id_list((PCIDLIST_ABSOLUTE)item, scratch);
            SendMessageA(browser, BFFM_ENABLEOK, 0, has_path ? 1 : 0);
            break;
        }
        default:
            break;
    }
    return 0;
}

bool choose_folder(HWND owner, char* path) {
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || allocator == nullptr) return false;

    char title[] = "";
    BROWSEINFOA info;
    mem_zero(&info, sizeof info);
    info.hwndOwner = owner;
    info.pidlRoot = nullptr;  // the whole namespace, from the desktop down
    info.pszDisplayName = nullptr;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
    info.lpfn = browse_folder_callback;
    info.lParam = (LPARAM)path;

    bool chosen = false;
    PIDLIST_ABSOLUTE item = SHBrowseForFolderA(&info);
    if (item != nullptr) {
        chosen = path_from_id_list(item, path);
        allocator->Free(item);
    }
    allocator->Release();
    return chosen;
}

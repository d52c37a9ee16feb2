// The shell's folder browser and the conversion of its items to paths, in
// wide text.
#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include "app/file_tests.h"
#include "text/mbs.h"
#include "ui/settings/choosers.h"

namespace {

// The longest path a wide call takes, with its terminator.
constexpr DWORD SHELL_PATH_SIZE = 32768;

bool is_drive_root(const std::wstring& path) {
    return path.size() == 3 && path[1] == L':' && path[2] == L'\\';
}

// "C:\a\b" gives "C:\a", "C:\a" gives "C:\", a root gives "".
std::wstring parent_of(std::wstring path) {
    if (is_drive_root(path)) return std::wstring();
    while (!path.empty() && path.back() == L'\\') path.pop_back();
    const size_t sep = path.find_last_of(L'\\');
    if (sep == std::wstring::npos) return std::wstring();
    path.resize(sep);
    if (path.size() == 2 && path[1] == L':') path.push_back(L'\\');
    return path;
}

}  // namespace

std::wstring browser_start_folder(const std::wstring& typed) {
    if (typed.empty()) return typed;
    // The browser selects only a full path; a relative one is taken from the
    // current folder, as the listing takes it.
    const DWORD size = GetFullPathNameW(typed.c_str(), 0, nullptr, nullptr);
    if (size == 0) return std::wstring();
    std::wstring folder(size, L'\0');
    const DWORD length = GetFullPathNameW(typed.c_str(), size, &folder[0], nullptr);
    folder.resize(length < size ? length : 0);
    if (!is_drive_root(folder)) {
        while (!folder.empty() && folder.back() == L'\\') folder.pop_back();
    }
    while (!folder.empty() && !is_existing_folder(folder.c_str())) folder = parent_of(folder);
    return folder;
}

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

    wchar_t title[] = L"一覧を作成するフォルダを選んでください。";
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

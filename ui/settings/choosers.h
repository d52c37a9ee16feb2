// The two path rows of the settings dialog: "参照..." opens a platform
// chooser, "自動" derives the row's box from the other row's box.
// Windows build only; the path rules of the automatic names are in
// ui/settings/auto_names.h.
#pragma once

#include <windows.h>
// after windows.h, which it needs
#include <shlobj.h>

#include <string>

// Command handlers of the settings dialog; each returns TRUE (handled).
BOOL browse_folder(HWND dialog);       // button 1042: box 1040 from the folder chooser
BOOL browse_output_file(HWND dialog);  // button 1041: box 1039 from the save chooser
BOOL auto_output_name(HWND dialog);    // button 1050: box 1039, the first free /auto name of box 1040
BOOL auto_folder_name(HWND dialog);    // button 1051: box 1040 from box 1039

// The shell's folder browser, in wide text, with its instruction above the
// tree. path holds the initial folder, which the browser selects; on a true
// return it holds the chosen folder.
// False, with path unchanged, when the browser cannot run, is cancelled, or
// the chosen item has no file-system path. Needs COM on the calling thread.
bool choose_folder(HWND owner, std::wstring* path);

// Where the browser opens for a typed folder: its full path, or the nearest
// folder above it that exists; empty when there is none (the browser's
// default place).
std::wstring browser_start_folder(const std::wstring& typed);

// The folder browser's callback: selects the initial path (data, a wide
// text) once the browser is up, and keeps OK enabled only while the selected
// item has a file-system path. Returns 0 for every message.
int CALLBACK browse_folder_callback(HWND browser, UINT message, LPARAM item, LPARAM data);

// The whole file-system path of a shell item. False, with path untouched,
// for an item that has none (a virtual folder).
bool path_from_id_list(PCIDLIST_ABSOLUTE item, std::wstring* path);

// The common save dialog, opened in the folder of current with its file
// name proposed. It asks before a file is replaced and adds ".txt" to a
// name typed without an extension. result receives the confirmed full path,
// whole; true when the user confirmed a name.
bool choose_save_file(HWND owner, const std::wstring& current, std::wstring* result);

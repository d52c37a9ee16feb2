// The path rules behind the two "自動" buttons of the settings dialog: the
// list file named after the folder, and the folder of the list file. Pure
// functions, written once over the character type: on code page 932 text
// (a backslash is never the second byte of a double-byte character) and on
// wide native text, which the dialog uses. Both builds can run them.
#pragma once

#include <stddef.h>

#include <string>

// The list file beside the folder: the folder text with the extension of
// its last component cut off and one trailing backslash removed (unless
// that backslash is the whole text), then ".txt". C:\Data\Photos\ gives
// C:\Data\Photos.txt, C:\ gives C:.txt.
std::string output_name_from_folder(const std::string& folder);
std::wstring output_name_from_folder(const std::wstring& folder);

// The folder of the list file: the text before its last backslash with a
// backslash appended; a text without one is kept whole and gets the
// backslash. C:\Data\list.txt gives C:\Data\, list.txt gives list.txt\.
std::string folder_name_from_output(const std::string& output);
std::wstring folder_name_from_output(const std::wstring& output);

// The same on PATH_BUFFER_SIZE buffers. False, with out untouched, when the
// name would not fit in it: nothing is ever cut from a path.
bool make_output_name_from_folder(const char* folder, char* out);
void make_folder_name_from_output(const char* output, char* out);

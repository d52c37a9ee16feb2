// The path rule behind the folder row's "自動" button of the settings
// dialog: the folder of the list file (the list file's own "自動" takes the
// name /auto takes, app/auto_output_name.h). A pure function, written once
// over the character type: on code page 932 text (a backslash is never the
// second byte of a double-byte character) and on wide native text, which the
// dialog uses. Both builds can run it.
#pragma once

#include <stddef.h>

#include <string>

// The folder of the list file: the text before its last backslash with a
// backslash appended; a text without one is kept whole and gets the
// backslash. C:\Data\list.txt gives C:\Data\, list.txt gives list.txt\.
std::string folder_name_from_output(const std::string& output);
std::wstring folder_name_from_output(const std::wstring& output);

// The same on PATH_BUFFER_SIZE buffers.
void make_folder_name_from_output(const char* output, char* out);

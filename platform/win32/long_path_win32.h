// Paths of any length for the wide file calls.
#pragma once

#include <windows.h>

// The path as a wide file call takes it whole: a copy when it is short
// enough for the classic calls, else the absolute path in the "\\?\" form
// ("\\?\UNC\server\share\..." for a network path). A heap block for free();
// null when memory runs out or the path cannot be made absolute.
wchar_t* win32_long_path(const wchar_t* path);

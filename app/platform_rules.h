// Facts about the host's paths that the command line depends on.
#pragma once

#ifdef _WIN32
// "/x" is always a switch: absolute paths begin with a drive or "\\".
constexpr bool ABSOLUTE_PATHS_BEGIN_WITH_SLASH = false;
#else
// "/home/me/list.txt" is a path, not a switch.
constexpr bool ABSOLUTE_PATHS_BEGIN_WITH_SLASH = true;
#endif

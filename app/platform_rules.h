// Facts about the host's paths that the command line depends on.
#pragma once

#ifdef _WIN32
// "/x" is always a switch: absolute paths begin with a drive or "\\".
constexpr bool ABSOLUTE_PATHS_BEGIN_WITH_SLASH = false;
#else
// "/home/me/list.txt" is a path, not a switch.
constexpr bool ABSOLUTE_PATHS_BEGIN_WITH_SLASH = true;
#endif

#ifdef _WIN32
// The settings dialog takes over where the command line falls short.
constexpr bool HAS_SETTINGS_DIALOG = true;
// "-x" is an ordinary list file name.
constexpr bool DASH_OPTIONS = false;
#else
// No dialog: a command line that falls short ends the program.
constexpr bool HAS_SETTINGS_DIALOG = false;
// "-h", "--help", "--version" and "--" as on every Linux program; any other
// "-x" that names no folder is refused.
constexpr bool DASH_OPTIONS = true;
#endif

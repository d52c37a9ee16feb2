// Helpers shared by the unit tests of both builds.
#pragma once

#include <string>

#include "platform/platform.h"

namespace test {

// A fresh folder for one test, removed with everything in it at the end.
// path() is in the program's own text (code page 932, native separators).
class temp_dir {
public:
    temp_dir();
    ~temp_dir();
    temp_dir(const temp_dir&) = delete;
    temp_dir& operator=(const temp_dir&) = delete;
    const std::string& path() const { return path_; }
    // path() joined with a relative name (backslashes on Windows, "/" elsewhere
    // is not needed: the program joins with backslashes on both builds).
    std::string join(const std::string& relative) const;

private:
    std::string path_;
};

// File-system set-up in the program's text; "\\" separates components.
void make_folder(const std::string& path);
void write_file(const std::string& path, const std::string& bytes);
bool read_file(const std::string& path, std::string* bytes);
bool file_exists(const std::string& path);

#ifdef _WIN32
// Reads every folder from `path` up to its drive's root once, a moment after
// the last change under them, for tests that show the shell's folder browser.
// Wine's browser finds a folder in its tree by comparing item records byte for
// byte, and a record carries the folder's last access time. On a Linux file
// system mounted "relatime" that time moves on the first read after a change,
// which can fall between the browser's two looks at a folder and leave its
// selection short of the one asked for. Once read, the times hold still.
void settle_access_times(const std::string& path);
#endif

// Keeps a heap block reachable until the test program ends, for records
// that tests copy freely (a leak check would count it lost otherwise).
void keep_until_exit(const void* block);

// The native text of a path in the program's text (native_from_text).
std::basic_string<nchar_t> native(const std::string& text);
// The program's text of a native path (text_from_native, TEXT_PATH).
std::string text(const std::basic_string<nchar_t>& native);

#ifdef _WIN32
constexpr const char* SEPARATOR = "\\";
constexpr const nchar_t* ROOTS[] = {L"C:\\", L"C:", L"\\", L"/", L"C:\\\\", L"\\\\server\\share\\"};
#else
constexpr const char* SEPARATOR = "/";
constexpr const nchar_t* ROOTS[] = {"/", "//", "///"};
#endif

// Restores the default platform calls after each test that replaces some.
struct os_restore {
    ~os_restore() { os_restore_all(); }
};

}  // namespace test

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

// Restores the default platform calls after each test that replaces some.
struct os_restore {
    ~os_restore() { os = os_default; }
};

}  // namespace test

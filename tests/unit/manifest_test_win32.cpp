// The program's manifest (linked into this test program as into the exe)
// puts common controls version 6 and DPI awareness into effect.
#include <ctype.h>
#include <windows.h>
// after windows.h, which it needs
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

namespace {

// The file the process's comctl32 came from, in lower case.
std::string loaded_comctl32_path() {
    char path[MAX_PATH] = "";
    HMODULE comctl32 = GetModuleHandleA("comctl32.dll");
    if (comctl32) GetModuleFileNameA(comctl32, path, sizeof path);
    std::string lower(path);
    for (char& c : lower) c = static_cast<char>(tolower(static_cast<unsigned char>(c)));
    return lower;
}

}  // namespace

// Version 6 lives in the side-by-side store, not in the system folder; Wine
// reports the same DllGetVersion for both, so the file's place tells them apart.
TEST(Manifest, CommonControlsVersion6AreInUse) {
    InitCommonControls();
    EXPECT_NE(loaded_comctl32_path().find("\\winsxs\\"), std::string::npos) << loaded_comctl32_path();
    EXPECT_NE(loaded_comctl32_path().find("common-controls_6595b64144ccf1df_6."), std::string::npos)
        << loaded_comctl32_path();
}

TEST(Manifest, ProcessIsDpiAware) {
    EXPECT_TRUE(IsProcessDPIAware());
}

// The choosers and buttons of the settings dialog's path rows, with the real
// common save dialog and the real shell folder browser: a second thread waits
// for the chooser to come up, looks at it and answers it, while the test
// thread runs the chooser's modal loop. The path rows are two plain edit
// boxes with the dialog's ids under a top-level window.
#include <windows.h>
// after windows.h, which they need
#include <commctrl.h>
#include <commdlg.h>
#include <dlgs.h>
#include <gtest/gtest.h>
#include <shlobj.h>
#include <string.h>

#include <string>
#include <vector>

#include "support/test_support.h"
#include "text/mbs.h"
#include "ui/settings/choosers.h"
#include "ui/settings/settings_ids.h"

namespace {

// --- The path rows -------------------------------------------------------------

class path_rows_t {
public:
    path_rows_t() {
        const HINSTANCE instance = GetModuleHandleA(nullptr);
        window_ = CreateWindowExA(0, "STATIC", "path rows", WS_OVERLAPPEDWINDOW, 0, 0, 480, 120, nullptr,
                                  nullptr, instance, nullptr);
        const int ids[] = {IDC_OUTPUT_FILE, IDC_FOLDER};
        for (int row = 0; row < 2; ++row) {
            // Wide boxes, as in the dialog, which is a wide window.
            CreateWindowExW(0, L"EDIT", L"", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL, 8, 8 + 32 * row, 440, 24,
                            window_, (HMENU)(INT_PTR)ids[row], instance, nullptr);
        }
    }
    ~path_rows_t() { DestroyWindow(window_); }
    path_rows_t(const path_rows_t&) = delete;
    path_rows_t& operator=(const path_rows_t&) = delete;

    HWND window() const { return window_; }
    void set(int id, const std::string& text) { SetDlgItemTextA(window_, id, text.c_str()); }
    std::string get(int id) const {
        std::vector<char> text(4096, '\0');
        GetDlgItemTextA(window_, id, text.data(), (int)text.size());
        return text.data();
    }
    void set_wide(int id, const std::wstring& text) { SetDlgItemTextW(window_, id, text.c_str()); }
    std::wstring get_wide(int id) const {
        std::vector<wchar_t> text(4096, L'\0');
        GetDlgItemTextW(window_, id, text.data(), (int)text.size());
        return text.data();
    }

private:
    HWND window_ = nullptr;
};

// --- Answering a chooser from a second thread ------------------------------------------

// What the driver does with the chooser once it is up; it ends by posting
// IDOK or IDCANCEL to it.
typedef void (*chooser_answer_t)(HWND chooser, void* context);

struct chooser_search_t {
    HWND owner;
    HWND found;
};

BOOL CALLBACK find_visible_owned_dialog(HWND window, LPARAM data) {
    chooser_search_t* search = (chooser_search_t*)data;
    char class_name[16] = "";
    GetClassNameA(window, class_name, sizeof class_name);
    if (strcmp(class_name, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    search->found = window;
    return FALSE;
}

class chooser_driver_t {
public:
    chooser_driver_t(HWND owner, chooser_answer_t answer, void* context)
        : ui_thread_(GetCurrentThreadId()), owner_(owner), answer_(answer), context_(context) {
        thread_ = CreateThread(nullptr, 0, drive, this, 0, nullptr);
    }
    ~chooser_driver_t() { finish(); }
    chooser_driver_t(const chooser_driver_t&) = delete;
    chooser_driver_t& operator=(const chooser_driver_t&) = delete;

    // Waits for the driver; whether it found the chooser and answered it.
    bool finish() {
        if (thread_ != nullptr) {
            WaitForSingleObject(thread_, INFINITE);
            CloseHandle(thread_);
            thread_ = nullptr;
        }
        return answered_;
    }

private:
    // The chooser is visible once its initialisation (and the folder
    // browser's callback) has run. The bound only keeps a broken run from
    // waiting for ever; the modal loop is left open then.
    static DWORD WINAPI drive(void* data) {
        chooser_driver_t* driver = (chooser_driver_t*)data;
        for (int attempt = 0; attempt < 3000; ++attempt) {
            chooser_search_t search = {driver->owner_, nullptr};
            EnumThreadWindows(driver->ui_thread_, find_visible_owned_dialog, (LPARAM)&search);
            if (search.found != nullptr) {
                driver->answer_(search.found, driver->context_);
                driver->answered_ = true;
                return 0;
            }
            Sleep(10);
        }
        return 1;
    }

    DWORD ui_thread_;
    HWND owner_;
    chooser_answer_t answer_;
    void* context_;
    HANDLE thread_ = nullptr;
    bool answered_ = false;
};

// --- The save chooser -------------------------------------------------------------

struct save_answer_t {
    const char* typed_name;  // typed into the file-name box, then OK; null: cancel
    std::string folder;      // the folder the chooser showed
    std::string name;        // the file name it proposed
};

// The chooser is a wide one: asked in UTF-16, shown as the program's text.
std::string chooser_text(HWND chooser, UINT message) {
    wchar_t text[1024] = L"";
    const LRESULT length = SendMessageW(chooser, message, sizeof text / sizeof text[0], (LPARAM)text);
    return length > 0 ? test::text(text) : std::string();
}

void look_then_answer_save(HWND chooser, void* context) {
    save_answer_t* answer = (save_answer_t*)context;
    answer->folder = chooser_text(chooser, CDM_GETFOLDERPATH);
    answer->name = chooser_text(chooser, CDM_GETSPEC);
    if (answer->typed_name == nullptr) {
        PostMessageA(chooser, WM_COMMAND, IDCANCEL, 0);
        return;
    }
    // The file-name box is a combo box in some versions of the dialog, an
    // edit box in others.
    HWND name_box = GetDlgItem(chooser, cmb13);
    if (name_box == nullptr) name_box = GetDlgItem(chooser, edt1);
    SetWindowTextA(name_box, answer->typed_name);
    PostMessageA(chooser, WM_COMMAND, IDOK, 0);
}

TEST(SaveChooser, OpensInFolderOfOutputAndMakesANameWithoutExtensionATextFile) {
    test::temp_dir dir;
    const struct {
        const char* typed;
        const char* named;
    } cases[] = {{"report", "report.txt"}, {"report.csv", "report.csv"}};
    for (const auto& c : cases) {
        path_rows_t rows;
        rows.set(IDC_OUTPUT_FILE, dir.join("list.txt"));
        save_answer_t answer = {c.typed, "", ""};
        chooser_driver_t driver(rows.window(), look_then_answer_save, &answer);
        EXPECT_EQ(browse_output_file(rows.window()), TRUE);
        ASSERT_TRUE(driver.finish()) << "the save chooser did not come up";

        EXPECT_EQ(answer.folder, dir.path());
        EXPECT_EQ(answer.name, "list.txt");
        EXPECT_EQ(rows.get(IDC_OUTPUT_FILE), dir.join(c.named));
    }
}

TEST(SaveChooser, CancelLeavesOutputBox) {
    test::temp_dir dir;
    path_rows_t rows;
    rows.set(IDC_OUTPUT_FILE, dir.join("list.txt"));

    save_answer_t answer = {nullptr, "", ""};
    chooser_driver_t driver(rows.window(), look_then_answer_save, &answer);
    EXPECT_EQ(browse_output_file(rows.window()), TRUE);
    ASSERT_TRUE(driver.finish()) << "the save chooser did not come up";
    EXPECT_EQ(rows.get(IDC_OUTPUT_FILE), dir.join("list.txt"));
}

// The chooser's answer to a text, cancelled after a look.
save_answer_t look_at_save_chooser(const char* current, bool* chosen) {
    path_rows_t rows;
    save_answer_t answer = {nullptr, "", ""};
    chooser_driver_t driver(rows.window(), look_then_answer_save, &answer);
    std::wstring result;
    *chosen = choose_save_file(rows.window(), test::native(current), &result);
    EXPECT_TRUE(driver.finish()) << "the save chooser did not come up for " << current;
    return answer;
}

TEST(SaveChooser, NameWithoutFolderIsProposedWhole) {
    bool chosen = true;
    EXPECT_EQ(look_at_save_chooser("list.txt", &chosen).name, "list.txt");
    EXPECT_FALSE(chosen);

    chosen = true;
    EXPECT_EQ(look_at_save_chooser("", &chosen).name, "");
    EXPECT_FALSE(chosen);
}

TEST(SaveChooser, FileInDriveRootOpensAtRoot) {
    // The chooser opens at the root whatever the current folder of the drive
    // is ("C:" alone would name that folder), so make it another one.
    test::temp_dir dir;
    ASSERT_EQ(dir.path().compare(0, 3, "C:\\"), 0) << dir.path();
    char saved[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));

    bool chosen = true;
    const save_answer_t answer = look_at_save_chooser("C:\\list.txt", &chosen);
    SetCurrentDirectoryA(saved);
    EXPECT_EQ(answer.folder, "C:\\");
    EXPECT_EQ(answer.name, "list.txt");
    EXPECT_FALSE(chosen);
}

// --- The folder browser -----------------------------------------------------------------

class FolderBrowser : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

struct folder_answer_t {
    folder_answer_t(bool confirm_, PIDLIST_ABSOLUTE virtual_item_, const char* then_select_)
        : confirm(confirm_), virtual_item(virtual_item_), then_select(then_select_) {}
    bool confirm;                   // OK, or else cancel
    PIDLIST_ABSOLUTE virtual_item;  // selected on the way when not null
    const char* then_select;        // selected last when not null
    std::string selected_name;      // the tree's selection when the browser came up
    bool ok_enabled = false;        // OK on the first selection
    bool ok_enabled_on_virtual = true;
    bool ok_enabled_at_end = false;
};

std::string tree_selection_text(HWND browser) {
    HWND tree = FindWindowExA(browser, nullptr, WC_TREEVIEWA, nullptr);
    if (tree == nullptr) return "(no tree)";
    HTREEITEM item = (HTREEITEM)SendMessageA(tree, TVM_GETNEXTITEM, TVGN_CARET, 0);
    char text[MAX_PATH] = "";
    TVITEMA record = {};
    record.mask = TVIF_TEXT;
    record.hItem = item;
    record.pszText = text;
    record.cchTextMax = sizeof text;
    if (item == nullptr || !SendMessageA(tree, TVM_GETITEMA, 0, (LPARAM)&record)) return "(no selection)";
    return text;
}

void look_then_answer_folder(HWND browser, void* context) {
    folder_answer_t* answer = (folder_answer_t*)context;
    HWND ok = GetDlgItem(browser, IDOK);
    answer->selected_name = tree_selection_text(browser);
    answer->ok_enabled = IsWindowEnabled(ok) != FALSE;
    if (answer->virtual_item != nullptr) {
        SendMessageA(browser, BFFM_SETSELECTIONA, FALSE, (LPARAM)answer->virtual_item);
        answer->ok_enabled_on_virtual = IsWindowEnabled(ok) != FALSE;
    }
    if (answer->then_select != nullptr)
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, (LPARAM)answer->then_select);
    answer->ok_enabled_at_end = IsWindowEnabled(ok) != FALSE;
    PostMessageA(browser, WM_COMMAND, answer->confirm ? IDOK : IDCANCEL, 0);
}

// The static text above the tree: the browser's instruction.
bool shows_text(HWND browser, const std::string& wanted) {
    for (HWND child = GetWindow(browser, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        wchar_t text[256] = L"";
        GetWindowTextW(child, text, 256);
        if (test::text(text) == wanted) return true;
    }
    return false;
}

struct instructed_answer_t {
    folder_answer_t answer;
    bool instructed;
};

void look_for_instruction_then_answer(HWND browser, void* context) {
    instructed_answer_t* answer = (instructed_answer_t*)context;
    answer->instructed = shows_text(browser, "一覧を作成するフォルダを選んでください。");
    look_then_answer_folder(browser, &answer->answer);
}

// The browser opens at the folder typed, made whole; a typed folder that
// does not exist opens it at the nearest one above that does.
TEST_F(FolderBrowser, OpensAtTheTypedFolderWithItsInstructionAndGivesItBack) {
    test::temp_dir dir;
    const std::string folder = dir.join("Chosen Folder");
    test::make_folder(folder);
    test::settle_access_times(folder);
    char saved[MAX_PATH] = "";
    GetCurrentDirectoryA(sizeof saved, saved);
    ASSERT_TRUE(SetCurrentDirectoryA(dir.path().c_str()));
    for (const std::string& typed : {folder, std::string("Chosen Folder"), folder + "\\missing\\deeper"}) {
        SCOPED_TRACE(typed);
        path_rows_t rows;
        rows.set(IDC_FOLDER, typed);
        instructed_answer_t answer = {folder_answer_t(true, nullptr, nullptr), false};
        chooser_driver_t driver(rows.window(), look_for_instruction_then_answer, &answer);
        EXPECT_EQ(browse_folder(rows.window()), TRUE);
        ASSERT_TRUE(driver.finish()) << "the folder browser did not come up";
        EXPECT_TRUE(answer.instructed) << "no instruction above the tree";
        EXPECT_EQ(answer.answer.selected_name, "Chosen Folder");
        EXPECT_TRUE(answer.answer.ok_enabled);
        EXPECT_EQ(rows.get(IDC_FOLDER), folder);
    }
    SetCurrentDirectoryA(saved);
}

TEST_F(FolderBrowser, VirtualFolderCannotBeConfirmed) {
    test::temp_dir dir;
    const std::string first = dir.join("First");
    const std::string second = dir.join("Second");
    test::make_folder(first);
    test::make_folder(second);
    test::settle_access_times(first);
    test::settle_access_times(second);
    PIDLIST_ABSOLUTE computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);

    std::wstring path = test::native(first);
    folder_answer_t answer(true, computer, second.c_str());
    chooser_driver_t driver(nullptr, look_then_answer_folder, &answer);
    const bool chosen = choose_folder(nullptr, &path);
    ASSERT_TRUE(driver.finish()) << "the folder browser did not come up";
    CoTaskMemFree(computer);

    EXPECT_TRUE(answer.ok_enabled);
    EXPECT_FALSE(answer.ok_enabled_on_virtual);
    EXPECT_TRUE(answer.ok_enabled_at_end);
    EXPECT_TRUE(chosen);
    EXPECT_EQ(test::text(path), second) << "the last selection is the answer";
}

TEST_F(FolderBrowser, CancelKeepsInitialText) {
    test::temp_dir dir;
    test::settle_access_times(dir.path());
    std::wstring path = test::native(dir.path());

    folder_answer_t answer(false, nullptr, nullptr);
    chooser_driver_t driver(nullptr, look_then_answer_folder, &answer);
    EXPECT_FALSE(choose_folder(nullptr, &path));
    ASSERT_TRUE(driver.finish()) << "the folder browser did not come up";
    EXPECT_EQ(test::text(path), dir.path());
}

// --- The browser's callback and the item conversion --------------------------------------

struct received_message_t {
    UINT message;
    WPARAM wparam;
    LPARAM lparam;
};
std::vector<received_message_t> received;

LRESULT CALLBACK record_browser_message(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message >= WM_USER) {
        received.push_back({message, wparam, lparam});
        return 0;
    }
    return DefWindowProcA(window, message, wparam, lparam);
}

// A window that only records the browser messages sent to it.
HWND make_recording_window() {
    static ATOM registered = 0;
    const HINSTANCE instance = GetModuleHandleA(nullptr);
    if (registered == 0) {
        WNDCLASSA window_class = {};
        window_class.lpfnWndProc = record_browser_message;
        window_class.hInstance = instance;
        window_class.lpszClassName = "scrivlet browser messages";
        registered = RegisterClassA(&window_class);
    }
    received.clear();
    return CreateWindowExA(0, "scrivlet browser messages", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance,
                           nullptr);
}

TEST(BrowseFolderCallback, SelectsInitialFolderOnlyWhenThereIsOne) {
    HWND browser = make_recording_window();
    ASSERT_NE(browser, nullptr);
    wchar_t initial[] = L"C:\\Data\\café";
    EXPECT_EQ(browse_folder_callback(browser, BFFM_INITIALIZED, 0, (LPARAM)initial), 0);
    ASSERT_EQ(received.size(), 1u);
    EXPECT_EQ(received[0].message, (UINT)BFFM_SETSELECTIONW) << "the wide text, whole";
    EXPECT_EQ(received[0].wparam, (WPARAM)TRUE) << "the parameter is a path text";
    EXPECT_EQ(received[0].lparam, (LPARAM)initial);

    received.clear();
    wchar_t empty[] = L"";
    EXPECT_EQ(browse_folder_callback(browser, BFFM_INITIALIZED, 0, 0), 0);
    EXPECT_EQ(browse_folder_callback(browser, BFFM_INITIALIZED, 0, (LPARAM)empty), 0);
    EXPECT_TRUE(received.empty()) << received.size() << " messages";
    DestroyWindow(browser);
}

TEST(BrowseFolderCallback, OkFollowsWhetherSelectionHasPath) {
    test::temp_dir dir;
    PIDLIST_ABSOLUTE computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(dir.path().c_str());
    ASSERT_NE(folder, nullptr);
    HWND browser = make_recording_window();
    ASSERT_NE(browser, nullptr);

    EXPECT_EQ(browse_folder_callback(browser, BFFM_SELCHANGED, (LPARAM)computer, 0), 0);
    EXPECT_EQ(browse_folder_callback(browser, BFFM_SELCHANGED, (LPARAM)folder, 0), 0);
    EXPECT_EQ(browse_folder_callback(browser, BFFM_SELCHANGED, 0, 0), 0);
    ASSERT_EQ(received.size(), 2u);
    EXPECT_EQ(received[0].message, (UINT)BFFM_ENABLEOK);
    EXPECT_EQ(received[0].lparam, 0) << "the computer is no folder on disk";
    EXPECT_EQ(received[1].message, (UINT)BFFM_ENABLEOK);
    EXPECT_EQ(received[1].lparam, 1);

    DestroyWindow(browser);
    ILFree(folder);
    CoTaskMemFree(computer);
}

TEST(PathFromIdList, RealFolderHasPathVirtualOneHasNone) {
    test::temp_dir dir;
    PIDLIST_ABSOLUTE folder = ILCreateFromPathA(dir.path().c_str());
    ASSERT_NE(folder, nullptr);
    std::wstring path = L"x";
    EXPECT_TRUE(path_from_id_list(folder, &path));
    EXPECT_EQ(test::text(path), dir.path());
    ILFree(folder);

    PIDLIST_ABSOLUTE computer = nullptr;
    ASSERT_EQ(SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer), S_OK);
    path = L"untouched";
    EXPECT_FALSE(path_from_id_list(computer, &path));
    EXPECT_EQ(path, L"untouched");
    CoTaskMemFree(computer);
}

// --- The automatic-name buttons on real boxes -------------------------------------------

TEST(AutoNameButtons, OutputFromFolderAndFolderFromOutput) {
    path_rows_t rows;
    const std::string hyo = "\x95\x5C";  // 表, whose second byte is the backslash code
    rows.set(IDC_FOLDER, "C:\\Data\\" + hyo + "\\");
    EXPECT_EQ(auto_output_name(rows.window()), TRUE);
    EXPECT_EQ(rows.get(IDC_OUTPUT_FILE), "C:\\Data\\" + hyo + ".txt")
        << "beside the folder, as /auto names it";

    rows.set(IDC_OUTPUT_FILE, "C:\\Data\\list.txt");
    EXPECT_EQ(auto_folder_name(rows.window()), TRUE);
    EXPECT_EQ(rows.get(IDC_FOLDER), "C:\\Data\\");
}

TEST(AutoNameButtons, WorkOnTheWholeWideText) {
    path_rows_t rows;
    // é, an emoji and Hangul: none of them in code page 932; 600 units long.
    const std::wstring name = L"caf\u00e9 \U0001F600 \uD55C\uAE00";
    const std::wstring folder = L"C:\\" + std::wstring(600 - 3 - name.size(), L'f') + name;
    rows.set_wide(IDC_FOLDER, folder);
    EXPECT_EQ(auto_output_name(rows.window()), TRUE);
    EXPECT_EQ(rows.get_wide(IDC_OUTPUT_FILE), folder + L".txt");

    rows.set_wide(IDC_OUTPUT_FILE, folder + L"\\list.txt");
    EXPECT_EQ(auto_folder_name(rows.window()), TRUE);
    EXPECT_EQ(rows.get_wide(IDC_FOLDER), folder + L"\\");
}

}  // namespace

#include "support/dialog_session_win32.h"

#include <gtest/gtest.h>
#include <string.h>
// after windows.h, which they need
#include <commctrl.h>
#include <objbase.h>

#include <utility>

#include "platform/platform.h"
#include "ui/settings/settings_ids.h"

namespace test {

std::vector<recorded_box_t> recorded_boxes;
std::deque<int> box_answers;

namespace {

HANDLE box_recorded = nullptr;  // auto-reset: one box more was recorded

int recording_message_box(HWND owner, const char* text, const char* caption, unsigned style) {
    recorded_boxes.push_back({owner, text, caption, style});
    int answer = IDOK;
    if (!box_answers.empty()) {
        answer = box_answers.front();
        box_answers.pop_front();
    }
    SetEvent(box_recorded);
    return answer;
}

// COM as the program's start-up gives it: the folder browser needs it.
DWORD WINAPI dialog_thread(void* arg) {
    auto* run = static_cast<std::pair<dialog_param_t*, bool*>*>(arg);
    const HRESULT com = CoInitialize(nullptr);
    *run->second = show_settings_dialog(run->first);
    if (SUCCEEDED(com)) CoUninitialize();
    delete run;
    return 0;
}

BOOL CALLBACK find_dialog_window(HWND hwnd, LPARAM arg) {
    char cls[32] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0) return TRUE;
    *reinterpret_cast<HWND*>(arg) = hwnd;
    return FALSE;
}

struct owned_search_t {
    HWND owner;
    HWND found;
};

BOOL CALLBACK find_owned_dialog(HWND window, LPARAM data) {
    owned_search_t* search = reinterpret_cast<owned_search_t*>(data);
    char cls[32] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
    if (GetWindow(window, GW_OWNER) != search->owner) return TRUE;
    search->found = window;
    return FALSE;
}

}  // namespace

dialog_param_t copy_of(const dialog_param_t& param) {
    dialog_param_t copy = param;
    user_path_init(&copy.folder);
    user_path_init(&copy.output_file);
    user_path_copy(&copy.folder, &param.folder);
    user_path_copy(&copy.output_file, &param.output_file);
    return copy;
}

dialog_param_t default_param() {
    settings_t s;
    settings_init(&s);
    dialog_param_t p;
    dialog_param_init(&p);
    p.filter_kind = s.filter_kind;
    p.flags = s.flags;
    p.case_mode = s.case_mode;
    return p;
}

dialog_param_t param_with(const std::string& folder, const std::string& output) {
    dialog_param_t p = default_param();
    user_path_set_text(&p.folder, folder.c_str());
    user_path_set_text(&p.output_file, output.c_str());
    return p;
}

dialog_session::dialog_session(const dialog_param_t& param) : param_(copy_of(param)) {
    recorded_boxes.clear();
    box_answers.clear();
    if (!box_recorded) box_recorded = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    ResetEvent(box_recorded);
    os.message_box = recording_message_box;
    auto* run = new std::pair<dialog_param_t*, bool*>(&param_, &result_);
    thread_ = CreateThread(nullptr, 0, dialog_thread, run, 0, &thread_id_);
    const DWORD start = GetTickCount();
    while (!dialog_ || !IsWindowVisible(dialog_)) {
        HWND found = nullptr;
        EnumThreadWindows(thread_id_, find_dialog_window, reinterpret_cast<LPARAM>(&found));
        dialog_ = found;
        if (GetTickCount() - start > SAFETY_LIMIT_MS || WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0)
            break;
        Sleep(5);
    }
    // The dialog is shown after its initialisation; a sent message returns
    // once the dialog's thread is in its message loop.
    if (dialog_) SendMessageA(dialog_, WM_NULL, 0, 0);
}

dialog_session::~dialog_session() {
    if (thread_ && WaitForSingleObject(thread_, 0) == WAIT_TIMEOUT && IsWindow(dialog_)) {
        PostMessageA(dialog_, WM_COMMAND, IDCANCEL, 0);
    }
    if (thread_) {
        WaitForSingleObject(thread_, SAFETY_LIMIT_MS);
        CloseHandle(thread_);
    }
    os = os_default;
}

bool dialog_session::finish() {
    EXPECT_EQ(WaitForSingleObject(thread_, SAFETY_LIMIT_MS), WAIT_OBJECT_0) << "the dialog did not end";
    return result_;
}

bool dialog_session::wait_for_boxes(size_t count) const {
    while (recorded_boxes.size() < count) {
        if (WaitForSingleObject(box_recorded, SAFETY_LIMIT_MS) != WAIT_OBJECT_0) return false;
    }
    return true;
}

HWND dialog_session::wait_for_owned(HWND owner) const {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < SAFETY_LIMIT_MS) {
        owned_search_t search{owner, nullptr};
        EnumThreadWindows(thread_id_, find_owned_dialog, reinterpret_cast<LPARAM>(&search));
        if (search.found) {
            // Up once its own loop answers.
            SendMessageA(search.found, WM_NULL, 0, 0);
            return search.found;
        }
        Sleep(10);
    }
    return nullptr;
}

void dialog_session::set_text(int id, const char* text, HWND in) const {
    SetDlgItemTextA(in_or_dialog(in), id, text);
}

void dialog_session::set_wide_text(int id, const std::wstring& text) const {
    SetDlgItemTextW(dialog_, id, text.c_str());
}

std::wstring dialog_session::wide_text(int id) const {
    std::vector<wchar_t> buffer(40000, L'\0');
    GetDlgItemTextW(dialog_, id, buffer.data(), (int)buffer.size());
    return buffer.data();
}

void dialog_session::type(int id, const char* text, HWND in) const {
    HWND box = GetDlgItem(in_or_dialog(in), id);
    const LRESULT end = SendMessageA(box, WM_GETTEXTLENGTH, 0, 0);
    SendMessageA(box, EM_SETSEL, end, end);
    SendMessageA(box, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text));
}

std::string dialog_session::text(int id, HWND in) const {
    char buffer[4096] = "";
    GetDlgItemTextA(in_or_dialog(in), id, buffer, sizeof buffer);
    return buffer;
}

bool dialog_session::enabled(int id, HWND in) const {
    return IsWindowEnabled(GetDlgItem(in_or_dialog(in), id)) != FALSE;
}

bool dialog_session::checked(int id, HWND in) const {
    return IsDlgButtonChecked(in_or_dialog(in), id) == BST_CHECKED;
}

void dialog_session::click(int id, HWND in) const {
    SendMessageA(GetDlgItem(in_or_dialog(in), id), BM_CLICK, 0, 0);
}

void dialog_session::choose_filter_kind(int index) const {
    SendMessageA(item(IDC_FILTER_KIND), CB_SETCURSEL, index, 0);
    SendMessageA(dialog_, WM_COMMAND, MAKEWPARAM(IDC_FILTER_KIND, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(item(IDC_FILTER_KIND)));
}

std::string dialog_session::selected_filter_label() const {
    char label[64] = "";
    const LRESULT index = SendMessageA(item(IDC_FILTER_KIND), CB_GETCURSEL, 0, 0);
    SendMessageA(item(IDC_FILTER_KIND), CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(label));
    return label;
}

HWND dialog_session::focus() const {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(thread_id_, &info);
    return info.hwndFocus;
}

bool dialog_session::whole_text_selected(int id) const {
    DWORD start = 1, end = 0;
    SendMessageA(item(id), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    return start == 0 && end == static_cast<DWORD>(text(id).size());
}

HWND dialog_session::tooltip() const {
    return static_cast<HWND>(GetPropA(dialog_, "PROP_DIALOGTOOLTIPCTRL"));
}

// Asked for in UTF-16: Wine's TTM_GETTEXTA stops at 80 bytes.
std::string dialog_session::tip_text() const {
    wchar_t wide[1024] = L"";
    TOOLINFOW tool{};
    tool.cbSize = TTTOOLINFOW_V1_SIZE;
    tool.hwnd = dialog_;
    tool.uId = reinterpret_cast<UINT_PTR>(item(IDC_FILTER_TEXT));
    tool.lpszText = wide;
    SendMessageW(tooltip(), TTM_GETTEXTW, sizeof wide / sizeof wide[0], reinterpret_cast<LPARAM>(&tool));
    char text[2048] = "";
    WideCharToMultiByte(932, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

RECT dialog_session::rect_of(HWND control) const {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(HWND_DESKTOP, dialog_, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

int dialog_session::client_width() const {
    RECT r;
    GetClientRect(dialog_, &r);
    return r.right;
}

}  // namespace test

// The settings dialog on a real window, for the tests that drive it (under
// Wine with Xvfb here): show_settings_dialog runs on a thread of its own, the
// test thread works its controls as a user would, and the message boxes of
// the dialogs go to a recorder instead of the screen.
#pragma once

#include <windows.h>

#include <deque>
#include <string>
#include <vector>

#include "ui/settings/settings_dialog.h"

namespace test {

constexpr DWORD SAFETY_LIMIT_MS = 30000;  // only ends a test that hangs

// A message box the program asked for, in its own text.
struct recorded_box_t {
    HWND owner;
    std::string text;
    std::string caption;
    UINT style;
};
// Every box since the session began, and the answers the next ones get (IDOK
// once none are left). Written on the dialog's thread while it waits in the
// box, read by the test once it has waited for the box.
extern std::vector<recorded_box_t> recorded_boxes;
extern std::deque<int> box_answers;

// A record with path blocks of its own, kept until the test program ends,
// as records are copied freely in the tests.
dialog_param_t copy_of(const dialog_param_t& param);
// The defaults of the settings, and the same with two paths.
dialog_param_t default_param();
dialog_param_t param_with(const std::string& folder, const std::string& output);

class dialog_session {
public:
    // Opens the dialog on a thread; the destructor cancels it if the test did
    // not end it.
    explicit dialog_session(const dialog_param_t& param);
    ~dialog_session();
    dialog_session(const dialog_session&) = delete;
    dialog_session& operator=(const dialog_session&) = delete;

    HWND dialog() const { return dialog_; }
    HWND item(int id) const { return GetDlgItem(dialog_, id); }
    DWORD thread_id() const { return thread_id_; }

    // Waits for the dialog to end; show_settings_dialog's result.
    bool finish();
    bool ended() const { return WaitForSingleObject(thread_, 0) == WAIT_OBJECT_0; }
    const dialog_param_t& param() const { return param_; }
    // Waits until `count` message boxes have been recorded.
    bool wait_for_boxes(size_t count) const;
    // A visible dialog of the dialog's thread owned by `owner` (a chooser, the
    // 詳細設定 dialog, the version window), once it is up; null after the
    // safety limit.
    HWND wait_for_owned(HWND owner) const;
    // Clicks a button as the user does, posted: what it opens runs modally on
    // the dialog's thread.
    void post_click(HWND button) const { PostMessageA(button, BM_CLICK, 0, 0); }

    // Driving the controls; each works on any dialog of the session, the
    // settings dialog unless another is named.
    void set_text(int id, const char* text, HWND in = nullptr) const;
    void set_wide_text(int id, const std::wstring& text) const;
    std::wstring wide_text(int id) const;
    void type(int id, const char* text, HWND in = nullptr) const;
    std::string text(int id, HWND in = nullptr) const;
    bool enabled(int id, HWND in = nullptr) const;
    bool checked(int id, HWND in = nullptr) const;
    void click(int id, HWND in = nullptr) const;
    void choose_filter_kind(int index) const;
    std::string selected_filter_label() const;
    HWND focus() const;
    bool whole_text_selected(int id) const;
    HWND tooltip() const;
    // The filter box's tip in the program's code page.
    std::string tip_text() const;
    // A control's rectangle in the dialog's client coordinates.
    RECT rect_of(HWND control) const;
    int client_width() const;

private:
    HWND in_or_dialog(HWND in) const { return in ? in : dialog_; }

    dialog_param_t param_;
    bool result_ = false;
    HANDLE thread_ = nullptr;
    DWORD thread_id_ = 0;
    HWND dialog_ = nullptr;
};

}  // namespace test

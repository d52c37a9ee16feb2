// The progress window on real windows (under Wine with Xvfb here), with a real
// worker whose job the test holds and releases: the notification-area icon,
// the tray notifications and the one-item menu, cancel, the ignored commands,
// the end code, the tip with the count so far, the exit code of a run, and a
// window that never becomes visible.
//
// The modal tests run the dialog on the test thread; a driver thread acts as
// the shell and the user would (notifications, keys into the menu) and writes
// down what it saw, which the test thread checks once the dialog has ended.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>

#include <atomic>
#include <string>
#include <vector>

#include "app/app_main.h"
#include "listing/listing_job.h"
#include "ui/progress/progress_template.h"
#include "ui/progress/progress_window.h"
#include "ui/progress/tray_icon_win32.h"

namespace {

// Long enough never to be reached by a working build; it only keeps a broken
// one from hanging the test run.
constexpr DWORD GIVE_UP_MS = 20000;
constexpr DWORD POLL_MS = 10;

// --- Jobs --------------------------------------------------------------------------

// A job that runs until the test releases it, and notes whether a cancel was
// asked for meanwhile.
struct held_job_t {
    HANDLE release;
    std::atomic<bool> saw_cancel{false};
};

unsigned job_held(worker_t* worker, void* arg) {
    held_job_t* job = static_cast<held_job_t*>(arg);
    WaitForSingleObject(job->release, GIVE_UP_MS);
    job->saw_cancel = worker_is_cancelled(worker);
    return 0;
}

unsigned job_ending_at_once(worker_t*, void*) {
    return 0;
}

// A started worker with its held job; released (and the job let go) at the end.
struct held_worker_t {
    held_job_t job;
    worker_t* worker;
    held_worker_t() {
        job.release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        worker = worker_create_job(job_held, &job);
        if (worker) worker_start(worker);
    }
    ~held_worker_t() {
        SetEvent(job.release);
        if (worker) worker_release(worker);
        CloseHandle(job.release);
    }
    held_worker_t(const held_worker_t&) = delete;
    held_worker_t& operator=(const held_worker_t&) = delete;
};

// --- The shell's side of the icon ----------------------------------------------------

struct notify_call_t {
    DWORD message;
    NOTIFYICONDATAA data;
};
std::vector<notify_call_t> notify_calls;  // only the user-interface thread adds to it
int add_failures_left = 0;
bool pass_to_shell = true;  // false: every call that does not fail succeeds here
std::vector<DWORD> pauses;
// Signalled (when set) once the icon has been added and once its tip changed.
HANDLE icon_added = nullptr;
HANDLE tip_changed = nullptr;

BOOL WINAPI recording_notify(DWORD message, PNOTIFYICONDATAA data) {
    notify_calls.push_back({message, *data});
    if (message == NIM_ADD && icon_added) SetEvent(icon_added);
    if (message == NIM_MODIFY && tip_changed) SetEvent(tip_changed);
    if (message == NIM_ADD && add_failures_left > 0) {
        --add_failures_left;
        return FALSE;
    }
    return pass_to_shell ? tray_calls_default.Shell_NotifyIconA(message, data) : TRUE;
}

void WINAPI recording_sleep(DWORD milliseconds) {
    pauses.push_back(milliseconds);
}

// Records the shell calls of one test and puts the real ones back.
struct shell_recorder {
    explicit shell_recorder(int failing_adds = 0, bool real_shell = true) {
        notify_calls.clear();
        pauses.clear();
        add_failures_left = failing_adds;
        pass_to_shell = real_shell;
        tray_calls.Shell_NotifyIconA = recording_notify;
        tray_calls.Sleep = recording_sleep;
    }
    ~shell_recorder() { tray_calls = tray_calls_default; }
};

HICON app_icon() {
    return load_small_app_icon(GetModuleHandleA(nullptr));
}

// The dialog as progress_run runs it, but with its end code.
// The folder the tip names in these tests.
constexpr char FOLDER[] = "C:\\Data";
// "Scrivlet: 一覧を作成中 ― " in code page 932.
const std::string TIP_BEFORE_FOLDER = "Scrivlet: \x88\xEA\x97\x97\x82\xF0\x8D\xEC\x90\xAC\x92\x86 \x81\x5C ";

INT_PTR run_progress_dialog(worker_t* worker, HICON icon, const char* folder = FOLDER) {
    void* dialog_template = progress_template_build();
    if (!dialog_template) return -1;
    progress_param_t param = {worker, icon, folder};
    const INT_PTR end =
        DialogBoxIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(dialog_template),
                                nullptr, progress_dialog_proc, reinterpret_cast<LPARAM>(&param));
    free(dialog_template);
    return end;
}

// --- The driver thread ---------------------------------------------------------------

struct found_window_t {
    const char* cls;
    DWORD thread;
    bool must_be_visible;
    HWND hwnd;
};

BOOL CALLBACK match_window(HWND hwnd, LPARAM arg) {
    found_window_t* find = reinterpret_cast<found_window_t*>(arg);
    char cls[64] = "";
    GetClassNameA(hwnd, cls, sizeof cls);
    if (lstrcmpA(cls, find->cls) != 0) return TRUE;
    if (GetWindowThreadProcessId(hwnd, nullptr) != find->thread) return TRUE;
    if (find->must_be_visible && !IsWindowVisible(hwnd)) return TRUE;
    find->hwnd = hwnd;
    return FALSE;
}

// A top-level window of the class on the thread, waited for up to GIVE_UP_MS.
HWND wait_for_window(const char* cls, DWORD thread, bool must_be_visible) {
    const DWORD start = GetTickCount();
    for (;;) {
        found_window_t find = {cls, thread, must_be_visible, nullptr};
        EnumWindows(match_window, reinterpret_cast<LPARAM>(&find));
        if (find.hwnd) return find.hwnd;
        if (GetTickCount() - start >= GIVE_UP_MS) return nullptr;
        Sleep(POLL_MS);
    }
}

bool wait_until_hidden(HWND hwnd) {
    const DWORD start = GetTickCount();
    while (IsWindow(hwnd) && IsWindowVisible(hwnd)) {
        if (GetTickCount() - start >= GIVE_UP_MS) return false;
        Sleep(POLL_MS);
    }
    return true;
}

// The progress window once its set-up is done (the icon record is stored
// before the timer starts and the window is hidden; a sent message is handled
// only once the dialog's own loop runs).
HWND wait_for_progress_window(DWORD ui_thread) {
    HWND window = wait_for_window("#32770", ui_thread, false);
    if (!window) return nullptr;
    const DWORD start = GetTickCount();
    while (!GetPropA(window, "PROP_TRAYICON")) {
        if (GetTickCount() - start >= GIVE_UP_MS) return nullptr;
        Sleep(POLL_MS);
    }
    SendMessageA(window, WM_NULL, 0, 0);
    return window;
}

enum menu_choice_t { CHOOSE_CANCEL, DISMISS };

struct drive_t {
    // What to do.
    DWORD ui_thread;
    held_worker_t* held;
    LPARAM mouse_message;
    menu_choice_t choice;
    // What was seen.
    HWND window;
    bool visible_at_start;
    bool visible_after_show;
    bool alive_after_commands;
    int menu_items;
    std::string menu_text;
    UINT menu_id;
    bool menu_closed;
    bool cancel_signalled;
    bool alive_after_cancel;
};

void drive_menu(drive_t* d) {
    PostMessageA(d->window, WM_TRAY_NOTIFY, TRAY_ICON_UID, d->mouse_message);
    HWND menu_window = wait_for_window("#32768", d->ui_thread, true);
    if (!menu_window) return;
    // Menus are read from inside the process: another process cannot (Wine).
    HMENU menu = (HMENU)SendMessageA(menu_window, MN_GETHMENU, 0, 0);
    d->menu_items = GetMenuItemCount(menu);
    char text[64] = "";
    GetMenuStringA(menu, 0, text, sizeof text, MF_BYPOSITION);
    d->menu_text = text;
    d->menu_id = GetMenuItemID(menu, 0);
    if (d->choice == CHOOSE_CANCEL) {
        PostMessageA(menu_window, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu_window, WM_KEYDOWN, VK_RETURN, 0);
    } else {
        PostMessageA(menu_window, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    d->menu_closed = wait_until_hidden(menu_window);
}

DWORD WINAPI driver_main(void* arg) {
    drive_t* d = static_cast<drive_t*>(arg);
    d->window = wait_for_progress_window(d->ui_thread);
    if (d->window) {
        d->visible_at_start = IsWindowVisible(d->window) != FALSE;
        ShowWindow(d->window, SW_SHOWNORMAL);
        SetWindowPos(d->window, HWND_TOP, 10, 10, 200, 100, SWP_SHOWWINDOW);
        d->visible_after_show = IsWindowVisible(d->window) != FALSE;
        // The hidden button, Esc and the close box: none of them ends the dialog.
        SendMessageA(d->window, WM_COMMAND, IDOK, 0);
        SendMessageA(d->window, WM_COMMAND, IDCANCEL, 0);
        SendMessageA(d->window, WM_CLOSE, 0, 0);
        d->alive_after_commands = IsWindow(d->window) != FALSE;

        drive_menu(d);
        if (d->choice == CHOOSE_CANCEL) {
            d->cancel_signalled =
                WaitForSingleObject(worker_cancel_event(d->held->worker), GIVE_UP_MS) == WAIT_OBJECT_0;
            // The job still holds the thread: the window must still be there.
            d->alive_after_cancel = IsWindow(d->window) != FALSE;
        }
    }
    SetEvent(d->held->job.release);
    return 0;
}

// Runs the dialog on this thread while the driver acts; the end code.
INT_PTR run_driven(drive_t* d) {
    d->ui_thread = GetCurrentThreadId();
    HANDLE driver = CreateThread(nullptr, 0, driver_main, d, 0, nullptr);
    if (!driver) return -1;
    const INT_PTR end = run_progress_dialog(d->held->worker, app_icon());
    WaitForSingleObject(driver, GIVE_UP_MS);
    CloseHandle(driver);
    return end;
}

drive_t new_drive(held_worker_t* held, LPARAM mouse_message, menu_choice_t choice) {
    drive_t d = {};
    d.held = held;
    d.mouse_message = mouse_message;
    d.choice = choice;
    d.menu_items = -1;
    return d;
}

}  // namespace

TEST(ProgressWindow, JobEndingAtOnceStillShowsTheIconAndEndsTheRun) {
    shell_recorder shell;
    worker_t* worker = worker_create_job(job_ending_at_once, nullptr);
    ASSERT_NE(nullptr, worker);
    worker_start(worker);
    const HICON icon = app_icon();
    ASSERT_NE(nullptr, icon) << "the program's small icon";
    ICONINFO info{};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bits{};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof bits, &bits);
    EXPECT_EQ(GetSystemMetrics(SM_CXSMICON), bits.bmWidth) << "drawn at the size the notification area shows";
    if (info.hbmColor) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);

    EXPECT_TRUE(progress_run(GetModuleHandleA(nullptr), worker, icon, FOLDER))
        << "the window watched the worker to its end";
    EXPECT_TRUE(worker_is_finished(worker));
    EXPECT_FALSE(worker_is_cancelled(worker));
    worker_release(worker);

    ASSERT_EQ(2u, notify_calls.size()) << "one add, one delete";
    const NOTIFYICONDATAA& added = notify_calls[0].data;
    EXPECT_EQ((DWORD)NIM_ADD, notify_calls[0].message);
    // The second version of the record, whose tip field holds 128 bytes.
    EXPECT_EQ((DWORD)NOTIFYICONDATAA_V2_SIZE, added.cbSize);
    EXPECT_EQ((UINT)TRAY_ICON_UID, added.uID);
    EXPECT_EQ((UINT)(NIF_MESSAGE | NIF_ICON | NIF_TIP), added.uFlags);
    EXPECT_EQ((UINT)WM_TRAY_NOTIFY, added.uCallbackMessage);
    EXPECT_EQ(icon, added.hIcon);
    EXPECT_EQ(TIP_BEFORE_FOLDER + "C:\\Data (0 \x8C\x8F)", added.szTip) << "nothing found yet";
    EXPECT_EQ((DWORD)NIM_DELETE, notify_calls[1].message);
    EXPECT_EQ(added.hWnd, notify_calls[1].data.hWnd);
    EXPECT_FALSE(IsWindow(added.hWnd)) << "the window is gone after the run";
    EXPECT_TRUE(pauses.empty());
}

TEST(ProgressWindow, RightClickMenuCancelsAndTheWindowWaitsForTheThread) {
    shell_recorder shell;
    held_worker_t held;
    ASSERT_NE(nullptr, held.worker);
    drive_t d = new_drive(&held, WM_RBUTTONUP, CHOOSE_CANCEL);

    EXPECT_EQ(PROGRESS_END_WORKER_DONE, run_driven(&d));
    ASSERT_NE(nullptr, d.window) << "no progress window appeared";
    EXPECT_FALSE(d.visible_at_start);
    EXPECT_FALSE(d.visible_after_show) << "ShowWindow and SetWindowPos must not show it";
    EXPECT_TRUE(d.alive_after_commands) << "commands 1 and 2 and WM_CLOSE must not end it";
    EXPECT_EQ(1, d.menu_items) << "a menu with one item";
    EXPECT_EQ("\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B", d.menu_text) << "キャンセル";
    EXPECT_EQ((UINT)CMD_CANCEL, d.menu_id);
    EXPECT_TRUE(d.menu_closed);
    EXPECT_TRUE(d.cancel_signalled) << "choosing the item signals the worker's cancel event";
    EXPECT_TRUE(d.alive_after_cancel) << "cancel alone does not close the window";
    EXPECT_TRUE(held.job.saw_cancel.load());
    EXPECT_FALSE(IsWindow(d.window));
    ASSERT_FALSE(notify_calls.empty());
    EXPECT_EQ((DWORD)NIM_DELETE, notify_calls.back().message) << "the icon is removed at the end";
}

TEST(ProgressWindow, LeftClickOpensTheMenuTooAndDismissingItCancelsNothing) {
    shell_recorder shell;
    held_worker_t held;
    ASSERT_NE(nullptr, held.worker);
    drive_t d = new_drive(&held, WM_LBUTTONUP, DISMISS);

    EXPECT_EQ(PROGRESS_END_WORKER_DONE, run_driven(&d));
    ASSERT_NE(nullptr, d.window) << "no progress window appeared";
    EXPECT_EQ(1, d.menu_items) << "the left button opens the menu as well";
    EXPECT_TRUE(d.menu_closed);
    EXPECT_FALSE(held.job.saw_cancel.load()) << "a dismissed menu asks for nothing";
    EXPECT_FALSE(worker_is_cancelled(held.worker));
}

// On the test thread: a notification the window answers posts the menu
// command to itself, which is found in the queue before anything runs it.
TEST(ProgressWindow, OnlyButtonReleasesOnItsOwnIconAskForTheMenu) {
    shell_recorder shell;
    held_worker_t held;
    ASSERT_NE(nullptr, held.worker);
    void* dialog_template = progress_template_build();
    ASSERT_NE(nullptr, dialog_template);
    progress_param_t param = {held.worker, app_icon(), FOLDER};
    HWND window =
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(dialog_template),
                                   nullptr, progress_dialog_proc, reinterpret_cast<LPARAM>(&param));
    free(dialog_template);
    ASSERT_NE(nullptr, window);

    struct notification_t {
        WPARAM id;
        LPARAM mouse;
        bool opens_menu;
    };
    const notification_t notifications[] = {
        {TRAY_ICON_UID, WM_LBUTTONUP, true},
        {TRAY_ICON_UID, WM_RBUTTONUP, true},
        {TRAY_ICON_UID, WM_LBUTTONDOWN, false},
        {TRAY_ICON_UID, WM_RBUTTONDOWN, false},
        {TRAY_ICON_UID, WM_LBUTTONDBLCLK, false},
        {TRAY_ICON_UID, WM_RBUTTONDBLCLK, false},
        {TRAY_ICON_UID, WM_MOUSEMOVE, false},
        {TRAY_ICON_UID, WM_MBUTTONUP, false},
        {TRAY_ICON_UID, WM_CONTEXTMENU, false},
        {2, WM_RBUTTONUP, false},
        {0, WM_LBUTTONUP, false},
    };
    for (const notification_t& n : notifications) {
        SendMessageA(window, WM_TRAY_NOTIFY, n.id, n.mouse);
        MSG msg;
        const bool posted = PeekMessageA(&msg, window, WM_COMMAND, WM_COMMAND, PM_REMOVE) != FALSE;
        EXPECT_EQ(n.opens_menu, posted) << "icon " << n.id << ", mouse message 0x" << std::hex << n.mouse;
        if (posted) {
            EXPECT_EQ((WPARAM)CMD_SHOW_TRAY_MENU, msg.wParam);
            EXPECT_EQ(0, msg.lParam);
        }
    }
    EXPECT_FALSE(IsWindowVisible(window));
    DestroyWindow(window);
    ASSERT_FALSE(notify_calls.empty());
    EXPECT_EQ((DWORD)NIM_DELETE, notify_calls.back().message);
}

TEST(ProgressWindow, IconComesBackWhenTheTaskbarIsCreatedAgain) {
    shell_recorder shell(0, false);
    held_worker_t held;
    ASSERT_NE(nullptr, held.worker);
    void* dialog_template = progress_template_build();
    ASSERT_NE(nullptr, dialog_template);
    progress_param_t param = {held.worker, app_icon(), FOLDER};
    HWND window =
        CreateDialogIndirectParamA(GetModuleHandleA(nullptr), static_cast<LPCDLGTEMPLATEA>(dialog_template),
                                   nullptr, progress_dialog_proc, reinterpret_cast<LPARAM>(&param));
    free(dialog_template);
    ASSERT_NE(nullptr, window);
    ASSERT_EQ(1u, notify_calls.size());

    // What Explorer broadcasts after a restart.
    SendMessageA(window, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    ASSERT_EQ(2u, notify_calls.size());
    EXPECT_EQ((DWORD)NIM_ADD, notify_calls[1].message);
    EXPECT_EQ(0, memcmp(&notify_calls[0].data, &notify_calls[1].data, sizeof notify_calls[0].data))
        << "the same record again";
    EXPECT_TRUE(IsWindow(window));
    DestroyWindow(window);
}

TEST(ProgressWindow, WithoutTheIconTheRunStillEndsWithTheJob) {
    shell_recorder shell(TRAY_ADD_ATTEMPTS);  // the notification area never answers
    worker_t* worker = worker_create_job(job_ending_at_once, nullptr);
    ASSERT_NE(nullptr, worker);
    worker_start(worker);
    EXPECT_EQ(PROGRESS_END_WORKER_DONE, run_progress_dialog(worker, app_icon()));
    worker_release(worker);
    EXPECT_EQ((size_t)TRAY_ADD_ATTEMPTS + 1, notify_calls.size()) << "21 adds, then the delete at the end";
    EXPECT_EQ(std::vector<DWORD>(TRAY_ADD_ATTEMPTS - 1, 500), pauses);
}

TEST(TrayIcon, AddTriesTwentyOneTimesWithHalfSecondPauses) {
    NOTIFYICONDATAA* record = tray_icon_create(nullptr, nullptr, "tip");
    ASSERT_NE(nullptr, record);
    {
        shell_recorder shell(1000, false);
        EXPECT_FALSE(tray_icon_add(record));
        EXPECT_EQ(21u, notify_calls.size());
        EXPECT_EQ(std::vector<DWORD>(20, 500), pauses) << "no pause after the last attempt";
    }
    {
        shell_recorder shell(2, false);  // the shell comes up at the third attempt
        EXPECT_TRUE(tray_icon_add(record));
        EXPECT_EQ(3u, notify_calls.size());
        EXPECT_EQ(std::vector<DWORD>(2, 500), pauses);
        for (const notify_call_t& call : notify_calls) EXPECT_EQ((DWORD)NIM_ADD, call.message);
    }
    free(record);
}

TEST(TrayIcon, RecordHoldsTheTipCutWithoutSplittingACharacter) {
    // "ab" and 63 two-byte characters: 128 bytes, one more than the field holds.
    std::string tip = "ab";
    for (int i = 0; i < 63; ++i) tip += "\x82\xA0";  // あ
    NOTIFYICONDATAA* record = tray_icon_create((HWND)0x1234, (HICON)0x5678, tip.c_str());
    ASSERT_NE(nullptr, record);
    EXPECT_EQ(tip.substr(0, 126), std::string(record->szTip)) << "the last character is left out whole";
    EXPECT_EQ((HWND)0x1234, record->hWnd);
    EXPECT_EQ((HICON)0x5678, record->hIcon);
    EXPECT_EQ(0u, record->dwState) << "nothing beyond the tip is set";
    EXPECT_EQ(0u, record->uTimeout);
    EXPECT_EQ('\0', record->szInfo[0]);
    free(record);
}

// --- The count in the tip ------------------------------------------------------------

namespace {

// Adds its items once the icon is there, then waits until the tip has shown
// them (or the test gives up).
struct counting_job_t {
    uint64_t items;
    unsigned result;
};

unsigned job_counting(worker_t* worker, void* arg) {
    const counting_job_t* job = static_cast<const counting_job_t*>(arg);
    WaitForSingleObject(icon_added, GIVE_UP_MS);
    worker_add_found(worker, job->items);
    WaitForSingleObject(tip_changed, GIVE_UP_MS);
    return job->result;
}

struct tip_events_t {
    tip_events_t() {
        icon_added = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        tip_changed = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    }
    ~tip_events_t() {
        CloseHandle(icon_added);
        CloseHandle(tip_changed);
        icon_added = tip_changed = nullptr;
    }
};

// The tips the shell was given, in order.
std::vector<std::string> tips_given(DWORD message) {
    std::vector<std::string> tips;
    for (const notify_call_t& call : notify_calls)
        if (call.message == message) tips.push_back(call.data.szTip);
    return tips;
}

}  // namespace

TEST(ProgressTip, ShowsTheCountSoFarWithGroupedDigits) {
    shell_recorder shell;
    tip_events_t events;
    counting_job_t job = {12345, EXIT_LISTED};
    worker_t* worker = worker_create_job(job_counting, &job);
    ASSERT_NE(nullptr, worker);
    worker_start(worker);
    EXPECT_EQ(PROGRESS_END_WORKER_DONE, run_progress_dialog(worker, app_icon()));
    worker_release(worker);

    const std::string tip = TIP_BEFORE_FOLDER + FOLDER;
    EXPECT_EQ(std::vector<std::string>{tip + " (0 \x8C\x8F)"}, tips_given(NIM_ADD));
    EXPECT_EQ(std::vector<std::string>{tip + " (12,345 \x8C\x8F)"}, tips_given(NIM_MODIFY))
        << "one change for one new count";
    ASSERT_FALSE(notify_calls.empty());
    EXPECT_EQ((DWORD)NIM_DELETE, notify_calls.back().message);
    for (const notify_call_t& call : notify_calls) {
        EXPECT_EQ((UINT)TRAY_ICON_UID, call.data.uID);
        EXPECT_EQ((DWORD)NOTIFYICONDATAA_V2_SIZE, call.data.cbSize);
    }
}

TEST(ProgressTip, StaysWithinTheTipWithALongFolderAndAHugeCount) {
    shell_recorder shell;
    tip_events_t events;
    SetEvent(tip_changed);  // the job ends once the icon is there
    const std::string folder = "C:\\" + std::string(300, 'f') + "\\last";
    counting_job_t job = {0, EXIT_LISTED};
    worker_t* worker = worker_create_job(job_counting, &job);
    ASSERT_NE(nullptr, worker);
    worker_add_found(worker, UINT64_MAX);  // found before the icon is added
    worker_start(worker);
    EXPECT_EQ(PROGRESS_END_WORKER_DONE, run_progress_dialog(worker, app_icon(), folder.c_str()));
    worker_release(worker);
    const std::vector<std::string> added = tips_given(NIM_ADD);
    ASSERT_EQ(1u, added.size());
    EXPECT_EQ(TIP_BEFORE_FOLDER + "C:\\fff", added[0].substr(0, TIP_BEFORE_FOLDER.size() + 6));
    const std::string end = "f\\last (18,446,744,073,709,551,615 \x8C\x8F)";
    EXPECT_EQ(end, added[0].substr(added[0].size() - end.size())) << "the folder's end and the count stay";
    EXPECT_NE(std::string::npos, added[0].find("f...f")) << "the middle of the folder gives way";
    for (const notify_call_t& call : notify_calls) EXPECT_LT(strlen(call.data.szTip), (size_t)128);
}

TEST(ProgressTip, SetTipTellsTheShellOnlyOfAChange) {
    NOTIFYICONDATAA* record = tray_icon_create(nullptr, nullptr, "a (1)");
    ASSERT_NE(nullptr, record);
    shell_recorder shell(0, false);
    EXPECT_TRUE(tray_icon_set_tip(record, "a (1)"));
    EXPECT_TRUE(notify_calls.empty()) << "the same tip again asks the shell for nothing";
    EXPECT_TRUE(tray_icon_set_tip(record, "a (2)"));
    ASSERT_EQ(1u, notify_calls.size());
    EXPECT_EQ((DWORD)NIM_MODIFY, notify_calls[0].message);
    EXPECT_STREQ("a (2)", notify_calls[0].data.szTip);
    EXPECT_STREQ("a (2)", record->szTip);
    free(record);
}

// --- The exit code of a run ------------------------------------------------------------

// The job's status is the program's, however the window ended; a run the
// window could not watch is stopped first (a cancel it may still honour).
TEST(ExitCodeWin32, IsTheJobsStatusAfterTheWindowAndTheTrayCancelReachesTheJob) {
    {
        shell_recorder shell;
        tip_events_t events;
        SetEvent(tip_changed);
        counting_job_t job = {0, EXIT_LIST_FILE};
        worker_t* worker = worker_create_job(job_counting, &job);
        ASSERT_NE(nullptr, worker);
        worker_start(worker);
        EXPECT_TRUE(progress_run(GetModuleHandleA(nullptr), worker, app_icon(), FOLDER));
        listing_outcome_t outcome = {};
        outcome.status = EXIT_LIST_FILE;
        EXPECT_EQ(2, app_exit_code(worker, &outcome));
        worker_release(worker);
    }
    {
        shell_recorder shell;
        held_worker_t held;
        ASSERT_NE(nullptr, held.worker);
        drive_t d = new_drive(&held, WM_RBUTTONUP, CHOOSE_CANCEL);
        EXPECT_EQ(PROGRESS_END_WORKER_DONE, run_driven(&d));
        EXPECT_TRUE(d.cancel_signalled);
        EXPECT_TRUE(held.job.saw_cancel) << "the tray's cancel reaches the job";
    }
}

// Runs until its cancel is asked for, then ends as the listing job does.
unsigned job_until_cancel(worker_t* worker, void* arg) {
    WaitForSingleObject(worker_cancel_event(worker), GIVE_UP_MS);
    static_cast<listing_outcome_t*>(arg)->status = EXIT_CANCELLED;
    return EXIT_CANCELLED;
}

TEST(ExitCodeWin32, RunTheWindowCouldNotWatchIsStoppedAndCancelled) {
    listing_outcome_t outcome = {};
    worker_t* worker = worker_create_job(job_until_cancel, &outcome);
    ASSERT_NE(nullptr, worker);
    worker_start(worker);
    EXPECT_EQ(130, app_exit_code(worker, &outcome));
    EXPECT_TRUE(worker_is_finished(worker));
    worker_release(worker);
}

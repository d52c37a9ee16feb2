// The POSIX stand-ins for events and threads: reset modes, waits with and
// without time-outs, suspended start, exit codes and bad handles.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/posix/sync_posix.h"

namespace {

// Long enough never to be reached by a working build; it only keeps a broken
// one from hanging the test run.
constexpr DWORD GIVE_UP_MS = 30000;

HANDLE new_event(bool manual_reset, bool initial_state) {
    return posix_CreateEventA(nullptr, manual_reset, initial_state, nullptr);
}

HANDLE start_thread(thread_start_fn start, void* arg, unsigned flags) {
    unsigned id = 0;
    HANDLE thread = reinterpret_cast<HANDLE>(posix_beginthreadex(nullptr, 0, start, arg, flags, &id));
    EXPECT_NE(0u, id) << "no thread id";
    return thread;
}

DWORD exit_code_of(HANDLE thread) {
    DWORD code = 0xBAD;
    EXPECT_TRUE(posix_GetExitCodeThread(thread, &code));
    return code;
}

struct waiter_t {
    HANDLE started;  // set by the thread just before it waits
    HANDLE event;    // what it waits for
    DWORD milliseconds;
    HANDLE finished;  // set by the thread after its wait, if given
};

// Returns the result of its wait.
unsigned __stdcall wait_for_event(void* arg) {
    waiter_t* waiter = static_cast<waiter_t*>(arg);
    if (waiter->started) posix_SetEvent(waiter->started);
    DWORD result = posix_WaitForSingleObject(waiter->event, waiter->milliseconds);
    if (waiter->finished) posix_SetEvent(waiter->finished);
    return result;
}

unsigned __stdcall mark_and_return(void* arg) {
    static_cast<std::atomic<bool>*>(arg)->store(true);
    return 1234;
}

}  // namespace

TEST(PosixEvent, ManualResetStaysSignalledUntilClosed) {
    HANDLE event = new_event(true, false);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(event, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(event, 5)) << "a timed wait on a clear event";
    EXPECT_TRUE(posix_SetEvent(event));
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(event, 0));
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(event, 5));
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(event, INFINITE));
    EXPECT_TRUE(posix_SetEvent(event)) << "setting a set event";
    EXPECT_TRUE(posix_CloseHandle(event));
}

TEST(PosixEvent, AutoResetLetsOneWaitThrough) {
    HANDLE event = new_event(false, false);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(event, 0));
    // Two sets in a row still let only one wait through: an event does not count.
    EXPECT_TRUE(posix_SetEvent(event));
    EXPECT_TRUE(posix_SetEvent(event));
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(event, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(event, 0)) << "the event did not reset itself";
    EXPECT_TRUE(posix_CloseHandle(event));
}

TEST(PosixEvent, InitialStateIsHonoured) {
    HANDLE manual = new_event(true, true);
    HANDLE automatic = new_event(false, true);
    ASSERT_NE(nullptr, manual);
    ASSERT_NE(nullptr, automatic);
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(manual, 0));
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(manual, 0));
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(automatic, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(automatic, 0));
    EXPECT_TRUE(posix_CloseHandle(manual));
    EXPECT_TRUE(posix_CloseHandle(automatic));
}

// A thread blocked in a wait, without and with a time-out, wakes when another
// thread sets the event; with automatic reset its wait consumes the signal.
TEST(PosixEvent, BlockedWaitWakesWhenSet) {
    for (DWORD milliseconds : {static_cast<DWORD>(INFINITE), GIVE_UP_MS}) {
        for (bool manual_reset : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "time-out " << milliseconds << ", manual reset " << manual_reset);
            waiter_t waiter = {new_event(true, false), new_event(manual_reset, false), milliseconds, nullptr};
            HANDLE thread = start_thread(wait_for_event, &waiter, 0);
            ASSERT_NE(nullptr, thread);
            ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(waiter.started, GIVE_UP_MS));
            EXPECT_TRUE(posix_SetEvent(waiter.event));
            ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(thread, GIVE_UP_MS));
            EXPECT_EQ(WAIT_OBJECT_0, exit_code_of(thread)) << "the waiting thread's wait result";
            EXPECT_EQ(manual_reset ? WAIT_OBJECT_0 : WAIT_TIMEOUT,
                      posix_WaitForSingleObject(waiter.event, 0));
            EXPECT_TRUE(posix_CloseHandle(thread));
            EXPECT_TRUE(posix_CloseHandle(waiter.event));
            EXPECT_TRUE(posix_CloseHandle(waiter.started));
        }
    }
}

TEST(PosixThread, SuspendedThreadRunsOnlyAfterResume) {
    std::atomic<bool> ran{false};
    HANDLE thread = start_thread(mark_and_return, &ran, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ((DWORD)STILL_ACTIVE, exit_code_of(thread));
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(thread, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(thread, 5));
    EXPECT_FALSE(ran.load()) << "a suspended thread ran";

    EXPECT_EQ(1u, posix_ResumeThread(thread)) << "previous suspend count";
    ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(thread, GIVE_UP_MS));
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(1234u, exit_code_of(thread));
    EXPECT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(thread, 0)) << "an ended thread stays signalled";
    EXPECT_EQ(0u, posix_ResumeThread(thread)) << "resuming an ended thread";
    EXPECT_TRUE(posix_CloseHandle(thread));
}

TEST(PosixThread, RunningThreadIsActiveUntilItEnds) {
    waiter_t waiter = {nullptr, new_event(true, false), INFINITE, nullptr};
    HANDLE thread = start_thread(wait_for_event, &waiter, 0);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ(0u, posix_ResumeThread(thread)) << "resuming a running thread";
    EXPECT_EQ((DWORD)STILL_ACTIVE, exit_code_of(thread));
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(thread, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_WaitForSingleObject(thread, 5));

    EXPECT_TRUE(posix_SetEvent(waiter.event));
    ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(thread, INFINITE));
    EXPECT_EQ(WAIT_OBJECT_0, exit_code_of(thread));
    EXPECT_TRUE(posix_CloseHandle(thread));
    EXPECT_TRUE(posix_CloseHandle(waiter.event));
}

// The thread keeps its record after its handle is gone and frees it when it
// ends (the sanitizer builds see a use after free or a leak here).
TEST(PosixThread, HandleMayBeClosedWhileTheThreadRuns) {
    waiter_t waiter = {new_event(true, false), new_event(true, false), INFINITE, new_event(true, false)};
    HANDLE thread = start_thread(wait_for_event, &waiter, 0);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(waiter.started, GIVE_UP_MS));
    EXPECT_TRUE(posix_CloseHandle(thread));
    EXPECT_TRUE(posix_SetEvent(waiter.event));
    ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(waiter.finished, GIVE_UP_MS));
    EXPECT_TRUE(posix_CloseHandle(waiter.started));
    EXPECT_TRUE(posix_CloseHandle(waiter.event));
    EXPECT_TRUE(posix_CloseHandle(waiter.finished));
}

TEST(PosixHandles, BadHandlesFailWithInvalidHandle) {
    HANDLE event = new_event(true, false);
    std::atomic<bool> ran{false};
    HANDLE thread = start_thread(mark_and_return, &ran, 0);
    ASSERT_NE(nullptr, event);
    ASSERT_NE(nullptr, thread);

    for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        SetLastError(0);
        EXPECT_EQ(WAIT_FAILED, posix_WaitForSingleObject(bad, 0));
        EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
        EXPECT_EQ(WAIT_FAILED, posix_WaitForSingleObject(bad, INFINITE));
        EXPECT_FALSE(posix_SetEvent(bad));
        EXPECT_EQ((DWORD)-1, posix_ResumeThread(bad));
        EXPECT_FALSE(posix_CloseHandle(bad));
    }

    // An event is no thread and a thread no event.
    SetLastError(0);
    EXPECT_EQ((DWORD)-1, posix_ResumeThread(event));
    EXPECT_EQ((DWORD)ERROR_INVALID_HANDLE, GetLastError());
    DWORD code = 0xBAD;
    EXPECT_FALSE(posix_GetExitCodeThread(event, &code));
    EXPECT_EQ(0xBADu, code) << "the exit code was written for an event";
    EXPECT_FALSE(posix_SetEvent(thread));

    ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(thread, GIVE_UP_MS));
    EXPECT_TRUE(posix_CloseHandle(thread));
    EXPECT_TRUE(posix_CloseHandle(event));
}

namespace {
unsigned __stdcall report_last_error(void*) {
    DWORD seen = GetLastError();
    SetLastError(ERROR_ACCESS_DENIED);
    return seen;
}
}  // namespace

TEST(PosixLastError, IsKeptPerThread) {
    SetLastError(ERROR_FILE_NOT_FOUND);
    HANDLE thread = start_thread(report_last_error, nullptr, 0);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, posix_WaitForSingleObject(thread, GIVE_UP_MS));
    EXPECT_EQ(0u, exit_code_of(thread)) << "a new thread inherited the last error";
    EXPECT_EQ((DWORD)ERROR_FILE_NOT_FOUND, GetLastError()) << "another thread changed this one's last error";
    EXPECT_TRUE(posix_CloseHandle(thread));
}

// The POSIX stand-ins for events and threads: reset modes, waits with and
// without time-outs, suspended start, exit codes and bad handles.
#include <gtest/gtest.h>

#include <atomic>

#include "platform/posix/calls_posix.h"

namespace {

// Long enough never to be reached by a working build; it only keeps a broken
// one from hanging the test run.
constexpr uint32_t GIVE_UP_MS = 30000;

HANDLE new_event(bool manual_reset, bool initial_state) {
    return posix_event_create(manual_reset, initial_state);
}

HANDLE start_thread(thread_start_fn start, void* arg, unsigned flags) {
    return posix_thread_create(start, arg, (flags & CREATE_SUSPENDED) != 0);
}

uint32_t exit_code_of(HANDLE thread) {
    uint32_t code = 0xBAD;
    EXPECT_TRUE(posix_thread_exit_code(thread, &code));
    return code;
}

struct waiter_t {
    HANDLE started;  // set by the thread just before it waits
    HANDLE event;    // what it waits for
    uint32_t milliseconds;
    HANDLE finished;  // set by the thread after its wait, if given
};

// Returns the result of its wait.
unsigned wait_for_event(void* arg) {
    waiter_t* waiter = static_cast<waiter_t*>(arg);
    if (waiter->started) posix_event_set(waiter->started);
    uint32_t result = posix_wait(waiter->event, waiter->milliseconds);
    if (waiter->finished) posix_event_set(waiter->finished);
    return result;
}

unsigned mark_and_return(void* arg) {
    static_cast<std::atomic<bool>*>(arg)->store(true);
    return 1234;
}

}  // namespace

TEST(PosixEvent, ManualResetStaysSignalledUntilClosed) {
    HANDLE event = new_event(true, false);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(event, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(event, 5)) << "a timed wait on a clear event";
    EXPECT_TRUE(posix_event_set(event));
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(event, 0));
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(event, 5));
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(event, INFINITE));
    EXPECT_TRUE(posix_event_set(event)) << "setting a set event";
    EXPECT_TRUE(posix_handle_close(event));
}

TEST(PosixEvent, AutoResetLetsOneWaitThrough) {
    HANDLE event = new_event(false, false);
    ASSERT_NE(nullptr, event);
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(event, 0));
    // Two sets in a row still let only one wait through: an event does not count.
    EXPECT_TRUE(posix_event_set(event));
    EXPECT_TRUE(posix_event_set(event));
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(event, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(event, 0)) << "the event did not reset itself";
    EXPECT_TRUE(posix_handle_close(event));
}

TEST(PosixEvent, InitialStateIsHonoured) {
    HANDLE manual = new_event(true, true);
    HANDLE automatic = new_event(false, true);
    ASSERT_NE(nullptr, manual);
    ASSERT_NE(nullptr, automatic);
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(manual, 0));
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(manual, 0));
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(automatic, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(automatic, 0));
    EXPECT_TRUE(posix_handle_close(manual));
    EXPECT_TRUE(posix_handle_close(automatic));
}

// A thread blocked in a wait, without and with a time-out, wakes when another
// thread sets the event; with automatic reset its wait consumes the signal.
TEST(PosixEvent, BlockedWaitWakesWhenSet) {
    for (uint32_t milliseconds : {static_cast<uint32_t>(INFINITE), GIVE_UP_MS}) {
        for (bool manual_reset : {true, false}) {
            SCOPED_TRACE(testing::Message()
                         << "time-out " << milliseconds << ", manual reset " << manual_reset);
            waiter_t waiter = {new_event(true, false), new_event(manual_reset, false), milliseconds, nullptr};
            HANDLE thread = start_thread(wait_for_event, &waiter, 0);
            ASSERT_NE(nullptr, thread);
            ASSERT_EQ(WAIT_OBJECT_0, posix_wait(waiter.started, GIVE_UP_MS));
            EXPECT_TRUE(posix_event_set(waiter.event));
            ASSERT_EQ(WAIT_OBJECT_0, posix_wait(thread, GIVE_UP_MS));
            EXPECT_EQ(WAIT_OBJECT_0, exit_code_of(thread)) << "the waiting thread's wait result";
            EXPECT_EQ(manual_reset ? WAIT_OBJECT_0 : WAIT_TIMEOUT, posix_wait(waiter.event, 0));
            EXPECT_TRUE(posix_handle_close(thread));
            EXPECT_TRUE(posix_handle_close(waiter.event));
            EXPECT_TRUE(posix_handle_close(waiter.started));
        }
    }
}

TEST(PosixThread, SuspendedThreadRunsOnlyAfterResume) {
    std::atomic<bool> ran{false};
    HANDLE thread = start_thread(mark_and_return, &ran, CREATE_SUSPENDED);
    ASSERT_NE(nullptr, thread);
    EXPECT_EQ((uint32_t)STILL_ACTIVE, exit_code_of(thread));
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(thread, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(thread, 5));
    EXPECT_FALSE(ran.load()) << "a suspended thread ran";

    EXPECT_TRUE(posix_thread_resume(thread));
    ASSERT_EQ(WAIT_OBJECT_0, posix_wait(thread, GIVE_UP_MS));
    EXPECT_TRUE(ran.load());
    EXPECT_EQ(1234u, exit_code_of(thread));
    EXPECT_EQ(WAIT_OBJECT_0, posix_wait(thread, 0)) << "an ended thread stays signalled";
    EXPECT_TRUE(posix_thread_resume(thread)) << "resuming an ended thread";
    EXPECT_TRUE(posix_handle_close(thread));
}

TEST(PosixThread, RunningThreadIsActiveUntilItEnds) {
    waiter_t waiter = {nullptr, new_event(true, false), INFINITE, nullptr};
    HANDLE thread = start_thread(wait_for_event, &waiter, 0);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(posix_thread_resume(thread)) << "resuming a running thread";
    EXPECT_EQ((uint32_t)STILL_ACTIVE, exit_code_of(thread));
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(thread, 0));
    EXPECT_EQ(WAIT_TIMEOUT, posix_wait(thread, 5));

    EXPECT_TRUE(posix_event_set(waiter.event));
    ASSERT_EQ(WAIT_OBJECT_0, posix_wait(thread, INFINITE));
    EXPECT_EQ(WAIT_OBJECT_0, exit_code_of(thread));
    EXPECT_TRUE(posix_handle_close(thread));
    EXPECT_TRUE(posix_handle_close(waiter.event));
}

// The thread keeps its record after its handle is gone and frees it when it
// ends (the sanitizer builds see a use after free or a leak here).
TEST(PosixThread, HandleMayBeClosedWhileTheThreadRuns) {
    waiter_t waiter = {new_event(true, false), new_event(true, false), INFINITE, new_event(true, false)};
    HANDLE thread = start_thread(wait_for_event, &waiter, 0);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, posix_wait(waiter.started, GIVE_UP_MS));
    EXPECT_TRUE(posix_handle_close(thread));
    EXPECT_TRUE(posix_event_set(waiter.event));
    ASSERT_EQ(WAIT_OBJECT_0, posix_wait(waiter.finished, GIVE_UP_MS));
    EXPECT_TRUE(posix_handle_close(waiter.started));
    EXPECT_TRUE(posix_handle_close(waiter.event));
    EXPECT_TRUE(posix_handle_close(waiter.finished));
}

TEST(PosixHandles, BadHandlesFailWithInvalidHandle) {
    HANDLE event = new_event(true, false);
    std::atomic<bool> ran{false};
    HANDLE thread = start_thread(mark_and_return, &ran, 0);
    ASSERT_NE(nullptr, event);
    ASSERT_NE(nullptr, thread);

    for (HANDLE bad : {static_cast<HANDLE>(nullptr), INVALID_HANDLE_VALUE}) {
        os_set_last_error(OS_NO_ERROR);
        EXPECT_EQ(WAIT_FAILED, posix_wait(bad, 0));
        EXPECT_EQ(OS_ERROR_INVALID, os_last_error().code);
        EXPECT_EQ(WAIT_FAILED, posix_wait(bad, INFINITE));
        EXPECT_FALSE(posix_event_set(bad));
        EXPECT_FALSE(posix_thread_resume(bad));
        EXPECT_FALSE(posix_handle_close(bad));
    }

    // An event is no thread and a thread no event.
    os_set_last_error(OS_NO_ERROR);
    EXPECT_FALSE(posix_thread_resume(event));
    EXPECT_EQ(OS_ERROR_INVALID, os_last_error().code);
    uint32_t code = 0xBAD;
    EXPECT_FALSE(posix_thread_exit_code(event, &code));
    EXPECT_EQ(0xBADu, code) << "the exit code was written for an event";
    EXPECT_FALSE(posix_event_set(thread));

    ASSERT_EQ(WAIT_OBJECT_0, posix_wait(thread, GIVE_UP_MS));
    EXPECT_TRUE(posix_handle_close(thread));
    EXPECT_TRUE(posix_handle_close(event));
}

namespace {
unsigned report_last_error(void*) {
    const os_error_code_t seen = os_last_error().code;
    os_set_last_error(OS_ERROR_ACCESS_DENIED);
    return (unsigned)seen;
}
}  // namespace

TEST(LastError, IsKeptPerThread) {
    os_set_last_error(OS_ERROR_NOT_FOUND);
    HANDLE thread = start_thread(report_last_error, nullptr, 0);
    ASSERT_NE(nullptr, thread);
    ASSERT_EQ(WAIT_OBJECT_0, posix_wait(thread, GIVE_UP_MS));
    EXPECT_EQ(0u, exit_code_of(thread)) << "a new thread inherited the last error";
    EXPECT_EQ(OS_ERROR_NOT_FOUND, os_last_error().code) << "another thread changed this one's last error";
    EXPECT_TRUE(posix_handle_close(thread));
}

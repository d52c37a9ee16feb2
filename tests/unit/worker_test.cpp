// The worker thread: start, cooperative cancel, stop and release, and clean
// failure of worker_create, through the real thread and event calls of the
// build at hand.
#include "ui/progress/worker.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "app/is_signalled.h"
#include "listing/listing_job.h"
#include "support/test_support.h"

namespace {

// Long enough never to be reached by a working build; it only keeps a broken
// one from hanging the test run.
constexpr uint32_t GIVE_UP_MS = 30000;

struct job_probe_t {
    std::atomic<bool> ran{false};
    std::atomic<bool> saw_cancel{false};
    std::atomic<worker_t*> worker{nullptr};
};

unsigned job_finishing(worker_t* worker, void* arg) {
    job_probe_t* probe = static_cast<job_probe_t*>(arg);
    probe->worker = worker;
    probe->ran = true;
    return 42;
}

// Runs until somebody asks it to stop, as the listing job does between polls.
unsigned job_waiting_for_cancel(worker_t* worker, void* arg) {
    job_probe_t* probe = static_cast<job_probe_t*>(arg);
    probe->worker = worker;
    probe->ran = true;
    const uint32_t wait = os.wait(worker_cancel_event(worker), GIVE_UP_MS);
    probe->saw_cancel = wait == WAIT_OBJECT_0 && worker_is_cancelled(worker);
    return 7;
}

uint32_t wait_for_thread(worker_t* worker) {
    return os.wait(worker->thread, GIVE_UP_MS);
}

// Counters for the calls a release must not make.
std::atomic<int> set_event_calls{0};
std::atomic<int> unlimited_waits{0};

bool counting_set_event(HANDLE event) {
    ++set_event_calls;
    return os_default.event_set(event);
}

uint32_t counting_wait(HANDLE handle, uint32_t milliseconds) {
    if (milliseconds == INFINITE) ++unlimited_waits;
    return os_default.wait(handle, milliseconds);
}

// Fault injection for worker_create.
HANDLE created_event = nullptr;
std::vector<HANDLE> closed_handles;
int thread_starts = 0;

HANDLE failing_create_event(bool, bool) {
    os_set_last_error(OS_ERROR_NO_MEMORY);
    return nullptr;
}

HANDLE recording_create_event(bool manual_reset, bool initially_set) {
    created_event = os_default.event_create(manual_reset, initially_set);
    return created_event;
}

bool recording_close_handle(HANDLE handle) {
    closed_handles.push_back(handle);
    return os_default.handle_close(handle);
}

HANDLE failing_thread_start(thread_start_fn, void*, bool) {
    ++thread_starts;
    os_set_last_error(OS_ERROR_NO_THREADS);
    return nullptr;
}

HANDLE counting_thread_start(thread_start_fn start, void* arg, bool suspended) {
    ++thread_starts;
    return os_default.thread_create(start, arg, suspended);
}

}  // namespace

TEST(Worker, RunsItsJobWithItsDataAndKeepsTheResult) {
    job_probe_t probe;
    worker_t* worker = worker_create_job(job_finishing, &probe);
    ASSERT_NE(nullptr, worker);
    EXPECT_EQ(sizeof(worker_t), worker->size);
    EXPECT_EQ(&probe, worker->job_arg);

    // Created suspended: the job has not run and the thread has not ended.
    EXPECT_FALSE(probe.ran.load());
    EXPECT_FALSE(worker_is_finished(worker));
    EXPECT_EQ(99u, worker_exit_code(worker, 99));

    EXPECT_TRUE(worker_start(worker));
    ASSERT_EQ(WAIT_OBJECT_0, wait_for_thread(worker));
    EXPECT_TRUE(probe.ran.load());
    EXPECT_EQ(worker, probe.worker.load());
    EXPECT_TRUE(worker_is_finished(worker));
    EXPECT_EQ(42u, worker_exit_code(worker, 99));
    EXPECT_FALSE(worker_is_cancelled(worker)) << "a job that ends on its own is never cancelled";
    EXPECT_TRUE(worker_release(worker));
}

TEST(Worker, FinishedJobIsReleasedWithoutWaitingOrSignalling) {
    test::os_restore restore;
    job_probe_t probe;
    worker_t* worker = worker_create_job(job_finishing, &probe);
    ASSERT_NE(nullptr, worker);
    ASSERT_TRUE(worker_start(worker));
    ASSERT_EQ(WAIT_OBJECT_0, wait_for_thread(worker));

    set_event_calls = 0;
    unlimited_waits = 0;
    os.event_set = counting_set_event;
    os.wait = counting_wait;
    EXPECT_TRUE(worker_release(worker));
    EXPECT_EQ(0, set_event_calls.load()) << "the cancel event was signalled";
    EXPECT_EQ(0, unlimited_waits.load()) << "the release waited for a thread that had ended";
}

TEST(Worker, CancelIsReportedFromTheFirstRequestOnAndMaySeeRepeats) {
    job_probe_t probe;
    worker_t* worker = worker_create_job(job_waiting_for_cancel, &probe);
    ASSERT_NE(nullptr, worker);
    ASSERT_TRUE(worker_start(worker));

    EXPECT_FALSE(worker_is_cancelled(worker));
    EXPECT_FALSE(is_signalled(worker_cancel_event(worker)));
    EXPECT_TRUE(worker_cancel(worker));
    EXPECT_TRUE(worker_is_cancelled(worker));
    EXPECT_TRUE(worker_cancel(worker)) << "a second cancel request failed";
    EXPECT_TRUE(worker_is_cancelled(worker));

    ASSERT_EQ(WAIT_OBJECT_0, wait_for_thread(worker));
    EXPECT_TRUE(probe.saw_cancel.load());
    EXPECT_EQ(7u, worker_exit_code(worker, 99));
    EXPECT_TRUE(worker_is_cancelled(worker)) << "the cancel request was reset";
    EXPECT_TRUE(worker_release(worker));
}

TEST(Worker, CancelWithoutAnEventFails) {
    worker_t worker = {};
    EXPECT_FALSE(worker_cancel(&worker));
    EXPECT_FALSE(worker_is_cancelled(&worker));
}

TEST(Worker, StopReturnsOnlyAfterTheThreadHasEnded) {
    job_probe_t probe;
    worker_t* worker = worker_create_job(job_waiting_for_cancel, &probe);
    ASSERT_NE(nullptr, worker);
    ASSERT_TRUE(worker_start(worker));

    EXPECT_TRUE(worker_stop(worker));
    EXPECT_TRUE(worker_is_finished(worker)) << "worker_stop returned while the thread still ran";
    EXPECT_TRUE(probe.saw_cancel.load());
    EXPECT_EQ(7u, worker_exit_code(worker, 99));

    // Once the thread has ended, stopping again changes nothing.
    EXPECT_TRUE(worker_stop(worker));
    EXPECT_TRUE(worker_release(worker));
}

TEST(Worker, NeverStartedWorkerRunsItsJobToItsEndOnRelease) {
    job_probe_t probe;
    worker_t* worker = worker_create_job(job_finishing, &probe);
    ASSERT_NE(nullptr, worker);
    EXPECT_TRUE(worker_release(worker));
    EXPECT_TRUE(probe.ran.load()) << "the job never ran";
}

TEST(Worker, NeverStartedWorkerSeesTheCancelOnRelease) {
    job_probe_t probe;
    worker_t* worker = worker_create_job(job_waiting_for_cancel, &probe);
    ASSERT_NE(nullptr, worker);
    EXPECT_TRUE(worker_release(worker));
    EXPECT_TRUE(probe.ran.load()) << "the job never ran";
    EXPECT_TRUE(probe.saw_cancel.load()) << "the job ended without seeing the cancel request";
}

TEST(Worker, CreateFailsCleanlyWithoutAnEvent) {
    test::os_restore restore;
    thread_starts = 0;
    os.event_create = failing_create_event;
    os.thread_create = counting_thread_start;

    listing_run_t run = {};
    EXPECT_EQ(nullptr, worker_create(&run));
    EXPECT_EQ(0, thread_starts) << "a thread was started without a cancel event";
}

TEST(Worker, CreateFailsCleanlyWithoutAThread) {
    test::os_restore restore;
    created_event = nullptr;
    closed_handles.clear();
    thread_starts = 0;
    os.event_create = recording_create_event;
    os.handle_close = recording_close_handle;
    os.thread_create = failing_thread_start;

    listing_run_t run = {};
    EXPECT_EQ(nullptr, worker_create(&run));
    EXPECT_EQ(1, thread_starts);
    ASSERT_NE(nullptr, created_event);
    ASSERT_EQ(1u, closed_handles.size()) << "expected only the cancel event to be closed";
    EXPECT_EQ(created_event, closed_handles[0]) << "the cancel event was not closed";
}

TEST(IsSignalled, ReadsTheStateWithoutBlocking) {
    HANDLE event = os.event_create(true, false);
    ASSERT_NE(nullptr, event);
    EXPECT_FALSE(is_signalled(event));
    ASSERT_TRUE(os.event_set(event));
    EXPECT_TRUE(is_signalled(event));
    EXPECT_TRUE(is_signalled(event)) << "polling reset a manual-reset event";
    EXPECT_TRUE(os.handle_close(event));

    // A failed wait reads as "not signalled".
    EXPECT_FALSE(is_signalled(nullptr));
}

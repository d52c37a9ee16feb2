// The exit status of a run on both builds: the job's result, 130 for any run
// whose cancel was asked, and the count of found items the progress shows,
// with jobs of the test's own and with the real listing job.
#include <gtest/gtest.h>

#include "app/app_main.h"
#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"
#include "ui/progress/worker.h"

namespace {

constexpr DWORD GIVE_UP_MS = 30000;

struct chosen_job_t {
    unsigned result;
    uint64_t found;
    bool cancel_first;  // the job asks for its own cancel, as a late tray cancel would
};

unsigned job_chosen(worker_t* worker, void* arg) {
    const chosen_job_t* job = static_cast<const chosen_job_t*>(arg);
    for (uint64_t i = 0; i < job->found; ++i) worker_add_found(worker, 1);
    if (job->cancel_first) worker_cancel(worker);
    return job->result;
}

struct ended_run_t {
    int exit_code = -1;
    uint64_t found = 0;
};

// Runs the worker to its end, as progress_run waits for it, and reads what the
// program would end with.
ended_run_t run_to_end(worker_t* worker) {
    ended_run_t run;
    if (!worker) return run;
    worker_start(worker);
    os.WaitForSingleObject(worker->thread, GIVE_UP_MS);
    run.exit_code = app_exit_code(worker);
    run.found = worker_found(worker);
    worker_release(worker);
    return run;
}

}  // namespace

TEST(ExitCode, IsTheJobsResult) {
    for (unsigned result :
         {LISTING_DONE, LISTING_WRITE_FAILED, LISTING_INCOMPLETE, LISTING_OUT_OF_MEMORY, LISTING_CANCELLED}) {
        chosen_job_t job = {result, 3, false};
        const ended_run_t run = run_to_end(worker_create_job(job_chosen, &job));
        EXPECT_EQ((int)result, run.exit_code) << "job result " << result;
        EXPECT_EQ(3u, run.found);
    }
}

TEST(ExitCode, CancelledRunIs130HoweverFarItGot) {
    for (unsigned result : {LISTING_DONE, LISTING_WRITE_FAILED, LISTING_INCOMPLETE}) {
        chosen_job_t job = {result, 0, true};
        EXPECT_EQ(130, run_to_end(worker_create_job(job_chosen, &job)).exit_code) << "job result " << result;
    }
}

TEST(ExitCode, RealListingJobCountsItsItemsAndPassesAFailedWriteOn) {
    test::os_restore restore;
    test::temp_dir dir;
    const std::string top = dir.join("tree");
    test::make_folder(top);
    test::make_folder(top + "\\sub");
    test::write_file(top + "\\sub\\a.txt", "");
    test::write_file(top + "\\b.txt", "");
    test::record_message_boxes();

    settings_t written = test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS);
    ended_run_t run = run_to_end(worker_create(&written));
    EXPECT_EQ(0, run.exit_code);
    EXPECT_EQ(3u, run.found) << "sub, sub\\a.txt and b.txt";

    settings_t unwritable = test::listing_settings(top, dir.join("missing\\out.txt"), FLAG_SUBFOLDERS);
    run = run_to_end(worker_create(&unwritable));
    EXPECT_EQ(2, run.exit_code);
    EXPECT_EQ(0u, run.found)
        << "the list file is made before the walk: nothing is walked for a list that cannot be";
}

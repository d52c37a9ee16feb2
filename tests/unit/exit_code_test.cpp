// The exit status of a run on both builds: the job's own status, whatever
// came after its one decision point; and the count of found items the
// progress shows.
#include <gtest/gtest.h>

#include "app/app_main.h"
#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"
#include "ui/progress/worker.h"

namespace {

constexpr uint32_t GIVE_UP_MS = 30000;

struct chosen_job_t {
    listing_run_t run;
    exit_status_t status;
    uint64_t found;
    bool cancel_after;  // a cancel that comes once the job has decided, as a late tray cancel would
};

unsigned job_chosen(worker_t* worker, void* arg) {
    chosen_job_t* job = static_cast<chosen_job_t*>(arg);
    for (uint64_t i = 0; i < job->found; ++i) worker_add_found(worker, 1);
    job->run.outcome.status = job->status;
    if (job->cancel_after) worker_cancel(worker);
    return job->status;
}

struct ended_run_t {
    int exit_code = -1;
    uint64_t found = 0;
};

// Runs the worker to its end, as progress_run waits for it, and reads what
// the program would end with.
ended_run_t run_to_end(worker_t* worker, const listing_outcome_t* outcome) {
    ended_run_t run;
    if (!worker) return run;
    worker_start(worker);
    os.wait(worker->thread, GIVE_UP_MS);
    run.exit_code = app_exit_code(worker, outcome);
    run.found = worker_found(worker);
    worker_release(worker);
    return run;
}

TEST(ExitCode, IsTheJobsStatusEvenWhenACancelComesAfterItDecided) {
    for (int i = 0; i < EXIT_STATUS_COUNT; ++i) {
        const exit_status_row_t& row = EXIT_STATUS_ROWS[i];
        if (row.posix_only) continue;
        for (bool cancel_after : {false, true}) {
            chosen_job_t job = {{}, (exit_status_t)row.value, 3, cancel_after};
            const ended_run_t run = run_to_end(worker_create_job(job_chosen, &job), &job.run.outcome);
            EXPECT_EQ(row.value, run.exit_code) << row.name << (cancel_after ? " with a late cancel" : "");
            EXPECT_EQ(3u, run.found);
        }
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

    settings_t written = test::listing_settings(top, dir.join("out.txt"), FLAG_SUBFOLDERS);
    listing_run_t run = {&written, {}};
    ended_run_t ended = run_to_end(worker_create(&run), &run.outcome);
    EXPECT_EQ(0, ended.exit_code);
    EXPECT_EQ(3u, ended.found) << "sub, sub\\a.txt and b.txt";
    EXPECT_EQ(run.outcome.folders, 1u);
    EXPECT_EQ(run.outcome.files, 2u);

    settings_t unwritable = test::listing_settings(top, dir.join("missing\\out.txt"), FLAG_SUBFOLDERS);
    run = {&unwritable, {}};
    ended = run_to_end(worker_create(&run), &run.outcome);
    EXPECT_EQ(2, ended.exit_code);
    EXPECT_EQ(0u, ended.found)
        << "the list file is made before the walk: nothing is walked for a list that cannot be";
}

}  // namespace

// Runs one listing job as the program does, on a worker thread, but with
// short names on, which the command line cannot ask for. With "/long" it
// leaves them off, which isolates the job from the program's start-up.
//
//   short_names_bench_win32 FOLDER OUTPUT [/long]
#include <stdio.h>
#include <string.h>

#include "app/settings.h"
#include "listing/listing_job.h"
#include "ui/progress/worker.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 4 || (argc == 4 && strcmp(argv[3], "/long") != 0)) {
        fprintf(stderr, "usage: short_names_bench_win32 FOLDER OUTPUT [/long]\n");
        return 1;
    }
    settings_t settings;
    settings_init(&settings);
    user_path_set_text(&settings.folder, argv[1]);
    user_path_set_text(&settings.output_file, argv[2]);
    settings.flags = FLAG_FULL_PATH | FLAG_SUBFOLDERS | (argc == 4 ? 0 : FLAG_SHORT_NAMES);

    listing_run_t run = {};
    run.settings = &settings;
    worker_t* worker = worker_create(&run);
    if (!worker) {
        fprintf(stderr, "short_names_bench_win32: no worker\n");
        return 1;
    }
    if (!worker_start(worker)) {
        worker_release(worker);
        fprintf(stderr, "short_names_bench_win32: the worker did not start\n");
        return 1;
    }
    WaitForSingleObject(worker->thread, INFINITE);
    uint32_t result = worker_exit_code(worker, EXIT_LIST_FILE);
    worker_release(worker);
    return result == EXIT_LISTED ? 0 : 2;
}

// The listing over a slow folder seam: a fixed delay on each folder open and
// on each batch of items read, as a network share fetches them, with the
// walk reading alone and with reader threads. Every list must be the same
// bytes as the one of the walk reading alone.
//
//   latency_bench TREE OUTDIR [--delay-us 1000] [--batch 128] [--readers 0,4,8,16] [--runs 3]
//
// Prints, for each reader count, the median wall time of --runs runs, the
// CPU time of the process over them, and the speed-up against 0 readers.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/prctl.h>
#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "app/settings.h"
#include "listing/listing_job.h"
#include "ui/progress/worker.h"

namespace {

std::chrono::microseconds delay{1000};
unsigned batch = 128;
std::atomic<unsigned long> delays_taken{0};

// A folder is opened and read to its end by one thread, so the count of
// items read since the open can live with the thread.
thread_local unsigned items_since_open = 0;

void wait_once() {
    std::this_thread::sleep_for(delay);
    delays_taken.fetch_add(1, std::memory_order_relaxed);
}

// The open fetches the first batch; every further batch is one more round trip.
folder_t* slow_open(const nchar_t* path, unsigned options) {
    wait_once();
    items_since_open = 0;
    return os_default.folder_open(path, options);
}

folder_t* slow_open_child(folder_t* parent, const nchar_t* name, unsigned options) {
    wait_once();
    items_since_open = 0;
    return os_default.folder_open_child(parent, name, options);
}

// The seam stands for a network share: the listing reads ahead as far as
// it does on one.
bool remote(const nchar_t*) {
    return true;
}

bool slow_read(folder_t* folder, folder_item_t* item) {
    if (items_since_open > 0 && items_since_open % batch == 0) wait_once();
    ++items_since_open;
    return os_default.folder_read(folder, item);
}

double cpu_seconds() {
    rusage usage;
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

bool read_whole(const std::string& path, std::string* bytes) {
    std::ifstream in(path, std::ios::binary);
    if (!in) return false;
    std::ostringstream all;
    all << in.rdbuf();
    *bytes = all.str();
    return true;
}

// One listing as the program runs it; false when it did not finish.
bool run_listing(const char* tree, const std::string& output) {
    settings_t settings;
    settings_init(&settings);
    // The bench's paths are the system's own bytes.
    if (!user_path_set(&settings.folder, tree) || !user_path_set(&settings.output_file, output.c_str()))
        return false;
    settings.flags = FLAG_FULL_PATH | FLAG_SUBFOLDERS;
    listing_run_t run = {};
    run.settings = &settings;
    worker_t* worker = worker_create(&run);
    if (!worker) return false;
    if (!worker_start(worker)) {
        worker_release(worker);
        return false;
    }
    os.wait(worker->thread, INFINITE);
    const uint32_t result = worker_exit_code(worker, EXIT_LIST_FILE);
    worker_release(worker);
    settings_free(&settings);
    return result == EXIT_LISTED;
}

std::vector<int> parse_counts(const char* text) {
    std::vector<int> counts;
    for (const char* p = text; *p;) {
        counts.push_back(atoi(p));
        p = strchr(p, ',');
        if (!p) break;
        ++p;
    }
    return counts;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr,
                "usage: latency_bench TREE OUTDIR [--delay-us N] [--batch N] [--readers 0,4,8,16] "
                "[--runs N]\n");
        return 1;
    }
    const char* tree = argv[1];
    const std::string out_dir = argv[2];
    std::vector<int> reader_counts = {0, 4, 8, 16};
    int runs = 3;
    for (int i = 3; i + 1 < argc; i += 2) {
        if (strcmp(argv[i], "--delay-us") == 0) {
            delay = std::chrono::microseconds(atol(argv[i + 1]));
        } else if (strcmp(argv[i], "--batch") == 0) {
            batch = (unsigned)std::max(1, atoi(argv[i + 1]));
        } else if (strcmp(argv[i], "--readers") == 0) {
            reader_counts = parse_counts(argv[i + 1]);
        } else if (strcmp(argv[i], "--runs") == 0) {
            runs = std::max(1, atoi(argv[i + 1]));
        } else {
            fprintf(stderr, "latency_bench: unknown option %s\n", argv[i]);
            return 1;
        }
    }
    if (reader_counts.empty() || reader_counts[0] != 0) reader_counts.insert(reader_counts.begin(), 0);

    // The default timer slack (50 us) would lengthen every delay; threads
    // inherit the setting from the one that starts them.
    prctl(PR_SET_TIMERSLACK, 1UL, 0, 0, 0);
    os.folder_open = slow_open;
    os.folder_open_child = slow_open_child;
    os.folder_read = slow_read;
    os.folder_is_remote = remote;

    printf("delay %ld us per folder open and per further %u items read; %d runs each\n", (long)delay.count(),
           batch, runs);
    printf("%8s %10s %10s %10s %9s %s\n", "readers", "median s", "min s", "cpu s", "speed-up", "list");
    std::string reference;
    double base = 0;
    bool all_same = true;
    for (int readers : reader_counts) {
        listing_reader_threads = readers;
        const std::string output = out_dir + "/latency-" + std::to_string(readers) + ".txt";
        std::vector<double> walls;
        const double cpu_before = cpu_seconds();
        bool same = true;
        for (int run = 0; run < runs; ++run) {
            delays_taken = 0;
            const auto started = std::chrono::steady_clock::now();
            if (!run_listing(tree, output)) {
                fprintf(stderr, "latency_bench: the listing with %d readers failed\n", readers);
                return 2;
            }
            walls.push_back(
                std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
            std::string bytes;
            if (!read_whole(output, &bytes)) return 2;
            if (reference.empty()) reference = bytes;
            same = same && bytes == reference;
        }
        const double cpu = (cpu_seconds() - cpu_before) / runs;
        std::sort(walls.begin(), walls.end());
        const double median = walls[walls.size() / 2];
        if (readers == 0) base = median;
        all_same = all_same && same;
        printf("%8d %10.3f %10.3f %10.3f %8.1fx %s\n", readers, median, walls[0], cpu, base / median,
               same ? "identical" : "DIFFERENT");
        fflush(stdout);
    }
    const size_t lines = (size_t)std::count(reference.begin(), reference.end(), '\n');
    const double waiting = delays_taken.load() * (double)delay.count() / 1e6;
    printf("lines: %zu; delays per run: %lu, %.3f s of waiting for one reader; 0 readers took %.2fx that\n",
           lines, (unsigned long)delays_taken.load(), waiting, base / waiting);
    return all_same ? 0 : 3;
}

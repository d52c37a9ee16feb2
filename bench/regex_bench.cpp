// Speed of the regular-expression filter: names per second for typical
// patterns over a list of plausible file names, the worst time per name for
// pathological patterns against 260-byte names, and how long a search that
// uses up its whole step budget takes.
//
//   regex_bench [seconds per typical pattern, default 1]
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

#include <chrono>
#include <string>
#include <vector>

#include "filters/regex/regex.h"
#include "filters/regex/regexp_filter.h"

namespace {

using bench_clock = std::chrono::steady_clock;

double seconds_since(bench_clock::time_point start) {
    return std::chrono::duration<double>(bench_clock::now() - start).count();
}

// A deterministic generator, so every run sees the same names.
struct lcg_t {
    uint32_t state;
    uint32_t next(uint32_t bound) {
        state = state * 1664525u + 1013904223u;
        return (state >> 8) % bound;
    }
};

// Names as a folder of photos, documents and downloads holds them, with
// some Japanese (code page 932) names among them.
std::vector<std::string> make_names(size_t count) {
    const char* stems[] = {"report",
                           "notes",
                           "invoice",
                           "meeting_minutes",
                           "draft",
                           "summary",
                           "budget",
                           "photo",
                           "scan",
                           "backup",
                           "readme",
                           "setup",
                           "data",
                           "log",
                           "\x8e\xca\x90\x5e",   // 写真
                           "\x95\x5c\x8e\xa6",   // 表示
                           "\x8f\x91\x97\xde"};  // 書類
    const char* extensions[] = {".txt", ".log", ".docx", ".doc", ".xlsx", ".pdf", ".jpg",    ".JPG", ".jpeg",
                                ".png", ".PNG", ".gif",  ".zip", ".csv",  ".bak", ".tar.gz", ".exe", ""};
    lcg_t random = {12345};
    std::vector<std::string> names;
    char number[32];
    while (names.size() < count) {
        std::string name;
        switch (random.next(6)) {
            case 0:
                snprintf(number, sizeof(number), "IMG_%04u", random.next(10000));
                name = number;
                break;
            case 1:
                snprintf(number, sizeof(number), "img_%04u", random.next(10000));
                name = number;
                break;
            case 2:
                snprintf(number, sizeof(number), "DSC%05u", random.next(100000));
                name = number;
                break;
            default:
                name = stems[random.next(sizeof(stems) / sizeof(stems[0]))];
                if (random.next(3) == 0) {
                    snprintf(number, sizeof(number), "_%u", 2000 + random.next(30));
                    name += number;
                }
                if (random.next(4) == 0) name += " (" + std::to_string(1 + random.next(9)) + ")";
                if (random.next(10) == 0) name = "~$" + name;
                break;
        }
        name += extensions[random.next(sizeof(extensions) / sizeof(extensions[0]))];
        names.push_back(name);
    }
    return names;
}

void typical(const char* pattern, const std::vector<std::string>& names, double seconds) {
    filter_regexp_t filter(pattern);
    size_t passed = 0;
    for (const std::string& name : names) passed += filter.matches(name.c_str());
    size_t tested = 0;
    const bench_clock::time_point start = bench_clock::now();
    double elapsed = 0;
    do {
        for (const std::string& name : names) passed += filter.matches(name.c_str());
        tested += names.size();
        elapsed = seconds_since(start);
    } while (elapsed < seconds);
    printf("  %-22s %10.0f names/s  (%zu of %zu names pass)\n", pattern, (double)tested / elapsed,
           passed * names.size() / (tested + names.size()), names.size());
}

// The slowest name of the set, each name timed as the best of three runs so
// that a busy machine does not count.
void pathological(const char* pattern, const std::vector<std::string>& names) {
    regex_program_t* program = regex_compile(pattern);
    if (program == nullptr) {
        printf("  %-16s no program\n", pattern);
        return;
    }
    double worst = 0;
    int64_t worst_steps = 0;
    const char* worst_outcome = "";
    for (const std::string& name : names) {
        double best = 1e9;
        const char* outcome = "";
        for (int run = 0; run < 3; ++run) {
            regex_search_status_t status;
            const bench_clock::time_point start = bench_clock::now();
            regex_match_t* match = regex_search(program, name.c_str(), &status);
            const double elapsed = seconds_since(start);
            regex_match_free(match);
            if (elapsed < best) best = elapsed;
            outcome = status == REGEX_FOUND ? "match" : status == REGEX_NOT_FOUND ? "no match" : "gave up";
        }
        if (best >= worst) {
            worst = best;
            worst_steps = program->last_steps;
            worst_outcome = outcome;
        }
    }
    printf("  %-16s worst %9.3f ms  %9lld steps  (%s)\n", pattern, worst * 1e3, (long long)worst_steps,
           worst_outcome);
    regex_free(program);
}

}  // namespace

int main(int argc, char** argv) {
    const double seconds = argc > 1 ? atof(argv[1]) : 1.0;
    const std::vector<std::string> names = make_names(5000);

    printf("Typical patterns over %zu names:\n", names.size());
    for (const char* pattern :
         {"\\.(jpe?g|png)$", "^img_\\d{4}", "[^a-z]", "(?!~)\\.docx?$", "report|invoice"}) {
        typical(pattern, names, seconds);
    }

    // 260-byte names: all 'a', 'a' with a different last byte, a and b mixed.
    std::vector<std::string> long_names = {std::string(260, 'a'), std::string(259, 'a') + "b",
                                           std::string(259, 'a') + "c", std::string(259, 'a') + "x"};
    lcg_t random = {99};
    for (int i = 0; i < 4; ++i) {
        std::string mixed;
        for (int j = 0; j < 260; ++j) mixed += "ab"[random.next(2)];
        long_names.push_back(mixed);
    }
    printf("Pathological patterns, worst of %zu names of 260 bytes:\n", long_names.size());
    for (const char* pattern : {"(a*)*b", "(a|a)*b", "(a|aa)*c", "a{0,500}", "(.*)*x", "a{0,500}b",
                                "(|){25}b", "(a|a)*b(?!x)", "((a*)*)*(?!x)y"}) {
        pathological(pattern, long_names);
    }

    printf("Compile times:\n");
    for (const char* pattern : {"\\.(jpe?g|png)$", "a{0,30000}", "(a{0,9999}){9}", "x{200000}"}) {
        const bench_clock::time_point start = bench_clock::now();
        regex_program_t* program = regex_compile(pattern);
        const double elapsed = seconds_since(start);
        printf("  %-16s %9.3f ms  %s\n", pattern, elapsed * 1e3,
               program ? (std::to_string(program->graph->count) + " states").c_str() : "no program");
        regex_free(program);
    }
    return 0;
}

// Speed of the wildcard filter: names per second for typical pattern lists
// over a fixed list of realistic file names, and the time of a pattern with
// many stars against a long name that it does not match.
#include <benchmark/benchmark.h>
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

#include "bench/name_random.h"
#include "filters/wildcard_filter.h"
#include "tests/unit/support/wildcard_reference.h"

namespace {

const char* const WORDS[] = {"report",  "invoice", "budget", "summary", "draft",  "notes",  "Meeting",
                             "minutes", "Photo",   "scan",   "backup",  "data",   "export", "config",
                             "README",  "setup",   "Manual", "plan",    "client", "server", "test",
                             "sample",  "letter",  "memo",   "order",   "index",  "main",   "util"};
const char* const EXTENSIONS[] = {".txt", ".doc", ".docx", ".xlsx", ".pdf", ".jpg", ".JPG", ".png",
                                  ".gif", ".mp3", ".mp4",  ".zip",  ".cpp", ".h",   ".log", ".TXT",
                                  ".ini", ".bak", ".csv",  ".html", ".exe", ".dll", ".md",  ".jpeg"};
// Code page 932 words; several hold a second byte 0x5C (表 ソ 能 予 申).
const char* const JAPANESE[] = {"\x8E\x91\x97\xBF",           // 資料
                                "\x88\xEA\x97\x97\x95\x5C",   // 一覧表
                                "\x8B\x63\x8E\x96\x98\x5E",   // 議事録
                                "\x83\x5C\x83\x74\x83\x67",   // ソフト
                                "\x94\x5C\x97\xCD",           // 能力
                                "\x97\x5C\x8E\x5A",           // 予算
                                "\x90\x5C\x90\xBF\x8F\x91",   // 申請書
                                "\x8E\xCA\x90\x5E",           // 写真
                                "\x83\x65\x83\x58\x83\x67",   // テスト
                                "\x82\x60\x82\x61\x82\x62"};  // ＡＢＣ

// About four thousand names of the kinds found on real disks: camera
// pictures, dated documents, logs with rotation numbers, Japanese names,
// names with spaces, and the occasional long one.
std::vector<std::string> make_names() {
    name_random random{0x5eed1234u};
    std::vector<std::string> names;
    char number[32];
    for (int i = 0; i < 4096; ++i) {
        std::string name;
        switch (random.below(8)) {
            case 0:
                snprintf(number, sizeof number, "IMG_%04d", random.below(10000));
                name = std::string(number) + (random.below(4) ? ".JPG" : ".jpg");
                break;
            case 1:
                snprintf(number, sizeof number, "DSC%05d", random.below(100000));
                name = std::string(number) + random.pick(EXTENSIONS);
                break;
            case 2:
                snprintf(number, sizeof number, "_%04d-%02d-%02d", 2000 + random.below(25),
                         1 + random.below(12), 1 + random.below(28));
                name = std::string(random.pick(WORDS)) + number + random.pick(EXTENSIONS);
                break;
            case 3:
                snprintf(number, sizeof number, ".log.%d", random.below(10));
                name = std::string(random.pick(WORDS)) + (random.below(2) ? number : ".log");
                break;
            case 4:
                name = std::string(random.pick(JAPANESE)) + random.pick(JAPANESE) + random.pick(EXTENSIONS);
                break;
            case 5:
                name = std::string(random.pick(WORDS)) + " " + random.pick(WORDS) + " (" +
                       std::to_string(1 + random.below(9)) + ")" + random.pick(EXTENSIONS);
                break;
            case 6:
                for (int k = 2 + random.below(8); k > 0; --k) name += std::string(random.pick(WORDS)) + "_";
                name += random.pick(JAPANESE);
                name += random.pick(EXTENSIONS);
                break;
            default:
                name = std::string(random.pick(WORDS)) + random.pick(EXTENSIONS);
                break;
        }
        names.push_back(name);
    }
    return names;
}

const std::vector<std::string>& names() {
    static const std::vector<std::string> list = make_names();
    return list;
}

void names_per_second(benchmark::State& state, const char* patterns) {
    filter_wildcard_t filter(patterns);
    const std::vector<std::string>& list = names();
    int64_t passed = 0;
    for (auto _ : state) {
        passed = 0;
        for (const std::string& name : list) passed += filter.matches(name.c_str());
        benchmark::DoNotOptimize(passed);
    }
    state.SetItemsProcessed(state.iterations() * (int64_t)list.size());
    state.counters["passed"] = (double)passed;
    state.counters["names"] = (double)list.size();
}

BENCHMARK_CAPTURE(names_per_second, txt_log, "*.txt;*.log");
BENCHMARK_CAPTURE(names_per_second, jpg_png_gif, "*.jpg *.png *.gif");
BENCHMARK_CAPTURE(names_per_second, img_question_marks, "IMG_????.JPG");
BENCHMARK_CAPTURE(names_per_second, star, "*");

// Six stars against a name of 260 'a' that the final 'b' never matches: the
// matcher itself, and the filter, which turns the name away on its last byte.
void many_stars_matcher(benchmark::State& state) {
    const std::string name(260, 'a');
    for (auto _ : state) benchmark::DoNotOptimize(wildcard_match("*a*a*a*a*a*a*b", name.c_str()));
}
BENCHMARK(many_stars_matcher)->Unit(benchmark::kMicrosecond);

void many_stars_filter(benchmark::State& state) {
    filter_wildcard_t filter("*a*a*a*a*a*a*b");
    const std::string name(260, 'a');
    for (auto _ : state) benchmark::DoNotOptimize(filter.matches(name.c_str()));
}
BENCHMARK(many_stars_filter)->Unit(benchmark::kMicrosecond);

// The same with the plain recursive matcher, on shorter names: its time grows
// as the name length to the power of the number of stars.
void many_stars_recursive(benchmark::State& state) {
    const std::string name((size_t)state.range(0), 'a');
    for (auto _ : state) {
        benchmark::DoNotOptimize(test::reference_wildcard_match("*a*a*a*a*a*a*b", name.c_str()));
    }
}
BENCHMARK(many_stars_recursive)->Arg(20)->Arg(40)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();

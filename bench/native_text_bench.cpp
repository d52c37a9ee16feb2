// Speed of turning names into list text, as the walk does for every item:
// names per second into code page 932 and into UTF-8 over a fixed list of
// realistic UTF-8 names, and the code page lookup itself, the two-level table
// the program uses against a flat table of every character.
#include <benchmark/benchmark.h>
#include <stdint.h>

#include <string>
#include <vector>

#include "bench/name_random.h"
#include "platform/native_text.h"
#include "text/cp932.h"

namespace {

const char* const WORDS[] = {"report", "invoice", "budget", "summary", "draft",  "notes",  "Meeting",
                             "Photo",  "scan",    "backup", "data",    "export", "config", "README",
                             "setup",  "Manual",  "plan",   "client",  "server", "test",   "index"};
const char* const EXTENSIONS[] = {".txt", ".docx", ".xlsx", ".pdf", ".jpg",
                                  ".JPG", ".png",  ".mp3",  ".zip", ".cpp"};
const char* const JAPANESE[] = {u8"資料",   u8"一覧表", u8"議事録", u8"ソフト", u8"能力", u8"予算",
                                u8"申請書", u8"写真",   u8"テスト", u8"ＡＢＣ", u8"ｶﾀｶﾅ"};
const char* const OUTSIDE[] = {u8"café", u8"naïve", u8"한국", u8"emoji😀", u8"x〜y"};

// About four thousand names in the proportions of the benchmark tree: most
// plain ASCII, about one in ten Japanese, a few the code page cannot hold.
std::vector<std::string> make_names() {
    name_random random{0x5eed1234u};
    std::vector<std::string> names;
    for (int i = 0; i < 4096; ++i) {
        const int kind = random.below(100);
        std::string name;
        if (kind < 40) {
            name = "IMG_" + std::to_string(1000 + random.below(9000)) + random.pick(EXTENSIONS);
        } else if (kind < 88) {
            name = std::string(random.pick(WORDS)) + " " + random.pick(WORDS) + "_" +
                   std::to_string(random.below(100)) + random.pick(EXTENSIONS);
        } else if (kind < 98) {
            name = std::string(random.pick(JAPANESE)) + "_" + random.pick(JAPANESE) + random.pick(EXTENSIONS);
        } else {
            name = std::string(random.pick(OUTSIDE)) + random.pick(EXTENSIONS);
        }
        names.push_back(name);
    }
    return names;
}

const std::vector<std::string>& names() {
    static const std::vector<std::string> list = make_names();
    return list;
}

void BM_NamesToCodePage(benchmark::State& state) {
    char out[1024];
    size_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& name : names()) {
            benchmark::DoNotOptimize(text_from_native(out, sizeof out, name.data(), name.size(), TEXT_NAME));
            bytes += name.size();
        }
    }
    state.SetItemsProcessed((int64_t)(state.iterations() * names().size()));
    state.SetBytesProcessed((int64_t)bytes);
}
BENCHMARK(BM_NamesToCodePage);

void BM_NamesToUtf8(benchmark::State& state) {
    char out[1024];
    size_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& name : names()) {
            benchmark::DoNotOptimize(utf8_from_native(out, sizeof out, name.data(), name.size(), TEXT_NAME));
            bytes += name.size();
        }
    }
    state.SetItemsProcessed((int64_t)(state.iterations() * names().size()));
    state.SetBytesProcessed((int64_t)bytes);
}
BENCHMARK(BM_NamesToUtf8);

// Characters as names hold them: kanji, kana, fullwidth forms, Latin letters.
std::vector<uint16_t> make_characters() {
    name_random random{0x0ddba11u};
    std::vector<uint16_t> characters;
    for (int i = 0; i < 1 << 16; ++i) {
        switch (random.below(4)) {
            case 0:
                characters.push_back((uint16_t)(0x4E00 + random.below(0x5200)));
                break;
            case 1:
                characters.push_back((uint16_t)(0x3041 + random.below(0xB0)));
                break;
            case 2:
                characters.push_back((uint16_t)(0xFF01 + random.below(0x9F)));
                break;
            default:
                characters.push_back((uint16_t)(0xA0 + random.below(0x1E0)));
        }
    }
    return characters;
}

void BM_CodeLookupTwoLevel(benchmark::State& state) {
    const std::vector<uint16_t> characters = make_characters();
    for (auto _ : state) {
        unsigned sum = 0;
        for (uint16_t c : characters) sum += cp932_code_of(c);
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed((int64_t)(state.iterations() * characters.size()));
}
BENCHMARK(BM_CodeLookupTwoLevel);

void BM_CodeLookupFlat(benchmark::State& state) {
    const std::vector<uint16_t> characters = make_characters();
    static uint16_t flat[0x10000];
    for (unsigned c = 0; c < 0x10000; ++c) flat[c] = cp932_code_of((uint16_t)c);
    for (auto _ : state) {
        unsigned sum = 0;
        for (uint16_t c : characters) sum += flat[c];
        benchmark::DoNotOptimize(sum);
    }
    state.SetItemsProcessed((int64_t)(state.iterations() * characters.size()));
}
BENCHMARK(BM_CodeLookupFlat);

}  // namespace

BENCHMARK_MAIN();

// The text that tells how far a run is, on both builds: the count with its
// digits grouped, and the 64-byte bound of the tray tip.
#include "ui/progress/progress_text.h"

#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "ui/progress/progress_window.h"

namespace {

std::string grouped(uint64_t count) {
    char out[32];
    format_grouped_count(out, count);
    return out;
}

std::string progress_text(const char* base, uint64_t count, size_t size = PROGRESS_TEXT_SIZE) {
    char out[PROGRESS_TEXT_SIZE * 2];
    memset(out, 'X', sizeof out);
    format_progress_text(out, size, base, count);
    return out;
}

// " 件)" in code page 932.
const std::string CLOSE = " \x8C\x8F)";

}  // namespace

TEST(ProgressText, CountsAreGroupedByThousands) {
    EXPECT_EQ("0", grouped(0));
    EXPECT_EQ("999", grouped(999));
    EXPECT_EQ("1,000", grouped(1000));
    EXPECT_EQ("12,345", grouped(12345));
    EXPECT_EQ("210,002", grouped(210002));
    EXPECT_EQ("1,000,000", grouped(1000000));
    EXPECT_EQ("18,446,744,073,709,551,615", grouped(UINT64_MAX));
}

TEST(ProgressText, TipIsTheProgramsNameAndTheCount) {
    // "Scrivlet が作業中です" in code page 932.
    const std::string tip = "Scrivlet \x82\xAA\x8D\xEC\x8B\xC6\x92\x86\x82\xC5\x82\xB7";
    EXPECT_EQ(tip, PROGRESS_TIP);
    EXPECT_EQ(tip + " (0" + CLOSE, progress_text(PROGRESS_TIP, 0));
    EXPECT_EQ(tip + " (12,345" + CLOSE, progress_text(PROGRESS_TIP, 12345));
    const std::string largest = progress_text(PROGRESS_TIP, UINT64_MAX);
    EXPECT_EQ(tip + " (18,446,744,073,709,551,615" + CLOSE, largest);
    EXPECT_LT(largest.size(), PROGRESS_TEXT_SIZE) << "the program's own tip always has room for any count";
}

TEST(ProgressText, CountThatDoesNotFitIsLeftOffWhole) {
    // The largest count's part takes 32 bytes: after a 31-byte base it ends at
    // byte 63, and the terminator fills the field's 64th.
    const std::string base31(31, 'b');
    EXPECT_EQ(base31 + " (18,446,744,073,709,551,615" + CLOSE, progress_text(base31.c_str(), UINT64_MAX));
    const std::string base32(32, 'b');
    EXPECT_EQ(base32, progress_text(base32.c_str(), UINT64_MAX)) << "one byte more: no count part at all";
    EXPECT_EQ(base32 + " (1" + CLOSE, progress_text(base32.c_str(), 1)) << "a short count still fits";

    // A base of 31 double-byte characters (62 bytes) and one more byte than
    // the field holds: the base is cut at a whole character, and no count follows.
    std::string kana = "ab";
    for (int i = 0; i < 31; ++i) kana += "\x82\xA0";  // あ
    EXPECT_EQ(kana.substr(0, 62), progress_text(kana.c_str(), 5));

    EXPECT_EQ("", progress_text("", 1, 1)) << "a one-byte buffer holds only the terminator";
    EXPECT_EQ("ab (7" + CLOSE, progress_text("ab", 7, 10)) << "9 bytes and the terminator";
    EXPECT_EQ("ab", progress_text("ab", 7, 9));
}

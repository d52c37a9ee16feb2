// The text that tells how far a run is, on both builds: the folder, the
// count with its digits grouped, and the 128-byte bound of the tray tip.
#include "ui/progress/progress_text.h"

#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "text/mbs.h"

namespace {

std::string grouped(uint64_t count) {
    char out[32];
    format_grouped_count(out, count);
    return out;
}

std::string progress_text(const char* folder, uint64_t count, size_t size = PROGRESS_TEXT_SIZE) {
    char out[PROGRESS_TEXT_SIZE * 2];
    memset(out, 'X', sizeof out);
    format_progress_text(out, size, folder, count);
    return out;
}

// " 件)" and the title, in code page 932.
const std::string CLOSE = " \x8C\x8F)";
// "Scrivlet: 一覧を作成中", then " ― " (the dash is 0x81 0x5C).
const std::string TITLE = "Scrivlet: \x88\xEA\x97\x97\x82\xF0\x8D\xEC\x90\xAC\x92\x86";
const std::string DASH = " \x81\x5C ";
// 表: its second byte is the code of the backslash.
const std::string HYO = "\x95\x5C";

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

TEST(ProgressText, NamesTheFolderAndTheCount) {
    EXPECT_EQ(TITLE + DASH + "C:\\Data\\Photos (0" + CLOSE, progress_text("C:\\Data\\Photos", 0));
    EXPECT_EQ(TITLE + DASH + "tree (12,345" + CLOSE, progress_text("tree", 12345));
    EXPECT_EQ(TITLE + " (7" + CLOSE, progress_text("", 7)) << "no folder, no dash";
}

// Every long folder is shortened in its middle to fill the 127 bytes exactly
// or one short of them (a double-byte character is never split), keeping
// its beginning and its end.
TEST(ProgressText, LongFolderIsShortenedInTheMiddleToTheTip) {
    struct case_t {
        const char* what;
        std::string folder;
        uint64_t count;
    };
    const std::string ascii = "C:\\" + std::string(200, 'a') + "\\last";
    std::string kana = "C:\\";
    for (int i = 0; i < 100; ++i) kana += "\x82\xA0";  // あ
    std::string hyo = "C:\\";
    for (int i = 0; i < 100; ++i) hyo += HYO + "\\";
    const case_t cases[] = {
        {"single-byte", ascii, 5},
        {"double-byte", kana + "\\end", 12345},
        {"odd start", "C:\\x" + kana, UINT64_MAX},
        {"backslash codes", hyo + "end", 1},
    };
    for (const case_t& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string text = progress_text(c.folder.c_str(), c.count);
        EXPECT_GE(text.size(), PROGRESS_TEXT_SIZE - 2);
        EXPECT_LE(text.size(), PROGRESS_TEXT_SIZE - 1);
        const std::string head = TITLE + DASH + "C:\\";
        ASSERT_EQ(text.compare(0, head.size(), head), 0) << text;
        const size_t dots = text.find("...");
        ASSERT_NE(dots, std::string::npos) << text;
        // Both sides of the cut are whole characters of the folder.
        const std::string kept_head = text.substr(head.size() - 3, dots - head.size() + 3);
        const std::string rest = text.substr(dots + 3);
        const std::string kept_tail = rest.substr(0, rest.rfind(" ("));
        EXPECT_EQ(c.folder.compare(0, kept_head.size(), kept_head), 0);
        EXPECT_EQ(mbs_byte_type(c.folder.c_str(), kept_head.size()) == 2, false) << "cut inside a character";
        const size_t tail_at = c.folder.size() - kept_tail.size();
        EXPECT_EQ(c.folder.substr(tail_at), kept_tail);
        EXPECT_NE(mbs_byte_type(c.folder.c_str(), tail_at), 2) << "tail starts inside a character";
        char count[32];
        format_grouped_count(count, c.count);
        EXPECT_EQ(rest.substr(rest.rfind(" (")), std::string(" (") + count + CLOSE);
    }
}

TEST(ProgressText, NarrowRoomLeavesTheFolderOutThenCuts) {
    // The terminal line of a narrow terminal: the title and count need 30 bytes.
    const std::string alone = TITLE + " (12" + CLOSE;
    EXPECT_EQ(TITLE + DASH + "abcdef (12" + CLOSE, progress_text("abcdef", 12, alone.size() + 11));
    EXPECT_EQ(TITLE + DASH + "a...g (12" + CLOSE, progress_text("abcdefg", 12, alone.size() + 10));
    EXPECT_EQ(alone, progress_text("abcdefg", 12, alone.size() + 9)) << "no room for a shortened folder";
    EXPECT_EQ(alone.substr(0, 20), progress_text("abcdefg", 12, 21)) << "cut after a whole character";
    EXPECT_EQ("", progress_text("x", 1, 1)) << "a one-byte buffer holds only the terminator";
}

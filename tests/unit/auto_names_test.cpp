// The folder row's automatic name: the folder of the list file.
#include "ui/settings/auto_names.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "text/mbs.h"

namespace {

// 表: its second byte is the code of the backslash.
const std::string HYO = "\x95\x5C";

std::string folder_name(const std::string& output) {
    char out[PATH_BUFFER_SIZE];
    memset(out, 'x', sizeof out);
    make_folder_name_from_output(output.c_str(), out);
    return out;
}

TEST(FolderNameFromOutput, FolderOfOutputFileWithBackslash) {
    EXPECT_EQ(folder_name("C:\\Data\\list.txt"), "C:\\Data\\");
    EXPECT_EQ(folder_name("C:\\list.txt"), "C:\\");
    EXPECT_EQ(folder_name("C:\\Data\\"), "C:\\Data\\");
    EXPECT_EQ(folder_name("list.txt"), "list.txt\\") << "a text without a backslash is kept whole";
    EXPECT_EQ(folder_name(""), "");
}

TEST(FolderNameFromOutput, DoubleByteNameEndingInBackslashCode) {
    EXPECT_EQ(folder_name("C:\\" + HYO + "\\list.txt"), "C:\\" + HYO + "\\");
    EXPECT_EQ(folder_name("C:\\Data\\" + HYO), "C:\\Data\\") << "the name's second byte is no separator";
    EXPECT_EQ(folder_name(HYO), HYO + "\\");
}

TEST(FolderNameFromOutput, LongestBoxText) {
    // A box holds at most 520 bytes; with the backslash that fills the buffer.
    const std::string name(520, 'n');
    EXPECT_EQ(folder_name(name), name + "\\");
}

}  // namespace

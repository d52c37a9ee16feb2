// The automatic names of the settings dialog's path rows.
#include "ui/settings/auto_names.h"

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "text/mbs.h"

namespace {

// 表: its second byte is the code of the backslash.
const std::string HYO = "\x95\x5C";

// The name and whether it was made; an untouched buffer reads back as "untouched".
std::string output_name(const std::string& folder, bool* made) {
    char out[PATH_BUFFER_SIZE];
    strcpy(out, "untouched");
    *made = make_output_name_from_folder(folder.c_str(), out);
    return out;
}

std::string output_name(const std::string& folder) {
    bool made = false;
    const std::string name = output_name(folder, &made);
    EXPECT_TRUE(made) << "for " << folder;
    return name;
}

std::string folder_name(const std::string& output) {
    char out[PATH_BUFFER_SIZE];
    memset(out, 'x', sizeof out);
    make_folder_name_from_output(output.c_str(), out);
    return out;
}

// A folder text of exactly length bytes: C:\ then letters.
std::string folder_of_length(size_t length) {
    return "C:\\" + std::string(length - 3, 'f');
}

TEST(OutputNameFromFolder, FolderGivesTextFileBesideIt) {
    EXPECT_EQ(output_name("C:\\Data\\Photos"), "C:\\Data\\Photos.txt");
    EXPECT_EQ(output_name("C:\\Data\\Photos\\"), "C:\\Data\\Photos.txt");
    EXPECT_EQ(output_name("relative"), "relative.txt");
}

TEST(OutputNameFromFolder, ExtensionOfLastComponentIsReplaced) {
    EXPECT_EQ(output_name("C:\\Data\\old.set"), "C:\\Data\\old.txt");
    EXPECT_EQ(output_name("C:\\my.dir\\Photos"), "C:\\my.dir\\Photos.txt")
        << "a dot in an earlier component stays";
    // A trailing backslash ends the search for the dot before it is removed.
    EXPECT_EQ(output_name("C:\\old.set\\"), "C:\\old.set.txt");
}

TEST(OutputNameFromFolder, RootsKeepWhatIsLeft) {
    EXPECT_EQ(output_name("C:\\"), "C:.txt");
    EXPECT_EQ(output_name("\\"), "\\.txt") << "a lone backslash is kept";
    EXPECT_EQ(output_name(""), ".txt");
}

TEST(OutputNameFromFolder, DoubleByteNameEndingInBackslashCode) {
    EXPECT_EQ(output_name("C:\\Data\\" + HYO), "C:\\Data\\" + HYO + ".txt")
        << "the second byte is no separator";
    EXPECT_EQ(output_name("C:\\Data\\" + HYO + ".set"), "C:\\Data\\" + HYO + ".txt");
    EXPECT_EQ(output_name("C:\\" + HYO + "\\"), "C:\\" + HYO + ".txt");
    EXPECT_EQ(output_name(HYO), HYO + ".txt");
}

TEST(OutputNameFromFolder, LongFolderTakesSuffixWhileItFits) {
    // 521 bytes of text fit in a path buffer: 517 + ".txt" is the longest name.
    const std::string longest = folder_of_length(517);
    EXPECT_EQ(output_name(longest), longest + ".txt");
    EXPECT_EQ(output_name(longest + "\\"), longest + ".txt");
    EXPECT_EQ(output_name(longest.substr(0, 513) + ".data"), longest.substr(0, 513) + ".txt");
}

TEST(OutputNameFromFolder, FolderTooLongForSuffixLeavesOutputUntouched) {
    for (size_t length = 518; length <= 521; ++length) {
        bool made = true;
        EXPECT_EQ(output_name(folder_of_length(length), &made), "untouched") << length << " bytes";
        EXPECT_FALSE(made) << length << " bytes";
    }
    // Ending in 表 leaves its last byte in place, so the text stays too long.
    bool made = true;
    EXPECT_EQ(output_name(folder_of_length(516) + HYO, &made), "untouched");
    EXPECT_FALSE(made);
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

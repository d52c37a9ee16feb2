// The order of a folder's lines: folders first, then the platform's name
// order without regard to case, whatever order the disk returns the names in.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "listing/listing_job.h"
#include "support/listing_run.h"
#include "support/test_support.h"

namespace {

using lines_t = std::vector<std::string>;

struct named {
    std::string name;
    bool folder;
};

// Names that differ in letters, digits, punctuation and length, each unique
// without regard to case (so that a case-blind file system holds them all).
std::vector<named> random_names(std::mt19937* rng, int count) {
    const std::string alphabet = "abcXYZ019_-.~ ";
    std::set<std::string> taken;
    std::vector<named> names;
    while ((int)names.size() < count) {
        std::string name;
        const int length = 1 + (int)((*rng)() % 6);
        for (int i = 0; i < length; ++i) name += alphabet[(*rng)() % alphabet.size()];
        if (name.back() == '.' || name.back() == ' ' || name[0] == ' ') continue;  // names Windows trims
        std::string folded = name;
        for (char& c : folded) c = (char)tolower((unsigned char)c);
        if (!taken.insert(folded).second) continue;
        names.push_back({name, (*rng)() % 4 == 0});
    }
    return names;
}

lines_t list_created(const test::temp_dir& dir, const std::string& folder, const std::vector<named>& names) {
    const std::string top = dir.join(folder);
    test::make_folder(top);
    for (const named& n : names) {
        if (n.folder) {
            test::make_folder(top + "\\" + n.name);
        } else {
            test::write_file(top + "\\" + n.name, "");
        }
    }
    const settings_t s = test::listing_settings(top, dir.join(folder + ".txt"));
    return test::listed_lines(s);
}

TEST(ListingOrder, RandomNamesInAnyCreationOrderGiveTheReferenceOrder) {
    std::mt19937 rng(20261207);
    for (int round = 0; round < 3; ++round) {
        test::temp_dir dir;
        std::vector<named> names = random_names(&rng, 150);
        const lines_t first = list_created(dir, "first", names);
        std::shuffle(names.begin(), names.end(), rng);
        const lines_t second = list_created(dir, "second", names);
        EXPECT_EQ(first, second) << "the order the names were made in shows through";

        // The reference: folders first, then the platform's keys, then the bytes.
        std::sort(names.begin(), names.end(), [](const named& a, const named& b) {
            if (a.folder != b.folder) return a.folder;
            char key_a[2048];
            char key_b[2048];
            EXPECT_GT(os.sort_key(a.name.c_str(), key_a, sizeof key_a), 0);
            EXPECT_GT(os.sort_key(b.name.c_str(), key_b, sizeof key_b), 0);
            const int order = strcmp(key_a, key_b);
            return order != 0 ? order < 0 : a.name < b.name;
        });
        lines_t expected;
        for (const named& n : names) expected.push_back(n.folder ? n.name + "\\" : n.name);
        EXPECT_EQ(first, expected);
    }
}

}  // namespace

// The entry sort must give exactly what an in-place insertion sort gives:
// folders first, names in lstrcmpiA order, equal names in their old order.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "listing/entry_list.h"

namespace {

entry_t* new_entry(const char* name, DWORD attributes) {
    char key[4096];
    return entry_new(name, 0, name, make_sort_key(name, key, sizeof key), attributes, nullptr, 0);
}

// The order as first written: folders first, then lstrcmpiA of the names.
int reference_compare(const entry_t* a, const entry_t* b) {
    const bool a_folder = entry_is_folder(a);
    const bool b_folder = entry_is_folder(b);
    if (a_folder != b_folder) return a_folder ? -1 : 1;
    return os.lstrcmpiA(a->name, b->name);
}

// The insertion sort as first written for this list, kept verbatim as the
// reference: an item out of order is moved before the first greater one.
void reference_insertion_sort(entry_list_t* list) {
    entry_t* q = list->first;
    while (q && q->next) {
        entry_t* n = q->next;
        if (reference_compare(q, n) <= 0) {
            q = n;
            continue;
        }
        // take n out
        q->next = n->next;
        if (n->next)
            n->next->prev = q;
        else
            list->last = q;
        list->count--;
        entry_t* r = list->first;
        while (r && reference_compare(r, n) <= 0) r = r->next;
        if (r) {
            n->next = r;
            n->prev = r->prev;
            if (r->prev)
                r->prev->next = n;
            else
                list->first = n;
            r->prev = n;
        } else {
            n->prev = list->last;
            n->next = nullptr;
            list->last->next = n;
            list->last = n;
        }
        list->count++;
    }
}

std::vector<const entry_t*> order_of(const entry_list_t* list) {
    std::vector<const entry_t*> order;
    const entry_t* prev = nullptr;
    for (const entry_t* e = list->first; e; e = e->next) {
        EXPECT_EQ(e->prev, prev) << "back links";
        prev = e;
        order.push_back(e);
    }
    EXPECT_EQ(list->last, prev);
    EXPECT_EQ((size_t)list->count, order.size());
    return order;
}

// Two lists holding the same entries in the same order.
struct twin_lists {
    entry_list_t* a = entry_list_new();
    entry_list_t* b = entry_list_new();
    ~twin_lists() {
        // The entries are shared: free them once, through a.
        for (entry_t* e = b->first; e;) {
            entry_t* next = e->next;
            free(e);
            e = next;
        }
        free(b);
        entry_list_free(a);
    }
};

TEST(EntrySort, MatchesTheInsertionSortOnRandomListsWithManyEqualKeys) {
    // Case pairs, punctuation, digits and double-byte characters (表, ア,
    // hiragana あ, full-width Ａ, half-width ｱ): the sort keys must order
    // them as lstrcmpiA does, on both builds.
    static const char* const names[] = {
        "a",   "A",  "b",   "B",  "ab",  "aB",       "Ab",       "_",        "a_",       "10",       "9",
        "x-y", "xa", "a b", "~a", "a'b", "\x95\x5C", "\x83\x41", "\x82\xA0", "\x82\x60", "\x82\x81", "\xB1"};
    std::mt19937 rng(12345);
    for (int round = 0; round < 300; ++round) {
        const int n = (int)(rng() % 60);
        std::vector<entry_t*> originals, copies;
        twin_lists lists;
        for (int i = 0; i < n; ++i) {
            const char* name = names[rng() % (sizeof names / sizeof *names)];
            const DWORD attributes = rng() % 3 == 0 ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
            entry_t* e = new_entry(name, attributes);
            entry_t* twin = new_entry(name, attributes);
            ASSERT_TRUE(e && twin);
            entry_list_push_front(lists.a, e);
            entry_list_push_front(lists.b, twin);
            originals.insert(originals.begin(), e);
            copies.insert(copies.begin(), twin);
        }
        entry_list_sort(lists.a);
        reference_insertion_sort(lists.b);
        const std::vector<const entry_t*> got = order_of(lists.a);
        const std::vector<const entry_t*> want = order_of(lists.b);
        ASSERT_EQ(got.size(), want.size());
        for (size_t i = 0; i < got.size(); ++i) {
            // Same entry by position in the input, not merely an equal name.
            const size_t got_index =
                std::find(originals.begin(), originals.end(), got[i]) - originals.begin();
            const size_t want_index = std::find(copies.begin(), copies.end(), want[i]) - copies.begin();
            ASSERT_EQ(got_index, want_index)
                << "round " << round << ", position " << i << ", name " << got[i]->name;
        }
    }
}

TEST(EntrySort, SortedAndReversedInputStaySortedAndStable) {
    std::vector<std::string> names;
    for (int i = 0; i < 200; ++i)
        names.push_back(std::string(1, (char)('a' + i % 26)) + std::to_string(i / 26));
    std::sort(names.begin(), names.end());
    for (int reversed = 0; reversed < 2; ++reversed) {
        entry_list_t* list = entry_list_new();
        for (const std::string& name : names) {
            entry_list_push_front(list, new_entry(name.c_str(), 0));
        }
        if (reversed) {
            entry_list_sort(list);  // now ascending: sort it from that order too
        }
        entry_list_sort(list);
        std::vector<std::string> got;
        for (const entry_t* e = list->first; e; e = e->next) got.push_back(e->name);
        EXPECT_EQ(got, names);
        entry_list_free(list);
    }
}

}  // namespace

// Sorting one folder's entries: a stable natural merge sort on the list.
//
// The folder search returns names in an order that depends on the file
// system: sorted on NTFS (reversed by push_front), effectively random on
// others. Runs already in order are taken whole, so sorted and reversed
// input costs n - 1 comparisons; anything else O(n log n). Equal entries keep
// their order, which makes the result the one an insertion sort gives.
#include "listing/entry_list.h"

namespace {

constexpr int MAX_BINS = 64;  // bin i holds about 2^i runs: enough for any list

// Merges two sorted chains (linked by next only); on equal keys the left
// chain's entry comes first.
entry_t* merge(entry_t* left, entry_t* right) {
    entry_t* result = nullptr;
    entry_t** link = &result;
    while (left && right) {
        if (compare_entries(left, right) <= 0) {
            *link = left;
            link = &left->next;
            left = left->next;
        } else {
            *link = right;
            link = &right->next;
            right = right->next;
        }
    }
    *link = left ? left : right;
    return result;
}

// Cuts the run at the front of the chain: non-descending, or strictly
// descending and then reversed (strictly, so reversing keeps equal entries
// in order).
entry_t* take_run(entry_t** chain) {
    entry_t* head = *chain;
    entry_t* last = head;
    if (last->next && compare_entries(last, last->next) > 0) {
        entry_t* reversed = head;
        entry_t* rest = head->next;
        reversed->next = nullptr;
        while (rest) {
            entry_t* next = rest->next;
            rest->next = reversed;
            reversed = rest;
            rest = next;
            if (!rest || compare_entries(reversed, rest) <= 0) break;
        }
        *chain = rest;
        return reversed;
    }
    while (last->next && compare_entries(last, last->next) <= 0) last = last->next;
    *chain = last->next;
    last->next = nullptr;
    return head;
}

}  // namespace

void entry_list_sort(entry_list_t* list) {
    if (list->count < 2) return;

    // Runs are merged like a binary counter: bin i holds a chain built from
    // about 2^i runs, and older entries are always on the left of a merge.
    entry_t* bins[MAX_BINS] = {};
    int used = 0;
    entry_t* rest = list->first;
    while (rest) {
        entry_t* run = take_run(&rest);
        int i = 0;
        for (; i < MAX_BINS - 1 && bins[i]; ++i) {
            run = merge(bins[i], run);
            bins[i] = nullptr;
        }
        if (bins[i]) run = merge(bins[i], run);  // only the last bin can be full here
        bins[i] = run;
        if (i >= used) used = i + 1;
    }
    entry_t* sorted = nullptr;
    for (int i = 0; i < used; ++i) {
        if (bins[i]) sorted = sorted ? merge(bins[i], sorted) : bins[i];
    }

    // Restore the back links.
    entry_t* prev = nullptr;
    for (entry_t* e = sorted; e; e = e->next) {
        e->prev = prev;
        prev = e;
    }
    list->first = sorted;
    list->last = prev;
}

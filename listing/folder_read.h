// Reading one folder of a walk into its node: open, loop check, items,
// filter, sort, and the nodes of its subfolders.
#pragma once

#include <atomic>

#include "filters/filter.h"
#include "listing/folder_node.h"
#include "listing/link_targets.h"

// What the walk keeps about links. Only the walk reads the folders links
// lead to, in the walk's order, so "the first link to a folder" is the same
// in every run, whatever the readers do.
struct link_state_t {
    link_targets_t targets;            // folders reached through a link so far
    folder_identity_t* top_ancestors;  // the folders above the top one, up to its root
    size_t top_ancestor_count;
    bool ancestors_known;  // asked once, when the first link is met
};

// What every reader of one walk shares; read-only while the walk runs.
struct read_settings_t {
    const nchar_t* top;       // the top folder's native path
    unsigned folder_options;  // FOLDER_SHORT_NAMES or 0
    bool subfolders;          // queue a node for each subfolder
    uint32_t max_depth;       // folders this many levels below the top are listed, not walked; 0: no limit
    bool no_hidden;           // hidden and system items are neither listed nor walked
    bool files_unneeded;      // no file is written nor counts for anything: none is kept
    bool natural;             // runs of digits compare by their value
    bool details;             // each item keeps its size and date (item_details_t)
    bool keys_fold_ascii;     // os.sort_key_folds_ascii(): no key is made for an ASCII name
    bool identity_on_demand;  // a folder is asked its identity only when a link below it needs it
    // The list's temporary file: an item of this name is asked its identity,
    // and left out when it is that file. Null when there is none.
    const nchar_t* temp_name;
    size_t temp_name_length;
    folder_identity_t temp_identity;
    std::atomic<bool>* stop;              // set when the walk ends early: readers stop at their next item
    std::atomic<unsigned>* open_folders;  // folders open now (the read-ahead holds its budget)
    unsigned folders_open_max;            // os.folders_open_max(): beyond it, folders held are parked
    lock_t* folders_lock;                 // one thread at a time parks folders or opens them again
    link_state_t* links;                  // the walk's own (see above)
};

// One item as the sort sees it: whether it is a file and the start of its
// key, beside the item, so that most comparisons touch no item at all.
struct sort_slot_t {
    uint64_t order;  // files after folders (the top bit), then the key's first bytes
    listed_item_t* item;
};

// What one reading thread owns.
struct reader_t {
    filter_t* filter;  // a filter keeps working storage: one per thread
    filter_t* skip;    // names neither listed nor walked; null when none
    sort_slot_t* slots;
    size_t slot_capacity;
};

// Reads the node, which the caller has (NODE_READING). Afterwards the node
// holds its sorted items, its flags and error, and *first_child ..
// *last_child the chain of its subfolders' new nodes (null when none, and
// always when the node is exhausted).
void read_folder_node(folder_node_t* node, const read_settings_t* settings, reader_t* reader,
                      folder_node_t** first_child, folder_node_t** last_child);

// Frees the node's contents and closes its folder; the node itself lives in
// its parent's arena (the top node in the walk's own).
void free_folder_node(folder_node_t* node, const read_settings_t* settings);
// Frees the reader's own storage (not its filter).
void free_reader(reader_t* reader);
void free_link_state(link_state_t* links);

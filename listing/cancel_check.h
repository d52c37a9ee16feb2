// Cancel checks of the listing job.
//
// The job looks at the worker's cancel event between items. A poll can cost
// a round trip to the kernel (to the wineserver under Wine, some 15 us), and
// a big tree has hundreds of thousands of items, so between items the event
// is polled only every CANCEL_POLL_INTERVAL calls; a cancel is then seen at
// most that many items late. Once seen it stays seen: the event is never reset.
#pragma once

#include "app/is_signalled.h"

constexpr unsigned CANCEL_POLL_INTERVAL = 64;

struct cancel_check_t {
    HANDLE event;  // null: the job cannot be cancelled
    unsigned countdown;
    bool cancelled;
};

// The first due check polls at once.
inline cancel_check_t cancel_check_for(HANDLE event) {
    return cancel_check_t{event, 1, false};
}

// Polls the event now.
inline bool cancel_check_now(cancel_check_t* check) {
    if (!check->cancelled && check->event) check->cancelled = is_signalled(check->event);
    return check->cancelled;
}

// Polls the event when its turn has come; between polls answers what the last one saw.
inline bool cancel_check_due(cancel_check_t* check) {
    if (--check->countdown == 0) {
        check->countdown = CANCEL_POLL_INTERVAL;
        return cancel_check_now(check);
    }
    return check->cancelled;
}

// Cancel checks of the listing job.
//
// The job looks at the worker's cancel flag between items: an atomic read,
// so it may look as often as it likes. Once seen a cancel stays seen: the
// flag is never lowered.
#pragma once

#include <atomic>

#include "ui/progress/worker.h"

struct cancel_check_t {
    const std::atomic<bool>* requested;  // null: the job cannot be cancelled
};

inline cancel_check_t cancel_check_for(worker_t* worker) {
    return cancel_check_t{worker ? &worker->cancel_requested : nullptr};
}

inline bool cancel_requested(const cancel_check_t* check) {
    return check->requested && check->requested->load(std::memory_order_relaxed);
}

#include "platform/posix/temp_files_posix.h"

#include <string.h>
#include <unistd.h>

#include <atomic>

namespace {

// A few slots of fixed size: a handler may neither allocate nor lock. A slot
// is FREE, being FILLED by one thread, or HELD with its path complete.
enum slot_state_t { SLOT_FREE, SLOT_FILLED, SLOT_HELD };
constexpr int SLOTS = 4;
constexpr size_t PATH_ROOM = 4096 + 64;

struct slot_t {
    std::atomic<int> state{SLOT_FREE};
    char path[PATH_ROOM];
};
slot_t slots[SLOTS];
static_assert(std::atomic<int>::is_always_lock_free, "the handler reads the state");

}  // namespace

void temp_files_note(const char* path) {
    const size_t length = strlen(path);
    if (length >= PATH_ROOM) return;
    for (slot_t& slot : slots) {
        int free_state = SLOT_FREE;
        if (!slot.state.compare_exchange_strong(free_state, SLOT_FILLED)) continue;
        memcpy(slot.path, path, length + 1);
        slot.state.store(SLOT_HELD);
        return;
    }
}

void temp_files_forget(const char* path) {
    for (slot_t& slot : slots) {
        if (slot.state.load() == SLOT_HELD && strcmp(slot.path, path) == 0) {
            slot.state.store(SLOT_FREE);
            return;
        }
    }
}

void temp_files_remove_now() {
    for (slot_t& slot : slots) {
        if (slot.state.load() == SLOT_HELD) unlink(slot.path);
    }
}

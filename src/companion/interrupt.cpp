#include "companion/interrupt.hpp"

#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <cstring>

namespace smwave::companion {

namespace {

// Temporary files a signal handler may have to remove: fixed storage, so that the handler reads no
// memory that an allocation could be moving.
constexpr int pending_slots = 64;
constexpr std::size_t longest_path = 4096;
char pending_paths[pending_slots][longest_path];
std::atomic<bool> pending_in_use[pending_slots];

volatile sig_atomic_t noted_signal = 0;

void remove_pending_outputs() {
    for (int slot = 0; slot < pending_slots; ++slot) {
        if (pending_in_use[slot].load()) ::unlink(pending_paths[slot]);
    }
}

extern "C" void end_after_cleanup(int signal_number) {
    remove_pending_outputs();
    ::signal(signal_number, SIG_DFL);
    ::raise(signal_number);
}

extern "C" void note_signal(int signal_number) { noted_signal = signal_number; }

void install(void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    ::sigaction(SIGINT, &action, nullptr);
    ::sigaction(SIGTERM, &action, nullptr);
}

}  // namespace

void remove_uncommitted_outputs_on_interrupt() { install(end_after_cleanup); }

void note_interrupts() { install(note_signal); }

int interrupt_signal() { return noted_signal; }

int register_pending_output(const std::string& path) {
    if (path.size() >= longest_path) return -1;
    for (int slot = 0; slot < pending_slots; ++slot) {
        if (pending_in_use[slot].load()) continue;
        std::memcpy(pending_paths[slot], path.c_str(), path.size() + 1);
        pending_in_use[slot].store(true);
        return slot;
    }
    return -1;
}

void release_pending_output(int slot) {
    if (slot >= 0) pending_in_use[slot].store(false);
}

}  // namespace smwave::companion

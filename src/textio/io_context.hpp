#pragma once
// The unit table with the run flags, the statement context, the record being written and the read
// in progress: the state of the I/O layer, one instance for the process. Only the I/O layer's own
// files include this header.
#include <csignal>
#include <string_view>

#include "textio/free_read_state.hpp"
#include "textio/output_record.hpp"
#include "textio/units.hpp"

namespace smwave {

struct IoContext {
    Unit units[unit_count];
    bool initialised = false;
    bool closed_at_end = false;  // the end-of-run close has run

    // What the fatal report prints about the latest statement or open.
    int current_unit = -1;
    std::string_view format;  // empty when no format text is current
    const char* direction = "reading";
    const char* access = "sequential";
    const char* form = "formatted";
    const char* kind = "external";

    // The latest signal noted by a handler and not yet acted on; 0 when none.
    volatile std::sig_atomic_t pending_signal = 0;

    RunExit run_exit = {nullptr, nullptr};  // none: the process exits or aborts

    // The one record being written, shared by every unit, and the one free-format read in progress.
    OutputRecord record;
    FreeRead read;
};

// The I/O layer's state of the process.
extern IoContext io_context;
inline IoContext& io() { return io_context; }

// Leaves the process with `status`, or abnormally, through the run exit in force.
[[noreturn]] void leave(int status);
[[noreturn]] void leave_abnormally();

// The stream buffer of unit `number`.
unsigned char* unit_buffer(int number);

// Connects the console units 0, 5 and 6 and marks the table initialised.
void connect_console_units();
// Connects unit `u` to the file `name` as an open with no status does. Returns 0 or the failure code.
int connect_unit(int u, std::string_view name);
// Hands every byte waiting on unit `u` to its file; a refusal ends the run with the report "write".
void flush_unit(int u);

}  // namespace smwave

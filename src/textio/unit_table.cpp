#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "textio/io_context.hpp"

namespace smwave {

namespace {

constinit IoContext context;
// Kept apart from the unit records, in zeroed storage, so that a buffer costs memory only once used.
constinit unsigned char stream_buffers[unit_count][Stream::buffer_size] = {};

}  // namespace

IoContext& io() { return context; }

unsigned char* unit_buffer(int number) { return stream_buffers[number]; }

void leave(int status) {
    if (context.run_exit.exit != nullptr) context.run_exit.exit(status);
    std::exit(status);
}

void leave_abnormally() {
    if (context.run_exit.abort != nullptr) context.run_exit.abort();
    std::abort();
}

Unit& unit(int number) { return context.units[number]; }

void connect_console_units() {
    struct Console {
        int number;
        int fd;
        bool last_was_write;
    };
    for (const Console c :
         {Console{unit_stderr, STDERR_FILENO, true}, Console{unit_stdin, STDIN_FILENO, false},
          Console{unit_stdout, STDOUT_FILENO, true}}) {
        Unit& u = context.units[c.number];
        u.stream.attach(c.fd, unit_buffer(c.number));
        u.name = nullptr;
        u.seekable = !::isatty(c.fd);
        u.formatted = true;
        u.at_eof = false;
        u.last_was_write = c.last_was_write;
    }
    context.initialised = true;
}

void set_run_exit(RunExit exit) { context.run_exit = exit; }

void reset_units() {
    for (Unit& u : context.units) {
        if (u.name != nullptr) {
            u.stream.close();
            std::free(u.name);
        }
        u.stream.detach();
        u.name = nullptr;
        u.seekable = false;
        u.access = 3;
        u.at_eof = false;
        u.last_was_write = false;
    }
    context.in_statement = false;
    context.closed_at_end = false;
    context.current_unit = -1;
    context.format = {};
    context.pending_signal = 0;
    connect_console_units();
}

}  // namespace smwave

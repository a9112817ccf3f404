#include <unistd.h>

#include <cstdlib>
#include <cstring>

#include "textio/io_context.hpp"

namespace smwave {

IoContext io_context;

namespace {

// Kept apart from the unit records, in zeroed storage, so that a buffer costs memory only once used.
constinit unsigned char stream_buffers[unit_count][Stream::buffer_size] = {};

}  // namespace

unsigned char* unit_buffer(int number) { return stream_buffers[number]; }

void leave(int status) {
    if (io_context.run_exit.exit != nullptr) io_context.run_exit.exit(status);
    std::exit(status);
}

void leave_abnormally() {
    if (io_context.run_exit.abort != nullptr) io_context.run_exit.abort();
    std::abort();
}

Unit& unit(int number) { return io_context.units[number]; }

void connect_console_units() {
    struct Console {
        int number;
        int fd;
        bool last_was_write;
    };
    for (const Console c :
         {Console{unit_stderr, STDERR_FILENO, true}, Console{unit_stdin, STDIN_FILENO, false},
          Console{unit_stdout, STDOUT_FILENO, true}}) {
        Unit& u = io_context.units[c.number];
        u.stream.attach(c.fd, unit_buffer(c.number));
        u.name = nullptr;
        u.seekable = !::isatty(c.fd);
        u.at_eof = false;
        u.last_was_write = c.last_was_write;
    }
    io_context.initialised = true;
}

void set_run_exit(RunExit exit) { io_context.run_exit = exit; }

void reset_units() {
    for (Unit& u : io_context.units) {
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
    io_context.closed_at_end = false;
    io_context.current_unit = -1;
    io_context.format = {};
    io_context.pending_signal = 0;
    connect_console_units();
}

}  // namespace smwave

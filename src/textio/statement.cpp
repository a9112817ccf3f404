#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

#include "textio/io_context.hpp"

namespace smwave {

namespace {

// Reopens the file of unit `number` by name with `flags` and moves to byte position `at`.
bool reopen(int number, int flags, long long at) {
    Unit& u = unit(number);
    u.stream.close();
    const int fd = ::open(u.name, flags | O_CLOEXEC);
    if (fd < 0) return false;
    u.stream.attach(fd, unit_buffer(number));
    if (at > 0) ::lseek(fd, static_cast<off_t>(at), SEEK_SET);
    return true;
}

// Prepares `u` for reading after a write. Returns 0 or the failure code.
int switch_to_reading(int number) {
    Unit& u = unit(number);
    if (!u.stream.flush()) {
        io().current_unit = number;
        fatal_io(u.stream.error(), "write");
    }
    if ((u.access & 1) == 0) {
        if (u.name == nullptr) return err_cannot_read;
        const long long at = u.stream.position();
        if (reopen(number, O_RDWR, at)) {
            u.access = 3;
        } else if (reopen(number, O_RDONLY, at)) {
            u.access = 1;
        } else {
            return err_cannot_read;
        }
    }
    u.last_was_write = false;
    return 0;
}

// Prepares `u` for writing after a read. Returns 0 or the failure code.
int switch_to_writing(int number) {
    Unit& u = unit(number);
    u.stream.drop_read_ahead();
    if ((u.access & 2) == 0) {
        if (u.name == nullptr) return err_cannot_write;
        if (!reopen(number, O_RDWR, u.stream.position())) return err_cannot_write;
        u.access = 3;
    }
    u.last_was_write = true;
    return 0;
}

// Connects an unconnected unit to its file "fort.NN" for a first statement. Returns 0 or 102.
int connect_implicitly(int number) {
    if (unit(number).connected()) return 0;
    char name[16] = "fort.";
    int length = 5;
    if (number >= 10) name[length++] = static_cast<char>('0' + number / 10);
    name[length++] = static_cast<char>('0' + number % 10);
    const int failure = connect_unit(number, std::string_view(name, static_cast<std::size_t>(length)));
    return failure == 0 ? 0 : err_formatted_io;
}

void begin_statement(int number) { io().current_unit = number; }

// The end of a read's start: the console shown before a console read, the switch to reading, and
// the end-of-file test. Returns 0, or -1 for an end of file handed back.
int prepare_read(int number, bool end_branch) {
    if (number == unit_stdin) flush_unit(unit_stdout);
    if (unit(number).last_was_write && switch_to_reading(number) != 0) {
        return dispatch_failure(err_cannot_read, "read start", end_branch);
    }
    if (unit(number).at_eof) return dispatch_failure(code_eof, "read start", end_branch);
    return 0;
}

// The end of a write's start: the switch to writing, whose failure is reported with `context`.
int prepare_write(int number, const char* context) {
    if (!unit(number).last_was_write && switch_to_writing(number) != 0) {
        return dispatch_failure(err_cannot_write, context, false);
    }
    return 0;
}

}  // namespace

// The fatal report shows the unit, format and direction as they stand when a statement fails, so
// the order in which each kind of statement sets them before its implicit connect is part of every
// report's bytes: a free-format write sets its direction only after the connect, so that the echo
// file's failed connect at the first row reports "lately reading" (the table read before it), while
// a free-format read names its direction first. Keep each case's order as it is.
int statement_start(Statement kind, int number, bool end_branch, std::string_view format) {
    act_on_signals();
    IoContext& c = io();
    switch (kind) {
        case Statement::free_read: {
            c.direction = "reading";
            c.form = "formatted";
            c.kind = "external";
            begin_statement(number);
            c.format = "list io";
            if (connect_implicitly(number) != 0) return dispatch_failure(err_formatted_io, "lio", end_branch);
            return prepare_read(number, end_branch);
        }
        case Statement::free_write: {
            begin_statement(number);
            c.format = "list io";
            if (connect_implicitly(number) != 0) return dispatch_failure(err_formatted_io, "lio", false);
            c.direction = "writing";
            c.form = "formatted";
            c.kind = "external";
            return prepare_write(number, "list output start");
        }
        case Statement::fixed_read: {
            begin_statement(number);
            c.direction = "reading";
            c.access = "sequential";
            c.form = "formatted";
            c.kind = "external";
            c.format = format;
            return prepare_read(number, end_branch);
        }
        case Statement::edit_write: {
            begin_statement(number);
            c.direction = "writing";
            c.access = "sequential";
            c.form = "formatted";
            c.kind = "external";
            c.format = format;
            return prepare_write(number, "write start");
        }
    }
    return 0;
}

void statement_end(Statement kind) {
    IoContext& c = io();
    if (kind == Statement::fixed_read || kind == Statement::edit_write) c.format = {};
    // A console on a terminal shows each record as it is finished.
    if ((kind == Statement::free_write || kind == Statement::edit_write) && c.current_unit >= 0) {
        const Unit& u = unit(c.current_unit);
        if (u.connected() && !u.seekable) flush_unit(c.current_unit);
    }
    act_on_signals();
}

int dispatch_failure(int code, const char* context, bool end_branch) {
    if (code == code_eof && end_branch) return -1;
    fatal_io(code, context);
}

void hand_line(int number, const char* text, std::size_t n) {
    Unit& u = unit(number);
    if (!u.stream.write_line(text, n)) {
        io().current_unit = number;
        fatal_io(u.stream.error(), "write");
    }
}

void stop_run() {
    for (int number = 0; number < unit_count; ++number) flush_unit(number);
    leave(0);
}

}  // namespace smwave

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "textio/io_context.hpp"

namespace smwave {

namespace {

constexpr mode_t new_file_mode = 0666;

std::string_view trim_trailing_blanks(std::string_view name) {
    while (!name.empty() && name.back() == ' ') name.remove_suffix(1);
    return name;
}

// Replaces the unit's name by an owned copy of `name`. False when no memory can be had.
bool keep_name(Unit& u, std::string_view name) {
    std::free(u.name);
    u.name = static_cast<char*>(std::malloc(name.size() + 1));
    if (u.name == nullptr) return false;
    std::memcpy(u.name, name.data(), name.size());
    u.name[name.size()] = '\0';
    return true;
}

// Cuts the file of `u` at the position of its next write. False when the cut fails.
bool cut_at_position(Unit& u) {
    if (!u.seekable || u.name == nullptr) return true;
    const long long at = u.stream.position();
    const off_t end = ::lseek(u.stream.fd(), 0, SEEK_END);
    if (at < 0 || end < 0) return false;
    if (at >= end) return true;
    return ::ftruncate(u.stream.fd(), static_cast<off_t>(at)) == 0;
}

// Disconnects unit `number`, writing out and cutting a written file first. A failure of either ends
// the run when `report` is set (the unit still named in the report); the end-of-run close ignores it.
void disconnect(int number, bool report) {
    Unit& u = unit(number);
    if (!u.connected()) {
        u.at_eof = false;
        std::free(u.name);
        u.name = nullptr;
        return;
    }
    if (u.last_was_write) {
        int failure = 0;
        const char* context = "";
        if (!u.stream.flush()) {
            failure = u.stream.error();
            context = "write";
        } else if (!cut_at_position(u)) {
            failure = err_truncation;
            context = "endfile";
        }
        if (failure != 0 && report) {
            io().current_unit = number;
            fatal_io(failure, context);
        }
    }
    if (u.name != nullptr) {
        u.stream.close();
        std::free(u.name);
        u.name = nullptr;
    } else {
        u.stream.detach();
    }
    u.at_eof = false;
}

}  // namespace

int connect_unit(int number, std::string_view name) {
    Unit& u = unit(number);
    u.at_eof = false;
    u.last_was_write = false;
    u.stream.detach();
    u.access = 3;
    if (!keep_name(u, name)) return err_no_space;
    int fd = ::open(u.name, O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        fd = ::open(u.name, O_RDONLY | O_CLOEXEC);
        u.access = 1;
    }
    if (fd < 0) {
        fd = ::open(u.name, O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, new_file_mode);
        u.access = 2;
        u.last_was_write = true;
    }
    if (fd < 0) return errno;
    u.stream.attach(fd, unit_buffer(number));
    u.seekable = !::isatty(fd);
    return 0;
}

void open_unit(int number, std::string_view name) {
    IoContext& c = io();
    c.kind = "external";
    c.current_unit = number;
    const std::string_view trimmed = trim_trailing_blanks(name);
    Unit& u = unit(number);
    if (trimmed.empty()) {
        keep_name(u, trimmed);
        fatal_io(err_null_name, "open");
    }
    const int failure = connect_unit(number, trimmed);
    if (failure == err_no_space) fatal_io(err_no_space, "no space");
    if (failure != 0) fatal_io(failure, "open");
}

void close_unit(int number) { disconnect(number, true); }

void flush_unit(int number) {
    Unit& u = unit(number);
    if (u.connected() && !u.stream.flush()) {
        io().current_unit = number;
        fatal_io(u.stream.error(), "write");
    }
}

void end_of_run_close() {
    IoContext& c = io();
    if (!c.initialised || c.closed_at_end) return;
    c.closed_at_end = true;
    for (int number = 0; number < unit_count; ++number) disconnect(number, false);
}

}  // namespace smwave

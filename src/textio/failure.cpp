#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <string>

#include "textio/io_context.hpp"

namespace smwave {

namespace {

// The run-time messages 100..132, by number.
constexpr std::array<const char*, 33> messages = {
    "error in format",                         // 100
    "illegal unit number",                     // 101
    "formatted io not allowed",                // 102
    "unformatted io not allowed",              // 103
    "direct io not allowed",                   // 104
    "sequential io not allowed",               // 105
    "can't backspace file",                    // 106
    "null file name",                          // 107
    "can't stat file",                         // 108
    "unit not connected",                      // 109
    "off end of record",                       // 110
    "truncation failed in endfile",            // 111
    "incomprehensible list input",             // 112
    "out of free space",                       // 113
    "unit not connected",                      // 114
    "read unexpected character",               // 115
    "bad logical input field",                 // 116
    "bad variable type",                       // 117
    "bad namelist name",                       // 118
    "variable not in namelist",                // 119
    "no end record",                           // 120
    "variable count incorrect",                // 121
    "subscript for scalar variable",           // 122
    "invalid array section",                   // 123
    "substring out of bounds",                 // 124
    "subscript out of bounds",                 // 125
    "can't read file",                         // 126
    "can't write file",                        // 127
    "'new' file exists",                       // 128
    "can't append to file",                    // 129
    "non-positive record number",              // 130
    "I/O started while already doing I/O",     // 131
    "Temporary file name (TMPDIR?) too long",  // 132
};
constexpr int first_message = 100;
constexpr int last_system_error = 99;

void write_error_stream(const std::string& text) {
    std::size_t done = 0;
    while (done < text.size()) {
        const ssize_t n = ::write(STDERR_FILENO, text.data() + done, text.size() - done);
        if (n <= 0) return;
        done += static_cast<std::size_t>(n);
    }
}

std::string first_line(int code, const char* context) {
    std::string line = context;
    line += ": ";
    if (code >= 0 && code <= last_system_error) {
        line += std::strerror(code);
    } else if (code == code_eof) {
        line += "end of file";
    } else if (code >= first_message && code < first_message + static_cast<int>(messages.size())) {
        line += messages[static_cast<std::size_t>(code - first_message)];
    } else {
        line += "illegal error number " + std::to_string(code);
    }
    return line + "\n";
}

}  // namespace

void fatal_io(int code, const char* context) {
    IoContext& c = io();
    std::string report = first_line(code, context);
    if (c.initialised && c.current_unit >= 0) {
        const Unit& u = unit(c.current_unit);
        report += "apparent state: unit " + std::to_string(c.current_unit) + " ";
        report += u.name != nullptr ? std::string("named ") + u.name : std::string("(unnamed)");
        report += "\n";
    }
    if (!c.format.empty()) {
        report += "last format: ";
        report += c.format;
        report += "\n";
    }
    report += std::string("lately ") + c.direction + " " + c.access + " " + c.form + " " + c.kind + " IO\n";
    write_error_stream(report);
    end_of_run_close();
    std::signal(SIGABRT, SIG_DFL);
    leave_abnormally();
}

void refuse_run(std::string_view message) {
    std::string line(message);
    write_error_stream(line + "\n");
    end_of_run_close();
    leave(2);
}

}  // namespace smwave

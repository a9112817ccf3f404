#include "fuzz_support.hpp"

#include <sanitizer/common_interface_defs.h>
#include <sys/mman.h>
#include <unistd.h>

#include <array>
#include <csignal>
#include <cstdlib>

#include "textio/units.hpp"

namespace smwave::fuzz {

namespace {

int real_stderr = STDERR_FILENO;
struct sigaction fuzzer_abort_action = {};
bool abort_action_saved = false;

[[noreturn]] void throw_exit(int status) { throw RunEnded{status}; }
[[noreturn]] void throw_abort() { throw RunEnded{-1}; }

void write_all(int fd, std::string_view text) {
    while (!text.empty()) {
        const ssize_t n = ::write(fd, text.data(), text.size());
        if (n <= 0) return;
        text.remove_prefix(static_cast<std::size_t>(n));
    }
}

// The context texts with which the tool's failure reports begin.
constexpr std::array<std::string_view, 15> known_contexts = {
    "open",
    "no space",
    "lio",
    "read start",
    "list output start",
    "write start",
    "endfile",
    "write",
    "list in",
    "fmt",
    "invalid number",
    "invalid integer",
    "bad repetition count",
    "exponent field",
    "realloc failure",
};

// The format texts a report can name: the free-format statements' and the tool's own four.
constexpr std::array<std::string_view, 6> known_formats = {
    "list io",
    "(A90)",
    "(1X,/,'Enter input file of waveform data')",
    "(/,1X,'Enter output file name of waveform (csv format file)')",
    "(F8.4,6(',',E12.4))",
    "(F8.3,4(',',E12.4))",
};

bool is_known(std::string_view text, std::span<const std::string_view> known) {
    for (const std::string_view k : known) {
        if (text == k) return true;
    }
    return false;
}

// Takes the next line of `text` (without its line end); false when no complete line is left.
bool next_line(std::string_view& text, std::string_view& line) {
    const std::size_t end = text.find('\n');
    if (end == std::string_view::npos) return false;
    line = text.substr(0, end);
    text.remove_prefix(end + 1);
    return true;
}

bool starts_with_unit_number(std::string_view rest) {
    std::size_t digits = 0;
    while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') ++digits;
    return digits > 0 && digits <= 2 && rest.size() > digits && rest[digits] == ' ';
}

}  // namespace

void prepare_process() {
    // Sanitizer reports go to the standard error of the start, whatever the targets do with fd 2.
    real_stderr = ::dup(STDERR_FILENO);
    __sanitizer_set_report_fd(reinterpret_cast<void*>(static_cast<std::intptr_t>(real_stderr)));
    set_run_exit({throw_exit, throw_abort});
}

void begin_input() {
    if (!abort_action_saved) {
        sigaction(SIGABRT, nullptr, &fuzzer_abort_action);
        abort_action_saved = true;
    } else {
        sigaction(SIGABRT, &fuzzer_abort_action, nullptr);
    }
    reset_units();
}

void finding(std::string_view what, std::string_view detail) {
    std::string text = "FINDING: ";
    text += what;
    text += "\n";
    if (!detail.empty()) {
        text += "---\n";
        text += detail;
        text += "\n---\n";
    }
    write_all(real_stderr, text);
    __builtin_trap();
}

namespace {

// A file for the life of the process; `path`, when given, receives a name that opens it. Linux keeps
// the file in memory (memfd_create, named through /proc/self/fd); elsewhere it is a file in /tmp,
// removed at once when no name is wanted and left there otherwise.
int scratch_file(const char* name, std::string* path) {
#ifdef __linux__
    const int fd = ::memfd_create(name, 0);
    if (path != nullptr) *path = "/proc/self/fd/" + std::to_string(fd);
#else
    std::string temporary = std::string("/tmp/") + name + "-XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (path != nullptr) {
        *path = temporary;
    } else if (fd >= 0) {
        ::unlink(temporary.c_str());
    }
#endif
    return fd;
}

}  // namespace

MemoryFile::MemoryFile() : fd_(-1) {
    fd_ = scratch_file("smwave-fuzz-input", &path_);
    if (fd_ < 0) finding("cannot create the input file");
}

void MemoryFile::fill(std::span<const std::uint8_t> bytes) {
    if (::ftruncate(fd_, 0) != 0) finding("ftruncate of the input file failed");
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::pwrite(fd_, bytes.data() + done, bytes.size() - done, static_cast<off_t>(done));
        if (n <= 0) finding("write of the input file failed");
        done += static_cast<std::size_t>(n);
    }
}

void MemoryFile::attach_to_stdin() {
    if (::dup2(fd_, STDIN_FILENO) < 0) finding("dup2 onto standard input failed");
    ::lseek(STDIN_FILENO, 0, SEEK_SET);
}

ErrorCapture::ErrorCapture()
    : file_(scratch_file("smwave-fuzz-stderr", nullptr)), real_(::dup(STDERR_FILENO)) {
    if (file_ < 0 || real_ < 0) finding("cannot set up the capture of standard error");
}

void ErrorCapture::start() {
    ::ftruncate(file_, 0);
    ::lseek(file_, 0, SEEK_SET);
    ::dup2(file_, STDERR_FILENO);
}

std::string_view ErrorCapture::stop() {
    ::dup2(real_, STDERR_FILENO);
    const off_t size = ::lseek(file_, 0, SEEK_END);
    text_.resize(size > 0 ? static_cast<std::size_t>(size) : 0);
    std::size_t done = 0;
    while (done < text_.size()) {
        const ssize_t n = ::pread(file_, text_.data() + done, text_.size() - done, static_cast<off_t>(done));
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    text_.resize(done);
    return text_;
}

std::string_view check_fatal_report(std::string_view report) {
    std::string_view rest = report;
    std::string_view first;
    std::string_view line;
    if (!next_line(rest, first)) finding("failure report without a complete first line", report);
    const std::size_t colon = first.find(": ");
    if (colon == std::string_view::npos || !is_known(first.substr(0, colon), known_contexts)) {
        finding("failure report with an unknown context", report);
    }
    if (!next_line(rest, line) || !line.starts_with("apparent state: unit ")) {
        finding("failure report without the unit line", report);
    }
    line.remove_prefix(std::string_view("apparent state: unit ").size());
    if (!starts_with_unit_number(line)) finding("failure report with a malformed unit number", report);
    line.remove_prefix(line.find(' ') + 1);
    if (line != "(unnamed)" && !line.starts_with("named "))
        finding("failure report with a malformed unit name", report);
    if (!next_line(rest, line)) finding("failure report ends after the unit line", report);
    if (line.starts_with("last format: ")) {
        if (!is_known(line.substr(std::string_view("last format: ").size()), known_formats)) {
            finding("failure report names an unknown format", report);
        }
        if (!next_line(rest, line)) finding("failure report ends after the format line", report);
    }
    if (line != "lately reading sequential formatted external IO" &&
        line != "lately writing sequential formatted external IO") {
        finding("failure report without the statement line", report);
    }
    if (!rest.empty()) finding("failure report with text after the statement line", report);
    return first;
}

}  // namespace smwave::fuzz

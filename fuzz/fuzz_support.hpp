#pragma once
// What the fuzz targets share: the run's ends turned into exceptions, an in-memory file standing in
// for an input, a capture of standard error, and the checks of a failure report.
//
// Run the targets with -close_fd_mask=3 (fuzz/run.sh does): the fuzzer then keeps its own copy of
// standard error, and the targets take file descriptors 1 and 2 over for every input.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace smwave::fuzz {

// Thrown where the run would exit (`status` >= 0) or abort (`status` == -1).
struct RunEnded {
    int status;
};

// Once per process: the run's ends throw RunEnded, sanitizer reports keep the real standard error,
// and the fuzzer's own abort handler is remembered.
void prepare_process();

// Before every input: a fresh unit table (console units on descriptors 0, 5 and 6), and the
// fuzzer's abort handler back in force (a failure report resets it to the default).
void begin_input();

// Ends the process as a finding: `what` and `detail` on the real standard error, then a trap that
// the fuzzer reports as a crash and saves the input for.
[[noreturn]] void finding(std::string_view what, std::string_view detail = {});

// A scratch file (in memory on Linux) that holds an input, read on standard input or opened by its path.
class MemoryFile {
  public:
    MemoryFile();
    MemoryFile(const MemoryFile&) = delete;
    MemoryFile& operator=(const MemoryFile&) = delete;
    // Replaces the contents by `bytes`.
    void fill(std::span<const std::uint8_t> bytes);
    // Puts the file on descriptor 0, read from its first byte.
    void attach_to_stdin();
    // A path that opens the file afresh ("/proc/self/fd/N" on Linux).
    const std::string& path() const { return path_; }

  private:
    int fd_;
    std::string path_;
};

// Captures what is written to standard error between `start()` and `stop()`.
class ErrorCapture {
  public:
    ErrorCapture();
    void start();
    // Stops capturing and gives the text written since `start()`.
    std::string_view stop();

  private:
    int file_;
    int real_;
    std::string text_;
};

// Checks the layout of a fatal I/O report: its first line "context: text" with a known context,
// "apparent state: unit N ...", an optional "last format: ..." and the "lately ... IO" line.
// Gives the first line without its line end; a report out of shape is a finding.
std::string_view check_fatal_report(std::string_view report);

}  // namespace smwave::fuzz

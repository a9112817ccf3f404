#pragma once
// In-process harness for the I/O layer: the run's exits throw instead of ending the test program, and
// standard error can be captured to compare failure reports.
#include <functional>
#include <string>

namespace smwave::testing {

// Thrown where the run would exit (`status` >= 0) or abort (`status` == -1).
struct RunEnded {
    int status;
};

// Makes the run's exits throw RunEnded and starts from a fresh unit table; undone at destruction.
class RunHarness {
  public:
    RunHarness();
    ~RunHarness();
    RunHarness(const RunHarness&) = delete;
    RunHarness& operator=(const RunHarness&) = delete;
};

// Captures what is written to standard error (file descriptor 2) between construction and `text()`.
class ErrorCapture {
  public:
    ErrorCapture();
    ~ErrorCapture();
    ErrorCapture(const ErrorCapture&) = delete;
    ErrorCapture& operator=(const ErrorCapture&) = delete;
    // Stops capturing and gives what was written.
    std::string text();

  private:
    int saved_ = -1;
    int file_ = -1;
};

// What a run that ends inside `body` leaves: the report on standard error and the exit status (-1 for
// an abort). A body that lets the run go on is a test failure.
struct EndedRun {
    std::string report;
    int status = 0;
};
EndedRun run_until_end(const std::function<void()>& body);

}  // namespace smwave::testing

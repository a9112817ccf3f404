#include "support/run_harness.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

#include "textio/units.hpp"

namespace smwave::testing {

namespace {

[[noreturn]] void throw_exit(int status) { throw RunEnded{status}; }
[[noreturn]] void throw_abort() { throw RunEnded{-1}; }

}  // namespace

RunHarness::RunHarness() {
    set_run_exit({throw_exit, throw_abort});
    reset_units();
}

RunHarness::~RunHarness() {
    reset_units();
    set_run_exit({nullptr, nullptr});
}

ErrorCapture::ErrorCapture() {
    std::fflush(stderr);
    char name[] = "/tmp/smwave-stderr-XXXXXX";
    file_ = ::mkstemp(name);
    ::unlink(name);
    saved_ = ::dup(STDERR_FILENO);
    ::dup2(file_, STDERR_FILENO);
}

std::string ErrorCapture::text() {
    if (saved_ < 0) return {};
    ::dup2(saved_, STDERR_FILENO);
    ::close(saved_);
    saved_ = -1;
    std::string captured;
    ::lseek(file_, 0, SEEK_SET);
    char block[4096];
    ssize_t n;
    while ((n = ::read(file_, block, sizeof block)) > 0) captured.append(block, static_cast<std::size_t>(n));
    ::close(file_);
    file_ = -1;
    return captured;
}

ErrorCapture::~ErrorCapture() { text(); }

EndedRun run_until_end(const std::function<void()>& body) {
    ErrorCapture capture;
    EndedRun ended;
    try {
        body();
        ADD_FAILURE() << "the run went on";
    } catch (const RunEnded& end) {
        ended.status = end.status;
    }
    ended.report = capture.text();
    return ended;
}

}  // namespace smwave::testing

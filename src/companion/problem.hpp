#pragma once
// What a companion tool reports when it refuses an input, and results that may carry one.
//
// Readers and writers return a Result; the tool's edge turns a Problem into the one-line message
// "tool: FILE:LINE: what is wrong" on standard error and exit status 2.
//
//     Result<Samples> read(...) { if (bad) return Problem{name, line, "a number was expected"}; ... }
//     auto samples = read(...);
//     if (!samples) return samples.problem();
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <variant>

namespace smwave::companion {

// Where something is wrong and what: `line` counts from 1 (0: the file as a whole); for binary files
// `at_byte` is true and `line` holds the byte offset.
struct Problem {
    std::string file;
    std::uint64_t line = 0;
    std::string what;
    bool at_byte = false;
};

// "FILE:LINE: what" (or "FILE: byte N: what", or "FILE: what" for line 0, or "what" without a file).
std::string describe(const Problem& problem);

// A value, or the problem that kept it from being made.
template <typename T>
class Result {
  public:
    Result(T value) : state_(std::move(value)) {}
    Result(Problem problem) : state_(std::move(problem)) {}
    explicit operator bool() const { return state_.index() == 0; }
    T& operator*() { return std::get<0>(state_); }
    const T& operator*() const { return std::get<0>(state_); }
    T* operator->() { return &std::get<0>(state_); }
    const T* operator->() const { return &std::get<0>(state_); }
    const Problem& problem() const { return std::get<1>(state_); }

  private:
    std::variant<T, Problem> state_;
};

// Success with nothing to give, or a problem.
using Status = std::optional<Problem>;

}  // namespace smwave::companion

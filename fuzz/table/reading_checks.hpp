#pragma once
// The invariants every reader of smwave-table keeps, whatever bytes it is given: it refuses with a
// problem that names the file and a place within it, or gives components whose samples are finite
// and whose interval is a positive number.
#include <cmath>
#include <cstdio>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::fuzz {

[[noreturn]] inline void finding(std::string_view what) {
    std::fprintf(stderr, "FINDING: %.*s\n", static_cast<int>(what.size()), what.data());
    __builtin_trap();
}

// `lines`: the number of lines of the input (a text problem's line is at most one past them);
// `bytes`: its size (a binary problem's offset is at most that).
inline void check_reading(const companion::Result<table::Reading>& reading, std::string_view name,
                          std::size_t lines, std::size_t bytes) {
    if (!reading) {
        const companion::Problem& problem = reading.problem();
        // The refusal as the user sees it, for the replay of an input that breaks a check below.
        std::fprintf(stderr, "refused: %s\n", companion::describe(problem).c_str());
        if (problem.file != name) finding("a problem that does not name the file");
        if (problem.what.empty()) finding("a problem without a message");
        if (problem.what.size() > 400) finding("a message longer than a line should be");
        if (problem.at_byte ? problem.line > bytes : problem.line > lines + 1)
            finding("a problem placed beyond the input");
        return;
    }
    if (reading->components.empty()) finding("a reading without components");
    for (const auto& component : reading->components) {
        if (!(component.interval > 0) || !std::isfinite(component.interval))
            finding("an interval that is not positive");
        if (component.source != name) finding("a component that does not name its file");
        for (const double sample : component.samples) {
            if (std::isnan(sample)) finding("a sample that is not a number");
        }
    }
}

inline std::size_t count_lines(std::string_view text) {
    std::size_t lines = 1;
    for (const char c : text) lines += c == '\n' ? 1 : 0;
    return lines;
}

}  // namespace smwave::fuzz

#pragma once
// What a companion tool says, for every file of a tool; only the files that parse options need
// tool.hpp (and CLI11) as well. A problem that ends the work is returned, as a value, to the tool's
// edge (run_tool), which reports it as "tool: FILE:LINE: what" with status 2.
//
//     if (!table) return table.problem();
//     warn("3 fields hold no number");            // "tool: 3 fields hold no number"
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "facts/core_facts.hpp"

namespace smwave::companion {

// The project's version, as --version shows it.
std::string_view version();

// Why a run of smwave on a table of too many rows wrote no waveform file.
inline std::string too_many_rows_message() {
    return "more than " + std::to_string(facts::max_rows) + " rows: smwave stops without a waveform file";
}

// "tool: message" on standard error (a warning: the status is not changed).
void warn(std::string_view message);

}  // namespace smwave::companion

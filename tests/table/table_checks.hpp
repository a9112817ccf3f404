#pragma once
// Running smwave-table, and checking a table it wrote by reading it back and running smwave on it.
#include <filesystem>
#include <string>
#include <vector>

#include "support/command_run.hpp"

namespace smwave::testing {

// Runs smwave-table in `dir` with `arguments`.
ToolResult run_table(const std::filesystem::path& dir, const std::vector<std::string>& arguments);

// A table read back with exact conversion: the header words, then the time column and the three
// components (channels 38, 40 and 17), after checking that every row holds 43 numbers and that the
// other channels are 0.
struct TableContent {
    std::vector<std::string> words;
    std::string provenance;
    std::vector<double> time;
    std::vector<double> components[3];
};
TableContent read_table(const std::filesystem::path& file);

// Runs smwave on the table with no processing and checks what it gives back against `expected`
// components: "NT and DT=" with the row count, the echo file's raw components, and the waveform
// file's components relative to their first sample, each within its printed precision.
void expect_smwave_gives_back(const std::filesystem::path& dir, const std::string& table,
                              const std::vector<std::vector<double>>& expected);

}  // namespace smwave::testing

#pragma once
// Runs the real smwave executable in a folder with scripted console answers, and the files around it.
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "support/launch.hpp"

namespace smwave::testing {

struct RunOptions {
    // Run as the unprivileged user when the tests run as root, so that file permissions hold.
    bool unprivileged = false;
};

// Runs smwave in `dir` with `answers` as its standard input and `arguments` after its name, and waits
// for it to end.
ToolResult run_tool(const std::filesystem::path& dir, std::string_view answers, RunOptions options = {},
                    std::vector<std::string> arguments = {});

std::string read_file(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, std::string_view content);

// A waveform table: a header line "STN EW NS UD", one more line, then `rows` rows of a time and 42
// channel values, blank separated; value(row, column) gives column 1..42 of row 1..rows.
std::string make_table(int rows, double dt, const std::function<double(int, int)>& value);

}  // namespace smwave::testing

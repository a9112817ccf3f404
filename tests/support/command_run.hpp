#pragma once
// Runs any program of the suite with arguments, in a folder, and gives back what it printed.
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "support/tool_run.hpp"

namespace smwave::testing {

// Runs `program` with `arguments` in `dir`, `input` as its standard input, and waits for it to end; as
// the unprivileged user when `unprivileged` and the tests run as root.
ToolResult run_command(const std::filesystem::path& dir, const std::string& program,
                       const std::vector<std::string>& arguments, std::string_view input = {},
                       bool unprivileged = false);

}  // namespace smwave::testing

#include "support/command_run.hpp"

namespace smwave::testing {

ToolResult run_command(const std::filesystem::path& dir, const std::string& program,
                       const std::vector<std::string>& arguments, std::string_view input, bool unprivileged) {
    return launch(dir, {.program = program,
                        .arguments = arguments,
                        .input = std::string(input),
                        .unprivileged = unprivileged,
                        .name = program});
}

}  // namespace smwave::testing

#include "support/command_run.hpp"

namespace smwave::testing {

ToolResult run_command(const std::filesystem::path& dir, const std::string& program,
                       const std::vector<std::string>& arguments, std::string_view input) {
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    return run_program(dir, program, std::move(words), input);
}

}  // namespace smwave::testing

#pragma once
// Finding the suite's programs that smwave-batch and smwave-event run: beside the running program, else on PATH.
#include <filesystem>
#include <optional>
#include <string_view>

namespace smwave::jobs {

// The executable `name` in the folder of the running program, else in a folder of PATH.
std::optional<std::filesystem::path> find_program(std::string_view name);

}  // namespace smwave::jobs

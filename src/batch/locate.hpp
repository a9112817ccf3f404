#pragma once
// Finding the suite's programs that a batch runs: beside smwave-batch itself, else on PATH.
#include <filesystem>
#include <optional>
#include <string_view>

namespace smwave::batch {

// The executable `name` in the folder of the running program, else in a folder of PATH.
std::optional<std::filesystem::path> find_program(std::string_view name);

}  // namespace smwave::batch

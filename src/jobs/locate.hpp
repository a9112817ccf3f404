#pragma once
// Finding the suite's programs that smwave-batch and smwave-event run: beside the running program, else on
// PATH.
#include <filesystem>
#include <optional>
#include <string_view>

#include "companion/problem.hpp"

namespace smwave::jobs {

// The executable `name` in the folder of the running program, else in a folder of PATH.
std::optional<std::filesystem::path> find_program(std::string_view name);

// The program `name` that `tool` needs (`purpose`, such as "to run the records", may be empty), or
// the Problem that says it was found neither beside `tool` nor on PATH.
companion::Result<std::filesystem::path> find_needed_program(std::string_view name, std::string_view tool,
                                                             std::string_view purpose);

}  // namespace smwave::jobs

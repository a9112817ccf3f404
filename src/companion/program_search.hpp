#pragma once
// Finding a program the way the shell does: in the folders of PATH, in order.
#include <filesystem>
#include <optional>
#include <string_view>

namespace smwave::companion {

// The executable regular file `name` in the first folder of PATH that has one; nothing when none has
// it or PATH is not set. Empty entries are passed over: a program is never taken from the current
// folder by accident.
std::optional<std::filesystem::path> find_on_path(std::string_view name);

// Whether `file` is a regular file this process may execute.
bool is_executable_file(const std::filesystem::path& file);

}  // namespace smwave::companion

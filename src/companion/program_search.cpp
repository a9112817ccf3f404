#include "companion/program_search.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace smwave::companion {

namespace fs = std::filesystem;

bool is_executable_file(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

std::optional<fs::path> find_on_path(std::string_view name) {
    const char* search = std::getenv("PATH");
    std::string_view folders = search != nullptr ? search : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        if (!folder.empty() && is_executable_file(fs::path(folder) / name)) return fs::path(folder) / name;
        if (colon == std::string_view::npos) break;
        folders.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

}  // namespace smwave::companion

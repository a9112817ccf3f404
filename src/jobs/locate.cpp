#include "jobs/locate.hpp"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace smwave::jobs {

namespace fs = std::filesystem;

namespace {

bool is_executable(const fs::path& file) {
    std::error_code error;
    return fs::is_regular_file(file, error) && ::access(file.c_str(), X_OK) == 0;
}

}  // namespace

std::optional<fs::path> find_program(std::string_view name) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error && is_executable(self.parent_path() / name)) return self.parent_path() / name;
    const char* search = std::getenv("PATH");
    std::string_view folders = search != nullptr ? search : "";
    while (!folders.empty()) {
        const std::size_t colon = folders.find(':');
        const std::string_view folder = folders.substr(0, colon);
        if (!folder.empty() && is_executable(fs::path(folder) / name)) return fs::path(folder) / name;
        if (colon == std::string_view::npos) break;
        folders.remove_prefix(colon + 1);
    }
    return std::nullopt;
}

}  // namespace smwave::jobs

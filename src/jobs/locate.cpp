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

companion::Result<fs::path> find_needed_program(std::string_view name, std::string_view tool,
                                                std::string_view purpose) {
    if (auto found = find_program(name)) return *found;
    std::string what = std::string(name) + " is needed";
    if (!purpose.empty()) what += " " + std::string(purpose);
    return companion::Problem{"", 0,
                              what + " and was found neither beside " + std::string(tool) + " nor on PATH"};
}

}  // namespace smwave::jobs

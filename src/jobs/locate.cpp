#include "jobs/locate.hpp"

#include <string>

#include "companion/program_search.hpp"

namespace smwave::jobs {

namespace fs = std::filesystem;

std::optional<fs::path> find_program(std::string_view name) {
    std::error_code error;
    const fs::path self = fs::read_symlink("/proc/self/exe", error);
    if (!error && companion::is_executable_file(self.parent_path() / name)) return self.parent_path() / name;
    return companion::find_on_path(name);
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

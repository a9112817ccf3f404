#include "support/tool_run.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <charconv>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace smwave::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "smwave-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

std::string read_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void write_file(const fs::path& file, std::string_view content) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

ToolResult run_tool(const fs::path& dir, std::string_view answers, RunOptions options) {
    TempDir io;
    write_file(io / "in", answers);
    const std::string in = (io / "in").string(), out = (io / "out").string(), err = (io / "err").string();
    const pid_t child = ::fork();
    if (child == 0) {
        const int in_fd = ::open(in.c_str(), O_RDONLY);
        const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0 || ::dup2(in_fd, 0) < 0 || ::dup2(out_fd, 1) < 0 ||
            ::dup2(err_fd, 2) < 0 || ::chdir(dir.c_str()) != 0) {
            ::_exit(127);
        }
        constexpr uid_t nobody = 65534;
        if (options.unprivileged && ::getuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) {
            ::_exit(127);
        }
        ::execl(SMWAVE_EXE, "smwave", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int wait_status = 0;
    ::waitpid(child, &wait_status, 0);
    ToolResult result;
    result.out = read_file(out);
    result.err = read_file(err);
    if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) result.signal = WTERMSIG(wait_status);
    return result;
}

std::string make_table(int rows, double dt, const std::function<double(int, int)>& value) {
    std::string table = "STN EW NS UD\nunits: gal\n";
    char number[64];
    for (int row = 1; row <= rows; ++row) {
        auto end =
            std::to_chars(number, number + sizeof number, (row - 1) * dt, std::chars_format::fixed, 6).ptr;
        table.append(number, end);
        for (int column = 1; column <= 42; ++column) {
            table += ' ';
            end = std::to_chars(number, number + sizeof number, value(row, column)).ptr;
            table.append(number, end);
        }
        table += '\n';
    }
    return table;
}

}  // namespace smwave::testing

#include "support/tool_run.hpp"

#include <fcntl.h>
#include <grp.h>
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

namespace {

constexpr uid_t nobody = 65534;

// Gives up root for good: no supplementary groups, then the unprivileged group and user.
bool drop_privileges() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
}

// A copy of the tool in `dir` that every user can reach and execute.
std::string reachable_copy_of_tool(const TempDir& dir) {
    constexpr auto everyone_runs = fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                   fs::perms::others_read | fs::perms::others_exec;
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const fs::path copy = dir / "smwave";
    fs::copy_file(SMWAVE_EXE, copy);
    fs::permissions(copy, everyone_runs);
    return copy.string();
}

}  // namespace

std::string unprivileged_run_unavailable() {
    if (::getuid() != 0) return "";
    static const std::string why = [] {
        TempDir dir;
        const std::string tool = reachable_copy_of_tool(dir);
        const pid_t child = ::fork();
        if (child == 0) {
            if (!drop_privileges()) ::_exit(1);
            ::_exit(::access(tool.c_str(), X_OK) == 0 ? 0 : 2);
        }
        int wait_status = 0;
        ::waitpid(child, &wait_status, 0);
        if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0) return std::string();
        if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 1) {
            return std::string("running as root, and the switch to the unprivileged user 65534 is refused");
        }
        return "the unprivileged user 65534 cannot execute a copy of the tool in the temporary folder " +
               fs::temp_directory_path().string();
    }();
    return why;
}

ToolResult run_program(const fs::path& dir, const std::string& program, std::vector<std::string> words,
                       std::string_view input, bool unprivileged) {
    TempDir io;
    write_file(io / "in", input);
    const std::string in = (io / "in").string(), out = (io / "out").string(), err = (io / "err").string();
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const pid_t child = ::fork();
    if (child == 0) {
        const int in_fd = ::open(in.c_str(), O_RDONLY);
        const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0 || ::dup2(in_fd, 0) < 0 || ::dup2(out_fd, 1) < 0 ||
            ::dup2(err_fd, 2) < 0 || ::chdir(dir.c_str()) != 0) {
            ::_exit(127);
        }
        if (unprivileged && !drop_privileges()) ::_exit(127);
        ::execv(program.c_str(), argv.data());
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

ToolResult run_tool(const fs::path& dir, std::string_view answers, RunOptions options,
                    std::vector<std::string> arguments) {
    const bool drop = options.unprivileged && ::getuid() == 0;
    TempDir copy_folder;
    const std::string tool = drop ? reachable_copy_of_tool(copy_folder) : std::string(SMWAVE_EXE);
    arguments.insert(arguments.begin(), "smwave");
    return run_program(dir, tool, std::move(arguments), answers, drop);
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

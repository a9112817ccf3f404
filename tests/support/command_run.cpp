#include "support/command_run.hpp"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

namespace smwave::testing {

ToolResult run_command(const std::filesystem::path& dir, const std::string& program,
                       const std::vector<std::string>& arguments, std::string_view input) {
    TempDir io;
    write_file(io / "in", input);
    const std::string in = (io / "in").string(), out = (io / "out").string(), err = (io / "err").string();
    std::vector<char*> argv;
    std::vector<std::string> words{program};
    words.insert(words.end(), arguments.begin(), arguments.end());
    for (auto& word : words) argv.push_back(word.data());
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

}  // namespace smwave::testing

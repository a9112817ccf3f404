#include "batch/process.hpp"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace smwave::batch {

using companion::Problem;

namespace {

int open_or_null(const std::filesystem::path& file, int flags) {
    return ::open(file.empty() ? "/dev/null" : file.c_str(), flags | O_CLOEXEC, 0644);
}

void close_all(const int (&descriptors)[3]) {
    for (const int descriptor : descriptors) {
        if (descriptor >= 0) ::close(descriptor);
    }
}

}  // namespace

companion::Result<pid_t> start_process(const Launch& launch, const sigset_t& child_mask) {
    const int descriptors[3] = {
        open_or_null(launch.input, O_RDONLY),
        open_or_null(launch.output, O_WRONLY | O_CREAT | O_TRUNC),
        open_or_null(launch.errors, O_WRONLY | O_CREAT | (launch.append_errors ? O_APPEND : O_TRUNC)),
    };
    for (int at = 0; at < 3; ++at) {
        if (descriptors[at] < 0) {
            const int error = errno;
            close_all(descriptors);
            const std::filesystem::path& file = at == 0   ? launch.input
                                                : at == 1 ? launch.output
                                                          : launch.errors;
            return Problem{file.string(), 0, std::string("cannot open: ") + std::strerror(error)};
        }
    }
    // Everything the child needs is made before the fork: after it, the child only calls functions
    // that are safe between fork and exec.
    std::vector<char*> argv;
    std::string program = launch.program.string();
    argv.push_back(program.data());
    std::vector<std::string> words = launch.arguments;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string folder = launch.folder.string();
    const std::string cannot_run = "smwave-batch: cannot run " + program + ": ";

    // The batch's handlers only note SIGINT and SIGTERM: the child takes them the default way from the
    // fork on, and one arriving meanwhile waits blocked until then.
    sigset_t interrupts, before;
    sigemptyset(&interrupts);
    sigaddset(&interrupts, SIGINT);
    sigaddset(&interrupts, SIGTERM);
    ::sigprocmask(SIG_BLOCK, &interrupts, &before);
    const pid_t child = ::fork();
    if (child == 0) {
        ::signal(SIGINT, SIG_DFL);
        ::signal(SIGTERM, SIG_DFL);
        for (int at = 0; at < 3; ++at) {
            if (::dup2(descriptors[at], at) < 0) ::_exit(127);
        }
        ::sigprocmask(SIG_SETMASK, &child_mask, nullptr);
        if (::chdir(folder.c_str()) == 0) ::execv(program.c_str(), argv.data());
        const char* reason = std::strerror(errno);
        [[maybe_unused]] auto written = ::write(2, cannot_run.data(), cannot_run.size());
        written = ::write(2, reason, std::strlen(reason));
        written = ::write(2, "\n", 1);
        ::_exit(127);
    }
    const int error = errno;
    ::sigprocmask(SIG_SETMASK, &before, nullptr);
    close_all(descriptors);
    if (child < 0) return Problem{program, 0, std::string("cannot start a process: ") + std::strerror(error)};
    return child;
}

}  // namespace smwave::batch

#include "plot/gnuplot_run.hpp"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#ifdef __linux__
#include <sys/prctl.h>
#endif

#include <cerrno>
#include <cstdlib>
#include <cstring>

#include "companion/messages.hpp"
#include "companion/program_search.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;
using companion::Problem;

namespace {

// The three pipes to a child process; an end is -1 once closed.
struct Pipes {
    int input[2] = {-1, -1};
    int output[2] = {-1, -1};
    int errors[2] = {-1, -1};

    bool open() {
        return ::pipe2(input, O_CLOEXEC) == 0 && ::pipe2(output, O_CLOEXEC) == 0 &&
               ::pipe2(errors, O_CLOEXEC) == 0;
    }
    ~Pipes() {
        for (int* pair : {input, output, errors}) {
            for (int i = 0; i < 2; ++i) close_end(pair[i]);
        }
    }
    static void close_end(int& end) {
        if (end >= 0) ::close(end);
        end = -1;
    }
};

[[noreturn]] void become_gnuplot(const fs::path& gnuplot, const fs::path& folder, Pipes& pipes) {
#ifdef __linux__
    ::prctl(PR_SET_PDEATHSIG, SIGKILL);
#endif
    ::signal(SIGPIPE, SIG_DFL);
    ::signal(SIGINT, SIG_DFL);
    ::signal(SIGTERM, SIG_DFL);
    if (::dup2(pipes.input[0], STDIN_FILENO) < 0 || ::dup2(pipes.output[1], STDOUT_FILENO) < 0 ||
        ::dup2(pipes.errors[1], STDERR_FILENO) < 0 || ::chdir(folder.c_str()) != 0) {
        ::_exit(127);
    }
    ::execl(gnuplot.c_str(), "gnuplot", "-e", "figure='-'", "/dev/stdin", static_cast<char*>(nullptr));
    ::_exit(127);
}

// Feeds the script, collects the figure and the messages until gnuplot closes its outputs; false when
// the pipes cannot be watched.
bool exchange(Pipes& pipes, std::string_view script, companion::OutputFile& figure, std::string& messages) {
    ::fcntl(pipes.input[1], F_SETFL, O_NONBLOCK);
    std::size_t fed = 0;
    if (script.empty()) Pipes::close_end(pipes.input[1]);
    char block[65536];
    while (pipes.output[0] >= 0 || pipes.errors[0] >= 0) {
        pollfd watched[3];
        nfds_t count = 0;
        for (int end : {pipes.output[0], pipes.errors[0]}) {
            if (end >= 0) watched[count++] = {end, POLLIN, 0};
        }
        if (pipes.input[1] >= 0) watched[count++] = {pipes.input[1], POLLOUT, 0};
        if (::poll(watched, count, -1) < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        for (nfds_t i = 0; i < count; ++i) {
            if (watched[i].revents == 0) continue;
            const int end = watched[i].fd;
            if (end == pipes.input[1]) {
                const ssize_t written = ::write(end, script.data() + fed, script.size() - fed);
                if (written > 0) fed += static_cast<std::size_t>(written);
                if ((written < 0 && errno != EAGAIN && errno != EINTR) || fed == script.size()) {
                    Pipes::close_end(pipes.input[1]);
                }
                continue;
            }
            const ssize_t got = ::read(end, block, sizeof block);
            if (got < 0 && (errno == EINTR || errno == EAGAIN)) continue;
            if (got <= 0) {
                Pipes::close_end(end == pipes.output[0] ? pipes.output[0] : pipes.errors[0]);
            } else if (end == pipes.output[0]) {
                figure.write(std::string_view(block, static_cast<std::size_t>(got)));
            } else {
                messages.append(block, static_cast<std::size_t>(got));
            }
        }
    }
    return true;
}

// gnuplot's messages with the script's own name instead of the pipe it was read from, blank lines
// and the caret lines that point into the echoed command left out.
std::string tidy(const std::string& messages, const std::string& script_name) {
    std::string result;
    std::size_t at = 0;
    while (at < messages.size()) {
        const std::size_t end = messages.find('\n', at);
        std::string line = messages.substr(at, end == std::string::npos ? std::string::npos : end - at);
        at = end == std::string::npos ? messages.size() : end + 1;
        const std::size_t pipe_name = line.find("\"/dev/stdin\"");
        if (pipe_name != std::string::npos) line.replace(pipe_name, 12, script_name);
        if (line.find_first_not_of(" \t^") == std::string::npos) continue;
        result += (result.empty() ? "" : "\n") + line;
    }
    return result;
}

}  // namespace

companion::Result<fs::path> find_gnuplot() {
    if (auto found = companion::find_on_path("gnuplot")) return *found;
    return Problem{"", 0,
                   "gnuplot was not found on PATH: install the package gnuplot-nox (Debian, Ubuntu) or "
                   "gnuplot (other systems)"};
}

companion::Status render_figure(const fs::path& gnuplot, const fs::path& folder, const std::string& script,
                                const std::string& script_name, companion::OutputFile& figure) {
    Pipes pipes;
    if (!pipes.open()) return Problem{"", 0, std::string("cannot start gnuplot: ") + std::strerror(errno)};
    const pid_t child = ::fork();
    if (child < 0) return Problem{"", 0, std::string("cannot start gnuplot: ") + std::strerror(errno)};
    if (child == 0) become_gnuplot(gnuplot, folder.empty() ? fs::path(".") : folder, pipes);
    Pipes::close_end(pipes.input[0]);
    Pipes::close_end(pipes.output[1]);
    Pipes::close_end(pipes.errors[1]);
    std::string messages;
    if (!exchange(pipes, script, figure, messages)) {
        messages += std::string("smwave-plot lost gnuplot's output: ") + std::strerror(errno);
        ::kill(child, SIGKILL);
    }
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    const std::string said = tidy(messages, script_name);
    const bool done = WIFEXITED(status) && WEXITSTATUS(status) == 0;
    if (done) {
        if (!said.empty()) companion::warn("gnuplot on " + script_name + ": " + said);
        return std::nullopt;
    }
    if (WIFEXITED(status) && WEXITSTATUS(status) == 127) {
        return Problem{gnuplot.string(), 0, "cannot be run"};
    }
    return Problem{script_name, 0, "gnuplot failed" + (said.empty() ? std::string() : ":\n" + said)};
}

}  // namespace smwave::plot

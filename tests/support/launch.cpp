#include "support/launch.hpp"

#include <fcntl.h>
#include <grp.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <thread>

namespace smwave::testing {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "smwave-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    for (auto it = fs::recursive_directory_iterator(path_, ignored); it != fs::recursive_directory_iterator();
         it.increment(ignored)) {
        if (it->is_directory(ignored) && !it->is_symlink(ignored))
            fs::permissions(it->path(), fs::perms::owner_all, fs::perm_options::add, ignored);
    }
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

namespace {

constexpr uid_t nobody = 65534;

std::string whole_file(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

bool running_as_root() { return ::getuid() == 0; }

// Gives up root for good: no supplementary groups, then the unprivileged group and user.
bool drop_privileges() {
    return ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
}

// A copy of `program` in `folder` that every user can reach and execute.
std::string reachable_copy(const fs::path& program, const fs::path& folder) {
    fs::permissions(folder, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec);
    const fs::path copy = folder / program.filename();
    fs::copy_file(program, copy, fs::copy_options::overwrite_existing);
    fs::permissions(copy, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                              fs::perms::others_read | fs::perms::others_exec);
    return copy.string();
}

}  // namespace

std::string unprivileged_run_unavailable() {
    if (!running_as_root()) return "";
    static const std::string why = [] {
        TempDir dir;
        const std::string copy = reachable_copy("/bin/true", dir.path());
        const pid_t child = ::fork();
        if (child == 0) {
            if (!drop_privileges()) ::_exit(1);
            ::_exit(::access(copy.c_str(), X_OK) == 0 ? 0 : 2);
        }
        int wait_status = 0;
        ::waitpid(child, &wait_status, 0);
        if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0) return std::string();
        if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 1)
            return std::string("running as root, and the switch to the unprivileged user 65534 is refused");
        return "the unprivileged user 65534 cannot execute a program in the temporary folder " +
               fs::temp_directory_path().string();
    }();
    return why;
}

Started::Started(const fs::path& dir, Launch launch) {
    const bool drop = launch.unprivileged && running_as_root();
    const std::string program = drop ? reachable_copy(launch.program, io_.path()) : launch.program;
    if (drop) {
        for (const std::string& companion : launch.beside) reachable_copy(companion, io_.path());
    }
    std::vector<std::string> words{launch.name.empty() ? fs::path(launch.program).filename().string()
                                                       : launch.name};
    words.insert(words.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (std::string& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);

    const std::string in = (io_ / "in").string(), out = (io_ / "out").string(), err = (io_ / "err").string();
    {
        std::ofstream file(in, std::ios::binary);
        if (!launch.hold_input) file << launch.input;
    }
    int pipe_ends[2] = {-1, -1};
    if (launch.hold_input && ::pipe(pipe_ends) != 0) throw std::runtime_error("pipe failed");
    pid_ = ::fork();
    if (pid_ < 0) throw std::runtime_error("fork failed");
    if (pid_ == 0) {
        const int in_fd = launch.hold_input ? pipe_ends[0] : ::open(in.c_str(), O_RDONLY);
        const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (launch.hold_input) ::close(pipe_ends[1]);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0 || ::dup2(in_fd, 0) < 0 || ::dup2(out_fd, 1) < 0 ||
            ::dup2(err_fd, 2) < 0 || ::chdir(dir.c_str()) != 0 || (drop && !drop_privileges())) {
            ::_exit(127);
        }
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    if (launch.hold_input) {
        ::close(pipe_ends[0]);
        input_ = pipe_ends[1];
        // A program that ends before reading everything must not end the test with SIGPIPE.
        ::signal(SIGPIPE, SIG_IGN);
        if (!launch.input.empty() && ::write(input_, launch.input.data(), launch.input.size()) < 0) {
            // The program has ended already; wait() tells how.
        }
    }
}

Started::~Started() {
    if (input_ >= 0) ::close(input_);
    if (pid_ > 0) {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
}

void Started::signal(int signal_number) const { ::kill(pid_, signal_number); }

std::string Started::out_so_far() const { return whole_file(io_ / "out"); }

bool Started::wait_for_output(std::string_view text) const {
    for (int tries = 0; tries < 6000; ++tries) {
        const std::string out = out_so_far();
        if (out.size() >= text.size() && out.compare(out.size() - text.size(), text.size(), text) == 0)
            return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

ToolResult Started::wait(std::chrono::milliseconds limit) {
    if (pid_ < 0) return {};
    int wait_status = 0;
    if (limit.count() == 0) {
        ::waitpid(pid_, &wait_status, 0);
    } else {
        const auto deadline = std::chrono::steady_clock::now() + limit;
        auto pause = std::chrono::microseconds(50);
        while (::waitpid(pid_, &wait_status, WNOHANG) == 0) {
            if (std::chrono::steady_clock::now() > deadline) {
                ::kill(pid_, SIGKILL);
                ::waitpid(pid_, &wait_status, 0);
                break;
            }
            std::this_thread::sleep_for(pause);
            pause = std::min(pause * 2, std::chrono::microseconds(20000));
        }
    }
    pid_ = -1;
    ToolResult result;
    result.out = whole_file(io_ / "out");
    result.err = whole_file(io_ / "err");
    if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) result.signal = WTERMSIG(wait_status);
    return result;
}

ToolResult launch(const fs::path& dir, Launch launch) { return Started(dir, std::move(launch)).wait(); }

}  // namespace smwave::testing

#include "batch_run.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "companion/suite_file.hpp"

namespace smwave::batch::testing {

namespace fs = std::filesystem;
using smwave::testing::make_table;
using smwave::testing::read_file;
using smwave::testing::write_file;

BatchRun::BatchRun(const fs::path& dir, const std::vector<std::string>& arguments, bool unprivileged) {
    std::vector<std::string> words{SMWAVE_BATCH_EXE};
    words.insert(words.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& word : words) argv.push_back(word.data());
    argv.push_back(nullptr);
    const std::string out = (io_ / "out").string(), err = (io_ / "err").string();
    fs::permissions(io_.path(), fs::perms::all);
    pid_ = ::fork();
    if (pid_ == 0) {
        const int in_fd = ::open("/dev/null", O_RDONLY);
        const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0666);
        if (in_fd < 0 || out_fd < 0 || err_fd < 0 || ::dup2(in_fd, 0) < 0 || ::dup2(out_fd, 1) < 0 ||
            ::dup2(err_fd, 2) < 0 || ::chdir(dir.c_str()) != 0) {
            ::_exit(127);
        }
        constexpr uid_t nobody = 65534;
        if (unprivileged && ::getuid() == 0 && (::setgid(nobody) != 0 || ::setuid(nobody) != 0)) ::_exit(127);
        ::execv(argv[0], argv.data());
        ::_exit(127);
    }
}

BatchRun::~BatchRun() {
    if (pid_ > 0) wait();
}

void BatchRun::signal(int signal_number) const { ::kill(pid_, signal_number); }

ToolResult BatchRun::wait() {
    int wait_status = 0;
    ::waitpid(pid_, &wait_status, 0);
    pid_ = -1;
    ToolResult result;
    result.out = read_file(io_ / "out");
    result.err = read_file(io_ / "err");
    if (WIFEXITED(wait_status)) result.status = WEXITSTATUS(wait_status);
    if (WIFSIGNALED(wait_status)) result.signal = WTERMSIG(wait_status);
    return result;
}

ToolResult run_batch(const fs::path& dir, const std::vector<std::string>& arguments) {
    return BatchRun(dir, arguments).wait();
}

std::vector<Row> summary_rows(const fs::path& file) {
    std::size_t columns = 0;
    auto rows = read_summary(file, columns);
    if (!rows) throw std::runtime_error(companion::describe(rows.problem()));
    return *rows;
}

bool wait_for_file(const fs::path& file) {
    for (int tries = 0; tries < 1000; ++tries) {
        if (fs::exists(file)) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

std::string impulse_table() {
    return make_table(200, 0.01, [](int row, int column) { return row == 51 && column == 38 ? 5.0 : 0.0; });
}

std::string flat_table() {
    return make_table(2, 0.0, [](int, int) { return 1.0; });
}

std::string bad_number_table() { return "STN EW NS UD\nunits\n0 abc\n"; }

std::string table_saying(const std::string& word) { return word + " EW NS UD\n"; }

fs::path stand_in_smwave(const fs::path& dir) {
    const fs::path script = dir / "stand-in-smwave";
    write_file(script,
               "#!/bin/sh\n"
               "read word rest < table\n"
               "case \"$word\" in\n"
               "  sleep) exec sleep 30 ;;\n"
               "  segv) kill -SEGV $$ ;;\n"
               "  big) echo ' NT>2**17 !!!!!'; exit 0 ;;\n"
               "  quiet) exit 0 ;;\n"
               "esac\n"
               "[ -e '" +
                   (dir / "slow").string() +
                   "' ] && exec sleep 30\n"
                   "exec '" SMWAVE_EXE "'\n");
    fs::permissions(script, fs::perms::owner_all | fs::perms::group_exec | fs::perms::others_exec |
                                fs::perms::group_read | fs::perms::others_read);
    return script;
}

}  // namespace smwave::batch::testing

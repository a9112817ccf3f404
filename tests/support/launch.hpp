#pragma once
// The one way the tests start a program of the suite: in a folder, with its standard input given,
// its standard output and error collected, and, when the tests run as root, optionally as the
// unprivileged user 65534 (so that file permissions hold) from a copy that user can reach wherever
// the checkout lies.
//
//     const ToolResult r = launch(dir.path(), {.program = SMWAVE_EXE, .input = "t.txt\n0\n"});
//
//     Started tool(dir.path(), {.program = SMWAVE_TABLE_EXE, .arguments = {"big.txt"}});
//     tool.signal(SIGINT);
//     const ToolResult ended = tool.wait();
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace smwave::testing {

// A fresh folder under the system's temporary folder, removed with everything in it at destruction.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::filesystem::path operator/(std::string_view name) const { return path_ / name; }

  private:
    std::filesystem::path path_;
};

struct ToolResult {
    std::string out;  // standard output
    std::string err;  // standard error
    int status = -1;  // exit status, or -1 when ended by a signal
    int signal = 0;   // the ending signal, or 0
};

struct Launch {
    std::string program{};                 // the executable's path
    std::vector<std::string> arguments{};  // the words after the program's name
    std::string input{};                   // standard input, given whole
    // Standard input stays open after `input` (a pipe the test holds until the Started ends), so
    // that the program waits at its next read until the test signals it.
    bool hold_input = false;
    // Run as the unprivileged user when the tests run as root, from a copy of the program in a
    // temporary folder that user can reach (the build folder may lie in a folder only root enters).
    bool unprivileged = false;
    // Programs that `program` finds beside itself, copied with it for an unprivileged run.
    std::vector<std::string> beside{};
    std::string name{};  // the program's name as it sees it (argv[0]); its file name when empty
};

// Why unprivileged launches cannot work here (tests then skip, giving the reason), or "" when they can:
// the tests run as an ordinary user, or as root able to switch to user 65534, who can then execute a
// copy of a program in the temporary folder.
std::string unprivileged_run_unavailable();

// A program started in the background; killed and waited for at destruction unless waited for.
class Started {
  public:
    Started(const std::filesystem::path& dir, Launch launch);
    ~Started();
    Started(const Started&) = delete;
    Started& operator=(const Started&) = delete;

    pid_t pid() const { return pid_; }
    void signal(int signal_number) const;
    // What the program has written to standard output so far.
    std::string out_so_far() const;
    // Waits until standard output ends with `text`: true, or false after a minute.
    bool wait_for_output(std::string_view text) const;
    // Waits for the end and gives what the program printed; with a
    // `limit`, a program still running then is killed (the result shows SIGKILL).
    ToolResult wait(std::chrono::milliseconds limit = {});

  private:
    TempDir io_;  // standard input, output and error, and the reachable copy of the program
    pid_t pid_ = -1;
    int input_ = -1;
};

// Starts `launch` in `dir` and waits for its end.
ToolResult launch(const std::filesystem::path& dir, Launch launch);

}  // namespace smwave::testing

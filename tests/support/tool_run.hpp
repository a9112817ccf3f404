#pragma once
// Runs the real smwave executable in a folder with scripted console answers, and the files around it.
#include <filesystem>
#include <functional>
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

struct RunOptions {
    // Run as an unprivileged user when the tests run as root, so that file permissions hold. The run
    // then uses a copy of the tool in a temporary folder: that user may not reach the build folder.
    bool unprivileged = false;
};

// Why runs with RunOptions::unprivileged cannot work here (tests then skip, giving the reason), or ""
// when they can: the tests run as an ordinary user, or as root able to switch to the unprivileged
// user, who can then reach and execute a copy of the tool in the temporary folder.
std::string unprivileged_run_unavailable();

// Runs `program` in `dir` with `words` as its argument list (its name first) and `input` as its
// standard input, as the unprivileged user when `unprivileged` (the program must then be reachable by
// that user), and waits for it to end.
ToolResult run_program(const std::filesystem::path& dir, const std::string& program,
                       std::vector<std::string> words, std::string_view input, bool unprivileged = false);

// Runs smwave in `dir` with `answers` as its standard input and `arguments` after its name, and waits
// for it to end.
ToolResult run_tool(const std::filesystem::path& dir, std::string_view answers, RunOptions options = {},
                    std::vector<std::string> arguments = {});

std::string read_file(const std::filesystem::path& file);
void write_file(const std::filesystem::path& file, std::string_view content);

// A waveform table: a header line "STN EW NS UD", one more line, then `rows` rows of a time and 42
// channel values, blank separated; value(row, column) gives column 1..42 of row 1..rows.
std::string make_table(int rows, double dt, const std::function<double(int, int)>& value);

}  // namespace smwave::testing

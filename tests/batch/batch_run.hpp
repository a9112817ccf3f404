#pragma once
// Runs smwave-batch in a folder, waiting for it or letting it run while a test signals it, and builds
// the tables and the stand-in smwave the batch tests run.
#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

#include "batch/summary.hpp"
#include "support/tool_run.hpp"

namespace smwave::batch::testing {

using smwave::testing::TempDir;
using smwave::testing::ToolResult;

// smwave-batch started in `dir` with `arguments`, its output kept; waited for by wait() or at the end.
class BatchRun {
  public:
    BatchRun(const std::filesystem::path& dir, const std::vector<std::string>& arguments,
             bool unprivileged = false);
    ~BatchRun();
    BatchRun(const BatchRun&) = delete;
    BatchRun& operator=(const BatchRun&) = delete;
    void signal(int signal_number) const { started_.signal(signal_number); }
    ToolResult wait();

  private:
    smwave::testing::Started started_;
    bool waited_ = false;
};

// Runs smwave-batch to its end.
ToolResult run_batch(const std::filesystem::path& dir, const std::vector<std::string>& arguments);

// The rows of a summary file (the header checked).
std::vector<Row> summary_rows(const std::filesystem::path& file);

// Waits until `file` exists (true), or gives up after ten seconds.
bool wait_for_file(const std::filesystem::path& file);

// Tables: an impulse of 5 in component 1 at 0.5 s (200 rows at 0.01 s), two rows with one time (smwave
// refuses it), a row with a word where a number belongs (smwave's fatal report), and a table whose
// header word asks the stand-in smwave to behave in some way.
std::string impulse_table();
std::string flat_table();
std::string bad_number_table();
std::string table_saying(const std::string& word);

// A stand-in smwave in `dir`: runs the real one, except for tables whose header starts with "sleep"
// (it sleeps, as it does for every table while `dir`/slow exists), "segv" (it ends by SIGSEGV), "big"
// (it stops at once as for more than 131072 rows) or "quiet" (it ends with status 0 writing nothing).
std::filesystem::path stand_in_smwave(const std::filesystem::path& dir);

// Answers with no sign change, filter, integration, window or skip, writing "wave.csv".
inline constexpr const char* plain_answers = "input\n0\n0\n0\n0\n0\nwave.csv\n\n";

}  // namespace smwave::batch::testing

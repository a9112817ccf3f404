#include "batch_run.hpp"

#include <sys/stat.h>

#include <chrono>
#include <thread>

#include "companion/suite_file.hpp"

namespace smwave::batch::testing {

namespace fs = std::filesystem;
using smwave::testing::make_table;
using smwave::testing::read_file;
using smwave::testing::write_file;

BatchRun::BatchRun(const fs::path& dir, const std::vector<std::string>& arguments, bool unprivileged)
    : started_(dir, {.program = SMWAVE_BATCH_EXE,
                     .arguments = arguments,
                     .unprivileged = unprivileged,
                     .beside = {SMWAVE_EXE},
                     .name = SMWAVE_BATCH_EXE}) {}

// A batch is always waited for: its records' runs are its children.
BatchRun::~BatchRun() {
    if (!waited_) wait();
}

ToolResult BatchRun::wait() {
    waited_ = true;
    return started_.wait();
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

#include "batch/progress.hpp"

#include <cstdio>
#include <string>

namespace smwave::batch {

void Tally::count(const Row& row) {
    const std::string& status = row[status_column];
    if (status == "ok")
        ++ok;
    else if (status == "refused")
        ++refused;
    else if (status == "failed")
        ++failed;
    else if (status == "killed")
        ++killed;
    else
        ++interrupted;
}

Progress::Progress(std::size_t total, bool on_terminal)
    : total_(total), line_("smwave-batch", total, on_terminal) {}

void Progress::finished(const Row& row, bool kept) {
    std::string line = row[name_column] + ": " + row[status_column];
    if (kept) line += " (kept from an earlier run)";
    if (row[status_column] != "ok" && !row[exit_status_column].empty())
        line += " (" + row[exit_status_column] + ")";
    if (row[status_column] != "ok" && !row[message_column].empty()) line += ": " + row[message_column];
    line_.finished(row[status_column] == "ok", line);
}

void Progress::end(const Tally& tally) {
    line_.clear();
    const std::string text =
        "smwave-batch: " + std::to_string(total_) + " records: " + std::to_string(tally.ok) + " ok, " +
        std::to_string(tally.refused) + " refused, " + std::to_string(tally.failed) + " failed, " +
        std::to_string(tally.killed) + " killed, " + std::to_string(tally.interrupted) + " interrupted\n";
    std::fwrite(text.data(), 1, text.size(), stderr);
}

}  // namespace smwave::batch

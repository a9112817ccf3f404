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

namespace {

void write_error(const std::string& text) { std::fwrite(text.data(), 1, text.size(), stderr); }

std::string clock_text(double seconds) {
    const long whole = static_cast<long>(seconds + 0.5);
    char text[32];
    if (whole >= 3600) {
        std::snprintf(text, sizeof text, "%ld:%02ld:%02ld", whole / 3600, whole / 60 % 60, whole % 60);
    } else {
        std::snprintf(text, sizeof text, "%ld:%02ld", whole / 60, whole % 60);
    }
    return text;
}

}  // namespace

Progress::Progress(std::size_t total, bool on_terminal) : total_(total), on_terminal_(on_terminal) {
    if (on_terminal_) draw();
}

void Progress::finished(const Row& row, bool kept) {
    ++done_;
    if (row[status_column] != "ok") ++failed_;
    if (on_terminal_) {
        draw();
        return;
    }
    std::string line = "smwave-batch: " + std::to_string(done_) + "/" + std::to_string(total_) + " " +
                       row[name_column] + ": " + row[status_column];
    if (kept) line += " (kept from an earlier run)";
    if (row[status_column] != "ok" && !row[exit_status_column].empty())
        line += " (" + row[exit_status_column] + ")";
    if (row[status_column] != "ok" && !row[message_column].empty()) line += ": " + row[message_column];
    write_error(line + "\n");
}

void Progress::tick() {
    if (on_terminal_) draw();
}

void Progress::draw() {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    std::string line = "\r\033[Ksmwave-batch: " + std::to_string(done_) + "/" + std::to_string(total_) +
                       " records, " + std::to_string(failed_) + " not ok, " + clock_text(elapsed) +
                       " elapsed";
    if (done_ > 0 && done_ < total_) {
        line += ", about " +
                clock_text(elapsed / static_cast<double>(done_) * static_cast<double>(total_ - done_)) +
                " left";
    }
    write_error(line);
}

void Progress::end(const Tally& tally) {
    if (on_terminal_) write_error("\r\033[K");
    write_error("smwave-batch: " + std::to_string(total_) + " records: " + std::to_string(tally.ok) +
                " ok, " + std::to_string(tally.refused) + " refused, " + std::to_string(tally.failed) +
                " failed, " + std::to_string(tally.killed) + " killed, " + std::to_string(tally.interrupted) +
                " interrupted\n");
}

}  // namespace smwave::batch

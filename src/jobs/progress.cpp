#include "jobs/progress.hpp"

#include <cstdio>
#include <utility>

namespace smwave::jobs {

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

Progress::Progress(std::string tool, std::size_t total, bool on_terminal)
    : tool_(std::move(tool)), total_(total), on_terminal_(on_terminal) {
    if (on_terminal_) draw();
}

void Progress::finished(bool ok, const std::string& what) {
    ++done_;
    if (!ok) ++not_ok_;
    if (on_terminal_) {
        draw();
        return;
    }
    write_error(tool_ + ": " + std::to_string(done_) + "/" + std::to_string(total_) + " " + what + "\n");
}

void Progress::tick() {
    if (on_terminal_) draw();
}

void Progress::clear() {
    if (on_terminal_) write_error("\r\033[K");
}

void Progress::draw() {
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    std::string line = "\r\033[K" + tool_ + ": " + std::to_string(done_) + "/" + std::to_string(total_) +
                       " records, " + std::to_string(not_ok_) + " not ok, " + clock_text(elapsed) +
                       " elapsed";
    if (done_ > 0 && done_ < total_) {
        line += ", about " +
                clock_text(elapsed / static_cast<double>(done_) * static_cast<double>(total_ - done_)) +
                " left";
    }
    write_error(line);
}

}  // namespace smwave::jobs

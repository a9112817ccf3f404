#pragma once
// A run's progress over its records on standard error: on a terminal one line redrawn in place
// (records done of all, not ok so far, elapsed time, estimated time left); otherwise one plain line
// per finished record.
#include <chrono>
#include <cstddef>
#include <string>

namespace smwave::jobs {

class Progress {
  public:
    // `tool` starts every line ("smwave-batch").
    Progress(std::string tool, std::size_t total, bool on_terminal);
    // A record has finished: on a terminal the line is redrawn, elsewhere "TOOL: DONE/TOTAL `what`"
    // is written.
    void finished(bool ok, const std::string& what);
    // Redraws the line on a terminal (the clock moves on); does nothing elsewhere.
    void tick();
    // Clears the line on a terminal, before the run's last words.
    void clear();

  private:
    void draw();

    std::string tool_;
    std::size_t total_;
    bool on_terminal_;
    std::size_t done_ = 0;
    std::size_t not_ok_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace smwave::jobs

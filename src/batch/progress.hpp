#pragma once
// The batch's progress on standard error: on a terminal one line redrawn in place (records done of
// all, failed so far, elapsed time, estimated time left); otherwise one plain line per finished record.
#include <chrono>
#include <cstddef>

#include "batch/summary.hpp"

namespace smwave::batch {

// Records of each status.
struct Tally {
    std::size_t ok = 0, refused = 0, failed = 0, killed = 0, interrupted = 0;
    void count(const Row& row);
    std::size_t not_ok() const { return refused + failed + killed + interrupted; }
};

class Progress {
  public:
    Progress(std::size_t total, bool on_terminal);
    // A record has finished (or was kept from an earlier run).
    void finished(const Row& row, bool kept);
    // Redraws the line on a terminal (the clock moves on); does nothing elsewhere.
    void tick();
    // Ends the progress: clears the line, then "smwave-batch: N records: X ok, ..." from `tally`.
    void end(const Tally& tally);

  private:
    void draw();

    std::size_t total_;
    bool on_terminal_;
    std::size_t done_ = 0;
    std::size_t failed_ = 0;
    std::chrono::steady_clock::time_point started_ = std::chrono::steady_clock::now();
};

}  // namespace smwave::batch

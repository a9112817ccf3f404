#pragma once
// The batch's progress on standard error: the jobs library's progress line (on a terminal redrawn in
// place, otherwise one plain line per finished record), with the batch's words for a record.
#include <cstddef>

#include "batch/summary.hpp"
#include "jobs/progress.hpp"

namespace smwave::batch {

// Records of each status.
struct Tally {
    std::size_t ok = 0, refused = 0, failed = 0, killed = 0, interrupted = 0;
    void count(const Row& row);
    std::size_t not_ok() const { return refused + failed + killed + interrupted; }
};

// The batch's words for its records on the shared progress line.
class Progress {
  public:
    Progress(std::size_t total, bool on_terminal);
    // A record has finished (or was kept from an earlier run).
    void finished(const Row& row, bool kept);
    // Redraws the line on a terminal (the clock moves on); does nothing elsewhere.
    void tick() { line_.tick(); }
    // Ends the progress: clears the line, then "smwave-batch: N records: X ok, ..." from `tally`.
    void end(const Tally& tally);

  private:
    std::size_t total_;
    jobs::Progress line_;
};

}  // namespace smwave::batch

#pragma once
// smwave-event: the records of one earthquake's download processed and joined into its flatfile.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "event/record_work.hpp"
#include "jobs/shard.hpp"

namespace smwave::event {

struct EventOptions {
    std::filesystem::path out;
    std::vector<std::string> download;
    std::string origin;  // --origin's text; empty: from --event, else from the records' files
    std::filesystem::path event;  // --event's QuakeML file; empty: none
    ProcessingSettings processing;
    std::size_t jobs = 0;  // 0: one per core
    double timeout_seconds = 0;
    bool resume = false;  // keep the records an earlier run finished
    std::optional<jobs::Shard> shard;  // only the records K, K+N, ...: flatfile-K-of-N.csv
};

// Writes DIR/inputs.csv, processes every record in DIR/<record>/, and writes DIR/flatfile.csv and
// DIR/flatfile-columns.csv; gives 0 when every record is ok, 1 when some is not, 130 after an
// interruption; or the problem of bad usage that stopped it (status 2).
companion::Result<int> run_event(const EventOptions& options);

// Joins the shards' flatfiles of `folder` into its flatfile.csv, rows in the flatfile's order; a
// Problem (status 2) for a missing shard or shards of different counts or columns. The status as for
// run_event.
companion::Result<int> merge_event(const std::filesystem::path& folder);

// The 21 periods of the flatfile by default, in seconds.
std::vector<double> default_periods();

// The 111 periods of the NGA-West2 flatfile's spectra (PGA aside), in seconds: `--periods nga`.
std::vector<double> nga_west2_periods();

}  // namespace smwave::event

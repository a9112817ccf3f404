#pragma once
// A batch: smwave run unchanged on many tables with one set of answers, records in parallel, each in a
// folder of its own, and a summary of them all.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "batch/records.hpp"
#include "companion/problem.hpp"

namespace smwave::batch {

struct BatchOptions {
    std::filesystem::path answers;
    std::filesystem::path out = "smwave-batch";
    std::size_t jobs = 0;  // 0: one per core
    bool plot = false;
    bool response = false;
    bool measures = false;  // with response
    std::optional<Shard> shard;
    double timeout_seconds = 0;  // 0: none
    bool resume = false;
    std::filesystem::path smwave;  // empty: beside smwave-batch or on PATH
    std::vector<std::string> tables;
};

// Runs the batch and writes its summary; gives the exit status: 0 when every record is ok, 1 when some
// record is not, 130 after an interruption. Bad usage is refused (status 2).
companion::Result<int> run_batch(const BatchOptions& options);

// Joins the shard summaries of `folder` into its summary.csv; the status as for run_batch.
companion::Result<int> merge_batch(const std::filesystem::path& folder);

}  // namespace smwave::batch

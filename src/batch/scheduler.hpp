#pragma once
// Runs the records of a batch as separate processes, at most `jobs` at a time, and gives each record's
// summary row in input order whatever the order of completion.
//
// A record runs smwave, then (when asked) smwave-response, smwave-measures and smwave-plot, each in the
// record's folder.
// SIGINT and SIGTERM are only noted: no record starts afterwards, running ones are ended (SIGTERM,
// then SIGKILL after a grace period) and marked interrupted, as are those that never started.
#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

#include "batch/answers.hpp"
#include "batch/progress.hpp"
#include "batch/records.hpp"
#include "batch/summary.hpp"

namespace smwave::batch {

struct SchedulerSetup {
    std::vector<Record> records;
    Answers answers;
    std::filesystem::path out;  // the batch folder, as the user gave it
    std::size_t jobs = 1;
    double timeout_seconds = 0;
    bool resume = false;
    std::filesystem::path smwave;
    std::filesystem::path response;  // empty: no response spectra
    std::filesystem::path measures;  // empty: no measures (set only with response)
    std::filesystem::path plot;      // empty: no figures
};

struct BatchOutcome {
    std::vector<Row> rows;  // one per record, in input order
    std::size_t columns = plain_columns;
    bool interrupted = false;
};

BatchOutcome run_records(const SchedulerSetup& setup, Progress& progress);

}  // namespace smwave::batch

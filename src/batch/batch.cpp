#include "batch/batch.hpp"

#include <unistd.h>

#include <cerrno>

#include "batch/answers.hpp"
#include "batch/progress.hpp"
#include "batch/scheduler.hpp"
#include "batch/summary.hpp"
#include "companion/cores.hpp"
#include "companion/interrupt.hpp"
#include "companion/messages.hpp"
#include "companion/output_file.hpp"
#include "jobs/locate.hpp"

namespace smwave::batch {

namespace fs = std::filesystem;
using companion::Problem;
using companion::Result;

namespace {

Result<fs::path> needed_program(std::string_view name, const char* needed_for) {
    return jobs::find_needed_program(name, "smwave-batch", needed_for);
}

Result<fs::path> smwave_program(const fs::path& given) {
    if (given.empty()) return needed_program("smwave", "to run the records");
    std::error_code error;
    const fs::path absolute = fs::absolute(given, error);
    if (error || !fs::is_regular_file(absolute, error) || ::access(absolute.c_str(), X_OK) != 0) {
        return Problem{given.string(), 0, "is no executable program"};
    }
    return absolute;
}

// Sets `program` to the companion `name` when `wanted`; the problem when it is not found.
companion::Status take_companion(bool wanted, std::string_view name, const char* needed_for,
                                 fs::path& program) {
    if (!wanted) return std::nullopt;
    auto found = needed_program(name, needed_for);
    if (!found) return found.problem();
    program = std::move(*found);
    return std::nullopt;
}

companion::Status make_batch_folder(const fs::path& out) {
    std::error_code error;
    fs::create_directories(out, error);
    if (error || !fs::is_directory(out)) {
        return Problem{out.string(), 0,
                       "cannot make the batch folder: " + (error ? error.message() : "not a folder")};
    }
    if (::access(out.c_str(), W_OK | X_OK) != 0) {
        return Problem{
            out.string(), 0,
            "cannot write in the batch folder: " + std::error_code(errno, std::generic_category()).message()};
    }
    return std::nullopt;
}

companion::Status write_summary(const fs::path& file, const BatchOutcome& outcome) {
    auto out = companion::OutputFile::open(file);
    if (!out) return out.problem();
    out->write(summary_text(outcome.rows, outcome.columns));
    return out->commit();
}

}  // namespace

Result<int> run_batch(const BatchOptions& options) {
    auto answers = read_answers(options.answers);
    if (!answers) return answers.problem();
    auto records = list_records(options.tables);
    if (!records) return records.problem();

    SchedulerSetup setup;
    setup.records = options.shard ? select_shard(*records, *options.shard) : *records;
    setup.answers = std::move(*answers);
    setup.out = options.out;
    setup.jobs = options.jobs > 0 ? options.jobs : companion::usable_cores();
    setup.timeout_seconds = options.timeout_seconds;
    setup.resume = options.resume;
    auto smwave = smwave_program(options.smwave);
    if (!smwave) return smwave.problem();
    setup.smwave = std::move(*smwave);
    if (auto problem = take_companion(options.response, "smwave-response", "by --response", setup.response))
        return *problem;
    if (auto problem = take_companion(options.measures, "smwave-measures", "by --measures", setup.measures))
        return *problem;
    if (auto problem = take_companion(options.plot, "smwave-plot", "by --plot", setup.plot)) return *problem;

    if (auto problem = make_batch_folder(options.out)) return *problem;
    const fs::path summary =
        options.out /
        (options.shard ? summary_file_name(options.shard->number, options.shard->count) : "summary.csv");
    std::vector<fs::path> tables;
    for (const Record& record : *records) tables.push_back(record.table);
    if (auto problem = companion::refuse_overwriting_inputs(summary, tables)) return *problem;

    Progress progress(setup.records.size(), ::isatty(2) == 1);
    const BatchOutcome outcome = run_records(setup, progress);
    if (auto problem = write_summary(summary, outcome)) return *problem;
    Tally tally;
    for (const Row& row : outcome.rows) tally.count(row);
    progress.end(tally);
    if (outcome.interrupted) return companion::interrupted_status;
    return tally.not_ok() == 0 ? 0 : 1;
}

Result<int> merge_batch(const fs::path& folder) {
    std::size_t records = 0, not_ok = 0;
    if (auto problem = merge_shards(folder, records, not_ok)) return *problem;
    companion::warn(std::to_string(records) + " records merged into " + (folder / "summary.csv").string() +
                    ": " + std::to_string(records - not_ok) + " ok, " + std::to_string(not_ok) + " not ok");
    return not_ok == 0 ? 0 : 1;
}

}  // namespace smwave::batch

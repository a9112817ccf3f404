#include "batch/batch.hpp"

#include <unistd.h>

#include <cerrno>

#include "batch/answers.hpp"
#include "jobs/locate.hpp"
#include "batch/progress.hpp"
#include "batch/scheduler.hpp"
#include "batch/summary.hpp"
#include "companion/output_file.hpp"
#include "companion/tool.hpp"

namespace smwave::batch {

namespace fs = std::filesystem;
using companion::Problem;
using companion::refuse;

namespace {

constexpr int interrupted_status = 130;

fs::path program_or_refuse(std::string_view name, const char* needed_for) {
    auto found = jobs::find_needed_program(name, "smwave-batch", needed_for);
    if (!found) refuse(found.problem());
    return *found;
}

fs::path smwave_program(const fs::path& given) {
    if (given.empty()) return program_or_refuse("smwave", "to run the records");
    std::error_code error;
    const fs::path absolute = fs::absolute(given, error);
    if (error || !fs::is_regular_file(absolute, error) || ::access(absolute.c_str(), X_OK) != 0) {
        refuse(Problem{given.string(), 0, "is no executable program"});
    }
    return absolute;
}

std::size_t default_jobs() {
    const long cores = ::sysconf(_SC_NPROCESSORS_ONLN);
    return cores > 0 ? static_cast<std::size_t>(cores) : 1;
}

void make_batch_folder(const fs::path& out) {
    std::error_code error;
    fs::create_directories(out, error);
    if (error || !fs::is_directory(out)) {
        refuse(Problem{out.string(), 0,
                       "cannot make the batch folder: " + (error ? error.message() : "not a folder")});
    }
    if (::access(out.c_str(), W_OK | X_OK) != 0) {
        refuse(Problem{out.string(), 0,
                       "cannot write in the batch folder: " +
                           std::error_code(errno, std::generic_category()).message()});
    }
}

void write_summary(const fs::path& file, const BatchOutcome& outcome) {
    auto out = companion::OutputFile::open(file);
    if (!out) refuse(out.problem());
    out->write(summary_text(outcome.rows, outcome.columns));
    if (auto problem = out->commit()) refuse(*problem);
}

}  // namespace

int run_batch(const BatchOptions& options) {
    auto answers = read_answers(options.answers);
    if (!answers) refuse(answers.problem());
    auto records = list_records(options.tables);
    if (!records) refuse(records.problem());

    SchedulerSetup setup;
    setup.records = options.shard ? select_shard(*records, *options.shard) : *records;
    setup.answers = std::move(*answers);
    setup.out = options.out;
    setup.jobs = options.jobs > 0 ? options.jobs : default_jobs();
    setup.timeout_seconds = options.timeout_seconds;
    setup.resume = options.resume;
    setup.smwave = smwave_program(options.smwave);
    if (options.response) setup.response = program_or_refuse("smwave-response", "by --response");
    if (options.measures) setup.measures = program_or_refuse("smwave-measures", "by --measures");
    if (options.plot) setup.plot = program_or_refuse("smwave-plot", "by --plot");

    make_batch_folder(options.out);
    const fs::path summary =
        options.out /
        (options.shard ? summary_file_name(options.shard->number, options.shard->count) : "summary.csv");
    std::vector<fs::path> tables;
    for (const Record& record : *records) tables.push_back(record.table);
    if (auto problem = companion::refuse_overwriting_inputs(summary, tables)) refuse(*problem);

    Progress progress(setup.records.size(), ::isatty(2) == 1);
    const BatchOutcome outcome = run_records(setup, progress);
    write_summary(summary, outcome);
    Tally tally;
    for (const Row& row : outcome.rows) tally.count(row);
    progress.end(tally);
    if (outcome.interrupted) return interrupted_status;
    return tally.not_ok() == 0 ? 0 : 1;
}

int merge_batch(const fs::path& folder) {
    std::size_t records = 0, not_ok = 0;
    if (auto problem = merge_shards(folder, records, not_ok)) refuse(*problem);
    companion::warn(std::to_string(records) + " records merged into " + (folder / "summary.csv").string() +
                    ": " + std::to_string(records - not_ok) + " ok, " + std::to_string(not_ok) + " not ok");
    return not_ok == 0 ? 0 : 1;
}

}  // namespace smwave::batch

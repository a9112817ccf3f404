#include "batch/scheduler.hpp"

#include <sys/stat.h>
#include <sys/wait.h>

#include <optional>

#include "batch/measures_outcome.hpp"
#include "batch/outcome.hpp"
#include "batch/record_folder.hpp"
#include "jobs/pool.hpp"

namespace smwave::batch {

namespace fs = std::filesystem;

namespace {

enum class Step { smwave, response, measures, plot };

std::size_t size_of(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

// The batch's records as the pool's items: smwave, then the response spectra, the measures and the
// figures as asked, each step's end read into the record's row.
class BatchWork : public jobs::Work {
  public:
    BatchWork(const SchedulerSetup& setup, Progress& progress)
        : setup_(setup),
          progress_(progress),
          answers_(answers_for_table(setup.answers, table_link_name)),
          columns_(setup.response.empty()   ? plain_columns
                   : setup.measures.empty() ? response_columns
                                            : measures_columns) {
        rows_.resize(setup.records.size());
        steps_.resize(setup.records.size(), Step::smwave);
        errors_before_.resize(setup.records.size(), 0);
    }

    BatchOutcome outcome(const jobs::PoolEnd& end) {
        for (std::size_t slot = end.begun; slot < rows_.size(); ++slot) {
            rows_[slot] = empty_row(columns_, record(slot).name, record(slot).table.string());
            rows_[slot][status_column] = "interrupted";
        }
        return {std::move(rows_), columns_, end.interrupted};
    }

    std::optional<jobs::Launch> begin(std::size_t slot) override {
        const std::string table = record(slot).table.string();
        if (setup_.resume) {
            if (auto kept = finished_row(folder(slot), answers_, table, columns_)) {
                rows_[slot] = std::move(*kept);
                progress_.finished(rows_[slot], true);
                return std::nullopt;
            }
        }
        rows_[slot] = empty_row(columns_, record(slot).name, table);
        if (auto problem = prepare_record_folder(folder(slot), record(slot).table, answers_)) {
            rows_[slot][status_column] = "failed";
            rows_[slot][message_column] = describe(*problem);
            progress_.finished(rows_[slot], false);
            return std::nullopt;
        }
        return launch_of(slot, Step::smwave);
    }

    std::optional<jobs::Launch> next(std::size_t slot, const jobs::ProcessEnd& end, bool stopping) override {
        const int wait_status = end.wait_status;
        const fs::path where = folder(slot);
        Row& row = rows_[slot];
        const Step step = steps_[slot];
        const std::string first_error = first_line_of(where / errors_name, errors_before_[slot]);
        if (step == Step::smwave) {
            classify_run(end, first_error, row);
            read_console(where / console_name, row);  // which may find the stop without a waveform file
            if (row[status_column] == "ok") {
                read_waveform(where, (setup_.out / record(slot).name).string(), setup_.answers.waveform_name,
                              row);
            }
        } else if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0 && !end.interrupted &&
                   !end.timed_out) {
            if (step == Step::response) {
                read_response(where / response_name, row);
                read_rotated_response(where / response_name, row);
            }
            if (step == Step::measures) read_measures(where / measures_file_name(setup_.answers.waveform_name), row);
        } else {
            mark_step_failed(tool_of(step), end, first_error, row);
        }
        if (row[status_column] == "ok" && !stopping) {
            if (const auto following = next_step(step)) return launch_of(slot, *following);
        }
        finish(slot);
        return std::nullopt;
    }

    void not_started(std::size_t slot, const companion::Problem& problem) override {
        rows_[slot][status_column] = "failed";
        rows_[slot][message_column] = describe(problem);
        finish(slot);
    }

    void tick() override { progress_.tick(); }

  private:
    const Record& record(std::size_t slot) const { return setup_.records[slot]; }
    fs::path folder(std::size_t slot) const { return setup_.out / record(slot).name; }

    jobs::Launch launch_of(std::size_t slot, Step step) {
        const fs::path where = folder(slot);
        jobs::Launch launch;
        launch.folder = where;
        launch.errors = where / errors_name;
        const std::string& waveform = setup_.answers.waveform_name;
        if (step == Step::smwave) {
            launch.program = setup_.smwave;
            launch.input = where / answers_name;
            launch.output = where / console_name;
        } else if (step == Step::response) {
            launch.program = setup_.response;
            launch.arguments = {"--periods", "0.3,1,3", "--damping", "0.05", "-o", std::string(response_name),
                                waveform};
            if (!setup_.measures.empty()) launch.arguments.emplace_back("--rotd");
        } else if (step == Step::measures) {
            launch.program = setup_.measures;
            launch.arguments = {waveform};
        } else {
            launch.program = setup_.plot;
            const std::string labels = component_labels(record(slot).table);
            if (!labels.empty()) launch.arguments = {"--labels", labels};
            launch.arguments.push_back(waveform);
            launch.arguments.emplace_back("amp3.csv");
        }
        launch.append_errors = step != Step::smwave;
        steps_[slot] = step;
        errors_before_[slot] = step == Step::smwave ? 0 : size_of(launch.errors);
        return launch;
    }

    static const char* tool_of(Step step) {
        return step == Step::response   ? "smwave-response"
               : step == Step::measures ? "smwave-measures"
                                        : "smwave-plot";
    }

    // The step after `step` for an ok record, if any: the response spectra and measures only of
    // acceleration records, the figures of every record.
    std::optional<Step> next_step(Step step) const {
        const bool acceleration = !setup_.answers.changes_quantity;
        if (step == Step::smwave && acceleration && !setup_.response.empty()) return Step::response;
        if (step == Step::response && !setup_.measures.empty()) return Step::measures;
        if (step != Step::plot && !setup_.plot.empty()) return Step::plot;
        return std::nullopt;
    }

    void finish(std::size_t slot) {
        if (auto problem = mark_finished(folder(slot), rows_[slot])) {
            rows_[slot][status_column] = "failed";
            rows_[slot][message_column] = describe(*problem);
        }
        progress_.finished(rows_[slot], false);
    }

    const SchedulerSetup& setup_;
    Progress& progress_;
    const std::string answers_;
    const std::size_t columns_;
    std::vector<Row> rows_;
    std::vector<Step> steps_;               // each record's running step
    std::vector<std::size_t> errors_before_;  // the size of errors.txt when the step started
};

}  // namespace

BatchOutcome run_records(const SchedulerSetup& setup, Progress& progress) {
    BatchWork work(setup, progress);
    const jobs::PoolEnd end = jobs::run_pool({setup.records.size(), setup.jobs, setup.timeout_seconds}, work);
    return work.outcome(end);
}

}  // namespace smwave::batch

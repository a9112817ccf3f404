#include "batch/scheduler.hpp"

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <optional>

#include "batch/measures_outcome.hpp"
#include "batch/outcome.hpp"
#include "batch/process.hpp"
#include "batch/record_folder.hpp"
#include "companion/interrupt.hpp"

namespace smwave::batch {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto grace_period = std::chrono::seconds(3);  // from SIGTERM to SIGKILL after an interruption
constexpr auto redraw_period = std::chrono::seconds(1);

enum class Step { smwave, response, measures, plot };

struct Job {
    std::size_t slot = 0;  // the record's place in the batch
    pid_t pid = -1;
    Step step = Step::smwave;
    std::size_t errors_before = 0;  // the size of errors.txt when the step started
    std::optional<Clock::time_point> deadline;
    bool timed_out = false;
    bool interrupted = false;
};

std::size_t size_of(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? static_cast<std::size_t>(status.st_size) : 0;
}

class Scheduler {
  public:
    Scheduler(const SchedulerSetup& setup, Progress& progress)
        : setup_(setup),
          progress_(progress),
          answers_(answers_for_table(setup.answers, table_link_name)),
          columns_(setup.response.empty()   ? plain_columns
                   : setup.measures.empty() ? response_columns
                                            : measures_columns) {
        rows_.resize(setup.records.size());
        sigset_t child_signals;
        sigemptyset(&child_signals);
        sigaddset(&child_signals, SIGCHLD);
        ::sigprocmask(SIG_BLOCK, &child_signals, &child_mask_);
        companion::note_interrupts();
    }
    ~Scheduler() { ::sigprocmask(SIG_SETMASK, &child_mask_, nullptr); }
    Scheduler(const Scheduler&) = delete;
    Scheduler& operator=(const Scheduler&) = delete;

    BatchOutcome run() {
        while (true) {
            if (!stopping_) start_records();
            if (jobs_.empty()) break;
            wait_for_event();
            const auto now = Clock::now();
            // Noted before the children are reaped: those the terminal's Ctrl-C ended count as interrupted.
            if (!stopping_ && companion::interrupt_signal() != 0) stop(now);
            reap_children();
            end_overdue(now);
            if (stopping_ && now >= kill_time_) kill_all(SIGKILL);
            if (now >= next_redraw_) {
                progress_.tick();
                next_redraw_ = now + redraw_period;
            }
        }
        for (std::size_t slot = next_; slot < rows_.size(); ++slot) {
            rows_[slot] = empty_row(columns_, record(slot).name, record(slot).table.string());
            rows_[slot][status_column] = "interrupted";
        }
        return {std::move(rows_), columns_, stopping_};
    }

  private:
    const Record& record(std::size_t slot) const { return setup_.records[slot]; }
    fs::path folder(std::size_t slot) const { return setup_.out / record(slot).name; }

    void start_records() {
        while (next_ < rows_.size() && jobs_.size() < setup_.jobs && companion::interrupt_signal() == 0) {
            const std::size_t slot = next_++;
            const std::string table = record(slot).table.string();
            if (setup_.resume) {
                if (auto kept = finished_row(folder(slot), answers_, table, columns_)) {
                    rows_[slot] = std::move(*kept);
                    progress_.finished(rows_[slot], true);
                    continue;
                }
            }
            rows_[slot] = empty_row(columns_, record(slot).name, table);
            if (auto problem = prepare_record_folder(folder(slot), record(slot).table, answers_)) {
                fail_before_start(slot, describe(*problem));
                continue;
            }
            Job job;
            job.slot = slot;
            if (setup_.timeout_seconds > 0) {
                job.deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(setup_.timeout_seconds));
            }
            if (!start_step(job, Step::smwave)) continue;
            jobs_.push_back(job);
        }
    }

    void fail_before_start(std::size_t slot, const std::string& message) {
        rows_[slot][status_column] = "failed";
        rows_[slot][message_column] = message;
        progress_.finished(rows_[slot], false);
    }

    // Starts the step's process for the job; false (the record failed and is done) when it cannot start.
    bool start_step(Job& job, Step step) {
        const fs::path where = folder(job.slot);
        Launch launch;
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
            const std::string labels = component_labels(record(job.slot).table);
            if (!labels.empty()) launch.arguments = {"--labels", labels};
            launch.arguments.push_back(waveform);
            launch.arguments.emplace_back("amp3.csv");
        }
        launch.append_errors = step != Step::smwave;
        job.step = step;
        job.errors_before = step == Step::smwave ? 0 : size_of(launch.errors);
        auto pid = start_process(launch, child_mask_);
        if (!pid) {
            rows_[job.slot][status_column] = "failed";
            rows_[job.slot][message_column] = describe(pid.problem());
            finish(job.slot);
            return false;
        }
        job.pid = *pid;
        return true;
    }

    void wait_for_event() {
        auto wake = Clock::now() + redraw_period;
        for (const Job& job : jobs_) {
            if (job.deadline && *job.deadline < wake) wake = *job.deadline;
        }
        if (stopping_ && kill_time_ < wake) wake = kill_time_;
        const auto wait = std::max(wake - Clock::now(), Clock::duration::zero());
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(wait);
        const timespec timeout{
            static_cast<time_t>(seconds.count()),
            static_cast<long>(std::chrono::duration_cast<std::chrono::nanoseconds>(wait - seconds).count())};
        sigset_t child_signals;
        sigemptyset(&child_signals);
        sigaddset(&child_signals, SIGCHLD);
        ::sigtimedwait(&child_signals, nullptr, &timeout);  // a child ended, the time came, or a signal
    }

    void reap_children() {
        int wait_status = 0;
        pid_t pid;
        while ((pid = ::waitpid(-1, &wait_status, WNOHANG)) > 0) {
            for (std::size_t at = 0; at < jobs_.size(); ++at) {
                if (jobs_[at].pid != pid) continue;
                Job job = jobs_[at];
                jobs_.erase(jobs_.begin() + static_cast<std::ptrdiff_t>(at));
                step_ended(job, wait_status);
                break;
            }
        }
    }

    void step_ended(Job job, int wait_status) {
        const ProcessEnd end{wait_status, job.timed_out, job.interrupted, setup_.timeout_seconds};
        const fs::path where = folder(job.slot);
        Row& row = rows_[job.slot];
        const std::string first_error = first_line_of(where / errors_name, job.errors_before);
        if (job.step == Step::smwave) {
            classify_run(end, first_error, row);
            read_console(where / console_name, row);  // which may find the stop without a waveform file
            if (row[status_column] == "ok") {
                read_waveform(where, (setup_.out / record(job.slot).name).string(),
                              setup_.answers.waveform_name, row);
            }
        } else if (WIFEXITED(wait_status) && WEXITSTATUS(wait_status) == 0 && !job.interrupted &&
                   !job.timed_out) {
            if (job.step == Step::response) {
                read_response(where / response_name, row);
                read_rotated_response(where / response_name, row);
            }
            if (job.step == Step::measures)
                read_measures(where / measures_file_name(setup_.answers.waveform_name), row);
        } else {
            mark_step_failed(tool_of(job.step), end, first_error, row);
        }
        if (row[status_column] == "ok" && !stopping_) {
            if (const auto next = next_step(job.step)) {
                if (start_step(job, *next)) jobs_.push_back(job);
                return;
            }
        }
        finish(job.slot);
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

    void end_overdue(Clock::time_point now) {
        for (Job& job : jobs_) {
            if (job.deadline && now >= *job.deadline && !job.timed_out) {
                job.timed_out = true;
                ::kill(job.pid, SIGKILL);
            }
        }
    }

    void stop(Clock::time_point now) {
        stopping_ = true;
        kill_time_ = now + grace_period;
        for (Job& job : jobs_) job.interrupted = true;
        kill_all(SIGTERM);
    }

    void kill_all(int signal_number) {
        for (const Job& job : jobs_) ::kill(job.pid, signal_number);
    }

    const SchedulerSetup& setup_;
    Progress& progress_;
    const std::string answers_;
    const std::size_t columns_;
    std::vector<Row> rows_;
    std::vector<Job> jobs_;
    std::size_t next_ = 0;  // the next record to start
    bool stopping_ = false;
    Clock::time_point kill_time_{};
    Clock::time_point next_redraw_ = Clock::now() + redraw_period;
    sigset_t child_mask_{};
};

}  // namespace

BatchOutcome run_records(const SchedulerSetup& setup, Progress& progress) {
    Scheduler scheduler(setup, progress);
    return scheduler.run();
}

}  // namespace smwave::batch

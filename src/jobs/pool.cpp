#include "jobs/pool.hpp"

#include <signal.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "companion/interrupt.hpp"

namespace smwave::jobs {

using Clock = std::chrono::steady_clock;

namespace {

constexpr auto grace_period = std::chrono::seconds(3);  // from SIGTERM to SIGKILL after an interruption
constexpr auto redraw_period = std::chrono::seconds(1);

struct Job {
    std::size_t item = 0;
    pid_t pid = -1;
    std::optional<Clock::time_point> deadline;
    bool timed_out = false;
    bool interrupted = false;
};

class Pool {
  public:
    Pool(const PoolSettings& settings, Work& work) : settings_(settings), work_(work) {
        sigset_t child_signals;
        sigemptyset(&child_signals);
        sigaddset(&child_signals, SIGCHLD);
        ::sigprocmask(SIG_BLOCK, &child_signals, &child_mask_);
        companion::note_interrupts();
    }
    ~Pool() { ::sigprocmask(SIG_SETMASK, &child_mask_, nullptr); }
    Pool(const Pool&) = delete;
    Pool& operator=(const Pool&) = delete;

    PoolEnd run() {
        while (true) {
            if (!stopping_) start_items();
            if (jobs_.empty()) break;
            wait_for_event();
            const auto now = Clock::now();
            // Noted before the children are reaped: those the terminal's Ctrl-C ended count as interrupted.
            if (!stopping_ && companion::interrupt_signal() != 0) stop(now);
            reap_children();
            end_overdue(now);
            if (stopping_ && now >= kill_time_) kill_all(SIGKILL);
            if (now >= next_redraw_) {
                work_.tick();
                next_redraw_ = now + redraw_period;
            }
        }
        return {next_, stopping_};
    }

  private:
    void start_items() {
        while (next_ < settings_.items && jobs_.size() < settings_.jobs && companion::interrupt_signal() == 0) {
            Job job;
            job.item = next_++;
            if (settings_.timeout_seconds > 0) {
                job.deadline = Clock::now() + std::chrono::duration_cast<Clock::duration>(
                                                  std::chrono::duration<double>(settings_.timeout_seconds));
            }
            if (auto launch = work_.begin(job.item); launch && start(job, *launch)) jobs_.push_back(job);
        }
    }

    // Starts the job's next process; false (the item is done) when it cannot start.
    bool start(Job& job, const Launch& launch) {
        auto pid = start_process(launch, child_mask_);
        if (!pid) {
            work_.not_started(job.item, pid.problem());
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
            const auto found = std::find_if(jobs_.begin(), jobs_.end(), [&](const Job& job) { return job.pid == pid; });
            if (found == jobs_.end()) continue;
            Job job = *found;
            jobs_.erase(found);
            const ProcessEnd end{wait_status, job.timed_out, job.interrupted, settings_.timeout_seconds};
            if (auto launch = work_.next(job.item, end, stopping_); launch && !stopping_ && start(job, *launch))
                jobs_.push_back(job);
        }
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

    const PoolSettings& settings_;
    Work& work_;
    std::vector<Job> jobs_;
    std::size_t next_ = 0;  // the next item to begin
    bool stopping_ = false;
    Clock::time_point kill_time_{};
    Clock::time_point next_redraw_ = Clock::now() + redraw_period;
    sigset_t child_mask_{};
};

}  // namespace

PoolEnd run_pool(const PoolSettings& settings, Work& work) {
    Pool pool(settings, work);
    return pool.run();
}

}  // namespace smwave::jobs

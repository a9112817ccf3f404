#pragma once
// Runs items (records) as chains of separate processes, at most `jobs` items at a time; what each
// item runs, and what its steps' ends mean, is left to the caller's Work.
//
// An item starts with begin(), which gives its first process (or none: the item is done at once); each
// process's end goes to next(), which gives the item's next process or none. A timeout counts from an
// item's start over all its steps, and kills the running step with SIGKILL. SIGINT and SIGTERM are only
// noted: no item starts afterwards, running steps are ended (SIGTERM, then SIGKILL after a grace
// period) and their ends reported as interrupted.
#include <sys/types.h>

#include <cstddef>
#include <optional>

#include "companion/problem.hpp"
#include "jobs/process.hpp"

namespace smwave::jobs {

// How a process ended, as waitpid gives it, and what the pool did to it.
struct ProcessEnd {
    int wait_status = 0;
    bool timed_out = false;    // killed by the pool after the timeout
    bool interrupted = false;  // the pool itself was interrupted while it ran
    double timeout_seconds = 0;
};

class Work {
  public:
    virtual ~Work() = default;
    // The first process of item `item`, or nothing when the item needs none (it is then done).
    virtual std::optional<Launch> begin(std::size_t item) = 0;
    // The item's last process ended as `end`: its next process, or nothing when the item is done.
    // `stopping` is true once the pool has been interrupted (a process given then is not started).
    virtual std::optional<Launch> next(std::size_t item, const ProcessEnd& end, bool stopping) = 0;
    // A process given by begin() or next() could not be started; the item is done.
    virtual void not_started(std::size_t item, const companion::Problem& problem) = 0;
    // Called about once a second while processes run (a progress line may redraw).
    virtual void tick() {}
};

struct PoolSettings {
    std::size_t items = 0;
    std::size_t jobs = 1;
    double timeout_seconds = 0;  // 0: none
};

struct PoolEnd {
    std::size_t begun = 0;  // items 0 .. begun-1 were begun; the others never started (an interruption)
    bool interrupted = false;
};

// Runs every item through `work`, in item order as slots free up.
PoolEnd run_pool(const PoolSettings& settings, Work& work);

}  // namespace smwave::jobs

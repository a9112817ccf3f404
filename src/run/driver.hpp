#pragma once
// The run driver: the whole console dialogue of one run, from the input name to the final Enter.

namespace smwave {

struct RunState;

// Runs the job once on a state of its own and ends the process through a stop, a refusal or a
// failure report.
[[noreturn]] void run_driver();

// Runs the job once on `run`, which must be zero as made, and ends as run_driver does.
[[noreturn]] void run_job(RunState& run);

}  // namespace smwave

#pragma once
// The run driver: the whole console dialogue of one run, from the input name to the final Enter.

namespace smwave {

// Runs the job once and ends the process through a stop, a refusal or a failure report.
[[noreturn]] void run_driver();

}  // namespace smwave

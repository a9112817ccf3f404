#pragma once
// The end of a run: the optional time window, the thinning step and the waveform file.
#include "run/state.hpp"

namespace smwave {

// Asks "Cutting data? (No=0,Yes=1)" and, on 1, the start time and duration; cuts x1..x3 out of
// xr1..xr3. Sets nout, the samples to write: nt, or the window length. Refuses counts that do not fit
// the arrays.
void cut_window(RunState& run);

// Asks the skip count, the output name, and writes every (iskip+1)-th of the nout samples of x1..x3,
// each relative to its own sample 1, with the table's time column, to the waveform file on unit 11.
void write_waveform_file(RunState& run);

}  // namespace smwave

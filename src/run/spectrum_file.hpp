#pragma once
// The Fourier amplitude spectrum file "amp3.csv": the console notice, a header and one row per
// bin 1..nom with the frequency in Hz and the moduli of fx1, fx2, fx3.
#include "run/state.hpp"

namespace smwave {

// Prints the notice naming "amp3.csv", then rewrites that file on unit 10: a header and, for bins
// 1..nom of fx1..fx3 as they stand, the frequency in Hz and the three moduli. Leaves unit 10 closed.
// Changes no spectrum; any file failure ends the run in the unit layer.
void write_spectrum_file(const RunState& run);

}  // namespace smwave

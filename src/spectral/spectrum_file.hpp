#pragma once
// The Fourier amplitude spectrum file "amp3.csv": the console notice, a header and one row per
// bin 1..nom with the frequency in Hz and the moduli of fx1, fx2, fx3.
#include "run/state.hpp"

namespace smwave {

void write_spectrum_file();

}  // namespace smwave

#pragma once
// The frequency-domain stage of a run: transform length, forward transforms and grid, band-pass,
// integration or differentiation, and the back transforms. Each step works on the run's state and
// writes its own console lines and questions.
#include "run/state.hpp"

namespace smwave {

// Sets nf and if1 from nt and prints " IF1,NF="; for nt above 131072 prints " NT>2**17 !!!!!" and
// refuses the table.
void choose_transform_length(RunState& run);
// Makes the plan for nf, loads fx1..fx3 from xr1..xr3, transforms forward, scales by dt, sets dur,
// dom, nom, eom and prints them.
void transform_forward(RunState& run);
// Asks " Band Pass Filter? (YES=1)?? :" and, on 1, the four corners; refuses corners out of order
// or not finite, otherwise weights bins 1..nom.
void apply_band_pass(RunState& run);
// Asks the integration menu and integrates, double-integrates or differentiates bins 2..nom.
void apply_integration(RunState& run);
// Mirrors bins 2..nf/2, transforms back, divides by dur into xr1..xr3 and copies 1..nt into x1..x3.
void transform_back(RunState& run);

}  // namespace smwave

#pragma once
// The frequency-domain stage of a run: transform length, forward transforms and grid, band-pass,
// integration or differentiation, and the back transforms. Each step works on the shared run state
// and writes its own console lines and questions.
#include "run/state.hpp"

namespace smwave {

// 2 pi as the tool has always used it: the double nearest 6.283185307 (about 1.8e-10 below 2 pi).
inline constexpr double two_pi = 6.283185307;

// Sets nf and if1 from nt and prints " IF1,NF="; for nt above 131072 prints " NT>2**17 !!!!!" and stops.
void choose_transform_length();
// Loads fx1..fx3 from xr1..xr3, transforms forward, scales by dt, sets dur, dom, nom, eom and prints them.
void transform_forward();
// Asks " Band Pass Filter? (YES=1)?? :" and, on 1, the four corners; weights bins 1..nom.
void apply_band_pass();
// Asks the integration menu and integrates, double-integrates or differentiates bins 2..nom.
void apply_integration();
// Mirrors bins 2..nf/2, transforms back, divides by dur into xr1..xr3 and copies 1..nt into x1..x3.
void transform_back();

}  // namespace smwave

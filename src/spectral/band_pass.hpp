#pragma once
// The trapezoidal band-pass weight: 0 up to the lowest corner, rising linearly to 1 at the second,
// 1 up to the third, falling linearly to 0 at the highest. Corners are used as typed, in any order.
#include <cstdint>

#include "run/state.hpp"

namespace smwave {

// The four corners in rad/s.
struct BandCorners {
    double oml1, oml2, omh1, omh2;
};

// The corners typed in Hz (fL1 < fL2 < fH1 < fH2 expected, not enforced), each times two_pi.
BandCorners band_corners_from_hz(double fl1, double fl2, double fh1, double fh2);

// The ramp weight at omega, tested in this order with strict comparisons: 1; the rising ramp below
// oml2; the falling ramp above omh1 (it wins where the ramps overlap). A ramp of zero width is a
// step: 0 below oml1 == oml2, and 0 above omh1 == omh2.
double band_pass_weight(double omega, const BandCorners& corners);

// A bin at omega after weighting: cleared below oml1 and above omh2, then times (weight, 0).
//     Complex shaped = band_pass_bin(run.fx1[i], bin_omega(i, run.dom), corners);
Complex band_pass_bin(Complex bin, double omega, const BandCorners& corners);

// Weights bins 1..nom of the spectrum fx (indexed from 1) at spacing dom.
void band_pass_bins(Complex* fx, std::int32_t nom, double dom, const BandCorners& corners);

}  // namespace smwave

#pragma once
// The trapezoidal band-pass weight: 0 up to the lowest corner, rising linearly to 1 at the second,
// 1 up to the third, falling linearly to 0 at the highest.
#include <cstdint>
#include <span>

#include "spectral/complex_math.hpp"

namespace smwave {

// The four corners in rad/s.
struct BandCorners {
    double oml1, oml2, omh1, omh2;
};

// Whether corners typed in Hz make a trapezoid: all finite and fl1 <= fl2 <= fh1 <= fh2. Equal
// corners are allowed (a ramp of zero width is a step); negative ones as well.
bool band_corners_in_order(double fl1, double fl2, double fh1, double fh2);

// The corners typed in Hz, each times two_pi.
BandCorners band_corners_from_hz(double fl1, double fl2, double fh1, double fh2);

// The ramp weight at omega, tested in this order with strict comparisons: 1; the rising ramp below
// oml2; the falling ramp above omh1 (it wins where the ramps overlap). A ramp of zero width is a
// step: 0 below oml1 == oml2, and 0 above omh1 == omh2.
double band_pass_weight(double omega, const BandCorners& corners);

// A bin at omega after weighting: cleared below oml1 and above omh2, then times (weight, 0).
//     Complex shaped = band_pass_bin(bin, bin_omega(k, dom), corners);
Complex band_pass_bin(Complex bin, double omega, const BandCorners& corners);

// Weights every bin of `bins` (bin k at angular frequency k*dom, the first at zero frequency).
void band_pass_bins(std::span<Complex> bins, double dom, const BandCorners& corners);

}  // namespace smwave

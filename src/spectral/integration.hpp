#pragma once
// Integration and differentiation in the frequency domain: a bin at angular frequency omega is
// divided by i*omega, divided by -omega^2, or multiplied by i*omega.
#include <cstdint>
#include <span>

#include "spectral/complex_math.hpp"

namespace smwave {

// The menu answers; every other value leaves the spectra unchanged.
inline constexpr std::int32_t nit_integrate = 1;
inline constexpr std::int32_t nit_integrate_twice = 2;
inline constexpr std::int32_t nit_differentiate = 3;

// The bin after the operation chosen by nit (divisions by scaled pivoting, product in full).
//     integrate_bin({2, 4}, 2.0, 1) -> {2, -1};  ... 2 -> {-0.5, -1};  ... 3 -> {-8, 4}
Complex integrate_bin(Complex bin, double omega, std::int32_t nit);

// Applies nit to every bin of `bins` but the first (bin k at angular frequency k*dom, the first at
// zero frequency, which is left as it is).
void integrate_bins(std::span<Complex> bins, double dom, std::int32_t nit);

}  // namespace smwave

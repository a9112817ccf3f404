#pragma once
// Integration and differentiation in the frequency domain: a bin at angular frequency omega is
// divided by i*omega, divided by -omega^2, or multiplied by i*omega.
#include <cstdint>

#include "run/state.hpp"

namespace smwave {

// The menu answers; every other value leaves the spectra unchanged.
inline constexpr std::int32_t nit_integrate = 1;
inline constexpr std::int32_t nit_integrate_twice = 2;
inline constexpr std::int32_t nit_differentiate = 3;

// The bin after the operation chosen by nit (divisions by scaled pivoting, product in full).
//     integrate_bin({2, 4}, 2.0, 1) -> {2, -1};  ... 2 -> {-0.5, -1};  ... 3 -> {-8, 4}
Complex integrate_bin(Complex bin, double omega, std::int32_t nit);

// Applies nit to bins 2..nom of fx (indexed from 1) at spacing dom; bin 1 (zero frequency) and the
// negative-frequency bins are left as they are.
void integrate_bins(Complex* fx, std::int32_t nom, double dom, std::int32_t nit);

}  // namespace smwave

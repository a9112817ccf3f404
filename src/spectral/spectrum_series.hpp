#pragma once
// Moving one component between its sample series and its spectrum (all arrays indexed from 1).
#include <cstdint>

#include "run/state.hpp"

namespace smwave {

// fx(1..nt) = (x(i), 0) and fx(nt+1..nf) = (0, 0): the series zero-padded to nf samples.
void load_padded(const double* x, std::int32_t nt, std::int32_t nf, Complex* fx);

// Multiplies fx(1..nf) by (dt, 0) as a full complex product, turning the transform's sums into an
// approximation of the continuous Fourier transform.
void scale_bins(Complex* fx, std::int32_t nf, double dt);

// Bin nf - i + 2 = conjugate of bin i for i = 2..nf/2: the negative frequencies of a real series
// follow its shaped positive half. Bin 1 and bin nf/2 + 1 (Nyquist) are left as they are.
void mirror_conjugate(Complex* fx, std::int32_t nf);

// x(1..nf) = real part of fx(i) / dur; the imaginary parts are dropped.
void unload_real(const Complex* fx, std::int32_t nf, double dur, double* x);

}  // namespace smwave

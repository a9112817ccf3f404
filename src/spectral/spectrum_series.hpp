#pragma once
// Moving one component between its sample series and its spectrum.
#include <span>

#include "spectral/complex_math.hpp"

namespace smwave {

// series[k] = (samples[k], 0) for every sample, then (0, 0) to the end of `series`: the samples
// zero-padded to the transform length (series is at least as long as samples).
void load_padded(std::span<const double> samples, std::span<Complex> series);

// Multiplies every bin by (dt, 0) as a full complex product, turning the transform's sums into an
// approximation of the continuous Fourier transform.
void scale_bins(std::span<Complex> bins, double dt);

// Bin n - k = conjugate of bin k for k = 1..n/2 - 1 (n the length of `bins`): the negative
// frequencies of a real series follow its shaped positive half. Bin 0 and bin n/2 (Nyquist) are left
// as they are.
void mirror_conjugate(std::span<Complex> bins);

// samples[k] = real part of series[k] / dur for every element of `series`; imaginary parts dropped.
void unload_real(std::span<const Complex> series, double dur, std::span<double> samples);

}  // namespace smwave

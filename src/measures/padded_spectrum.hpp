#pragma once
// The Fourier transforms the frequency-domain measures share: each component zero-padded to the
// smallest power of two at least 10 % longer than the record, so that a filter's response to one end
// of the record does not wrap round onto the other, and transformed with the suite's radix-2 FFT.
#include <cstdint>
#include <span>
#include <vector>

#include "spectral/complex_math.hpp"

namespace smwave::measures {

// The smallest power of two that is at least samples + ceil(samples / 10), and at least 4.
std::int32_t padded_length(std::size_t samples);

// The unscaled forward transform of `x` zero-padded to `length` samples: bin k lies at k / (length dt).
std::vector<Complex> forward_transform(std::span<const double> x, std::int32_t length);

// The real parts of the unscaled backward transform of `bins`, divided by their number: the inverse of
// forward_transform for a spectrum of a real series.
std::vector<double> backward_transform(std::vector<Complex> bins);

}  // namespace smwave::measures

#pragma once
// The Fourier transforms the frequency-domain measures share: each component zero-padded to the
// smallest power of two at least 10 % longer than the record, so that a filter's response to one end
// of the record does not wrap round onto the other, and transformed with the suite's radix-2 FFT.
#include <cstdint>
#include <span>
#include <vector>

#include "spectral/complex_math.hpp"
#include "spectral/wvfast.hpp"

namespace smwave::measures {

// The smallest power of two that is at least samples + ceil(samples / 10), and at least 4.
std::int32_t padded_length(std::size_t samples);

// Transforms of one length, sharing one plan of twiddle factors.
class PaddedTransform {
  public:
    explicit PaddedTransform(std::int32_t length);
    PaddedTransform(const PaddedTransform&) = delete;
    PaddedTransform& operator=(const PaddedTransform&) = delete;

    std::int32_t length() const { return plan_.length; }

    // The unscaled forward transform of `x` zero-padded to length(): bin k lies at k / (length() dt).
    std::vector<Complex> forward(std::span<const double> x) const;

    // The real parts of the unscaled backward transform of `bins` (length() of them), divided by their
    // number: the inverse of forward() for a spectrum of a real series.
    std::vector<double> backward(std::vector<Complex> bins) const;

  private:
    std::vector<Complex> storage_;
    WvfastPlan plan_;
};

}  // namespace smwave::measures

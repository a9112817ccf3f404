#include "spectral/spectrum_series.hpp"

#include <cassert>

namespace smwave {

void load_padded(std::span<const double> samples, std::span<Complex> series) {
    assert(samples.size() <= series.size());
    for (std::size_t k = 0; k < samples.size(); ++k) series[k] = {samples[k], 0.0};
    for (std::size_t k = samples.size(); k < series.size(); ++k) series[k] = {0.0, 0.0};
}

void scale_bins(std::span<Complex> bins, double dt) {
    for (Complex& bin : bins) bin = times(bin, Complex{dt, 0.0});
}

void mirror_conjugate(std::span<Complex> bins) {
    const std::size_t n = bins.size();
    for (std::size_t k = 1; k < n / 2; ++k) bins[n - k] = {bins[k].re, -bins[k].im};
}

void unload_real(std::span<const Complex> series, double dur, std::span<double> samples) {
    assert(samples.size() >= series.size());
    for (std::size_t k = 0; k < series.size(); ++k) samples[k] = series[k].re / dur;
}

}  // namespace smwave

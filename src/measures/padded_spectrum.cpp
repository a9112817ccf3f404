#include "measures/padded_spectrum.hpp"

namespace smwave::measures {

std::int32_t padded_length(std::size_t samples) {
    const std::size_t wanted = samples + (samples + 9) / 10;
    std::int32_t length = 4;
    while (static_cast<std::size_t>(length) < wanted) length *= 2;
    return length;
}

PaddedTransform::PaddedTransform(std::int32_t length)
    : storage_(wvfast_plan_size(length)), plan_(make_wvfast_plan(length, storage_)) {}

std::vector<Complex> PaddedTransform::forward(std::span<const double> x) const {
    std::vector<Complex> series(static_cast<std::size_t>(length()), Complex{0.0, 0.0});
    for (std::size_t i = 0; i < x.size(); ++i) series[i].re = x[i];
    wvfast(series, plan_, -1);
    return series;
}

std::vector<double> PaddedTransform::backward(std::vector<Complex> bins) const {
    wvfast(bins, plan_, +1);
    std::vector<double> x(bins.size());
    const double scale = 1.0 / static_cast<double>(bins.size());
    for (std::size_t i = 0; i < bins.size(); ++i) x[i] = bins[i].re * scale;
    return x;
}

}  // namespace smwave::measures

#include "measures/padded_spectrum.hpp"

#include "spectral/wvfast.hpp"

namespace smwave::measures {

namespace {

void transform(std::vector<Complex>& series, std::int32_t ind) {
    const auto length = static_cast<std::int32_t>(series.size());
    std::vector<Complex> storage(wvfast_plan_size(length));
    wvfast(series, make_wvfast_plan(length, storage), ind);
}

}  // namespace

std::int32_t padded_length(std::size_t samples) {
    const std::size_t wanted = samples + (samples + 9) / 10;
    std::int32_t length = 4;
    while (static_cast<std::size_t>(length) < wanted) length *= 2;
    return length;
}

std::vector<Complex> forward_transform(std::span<const double> x, std::int32_t length) {
    std::vector<Complex> series(static_cast<std::size_t>(length), Complex{0.0, 0.0});
    for (std::size_t i = 0; i < x.size(); ++i) series[i].re = x[i];
    transform(series, -1);
    return series;
}

std::vector<double> backward_transform(std::vector<Complex> bins) {
    transform(bins, +1);
    std::vector<double> x(bins.size());
    const double scale = 1.0 / static_cast<double>(bins.size());
    for (std::size_t i = 0; i < bins.size(); ++i) x[i] = bins[i].re * scale;
    return x;
}

}  // namespace smwave::measures

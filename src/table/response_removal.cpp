#include "table/response_removal.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

#include "spectral/wvfast.hpp"

namespace smwave::table {

Prefilter default_prefilter(double interval) {
    const double nyquist = 0.5 / interval;
    return {0.005, 0.01, 0.8 * nyquist, 0.9 * nyquist};
}

double prefilter_weight(const Prefilter& corners, double frequency) {
    const double f = std::abs(frequency);
    const auto ramp = [](double from, double to, double at) {
        return 0.5 * (1 - std::cos(std::numbers::pi * (at - from) / (to - from)));
    };
    if (f <= corners[0] || f >= corners[3]) return 0;
    if (f < corners[1]) return ramp(corners[0], corners[1], f);
    if (f > corners[2]) return ramp(corners[3], corners[2], f);
    return 1;
}

void remove_response(std::span<double> samples, double interval, const std::vector<ResponseStage>& stages,
                     const RemovalSettings& settings) {
    const std::size_t count = samples.size();
    std::int32_t length = 4;
    while (static_cast<std::size_t>(length) < 2 * count) length *= 2;
    std::vector<Complex> series(static_cast<std::size_t>(length), Complex{0, 0});
    for (std::size_t i = 0; i < count; ++i) series[i] = Complex{samples[i], 0};
    std::vector<Complex> storage(wvfast_plan_size(length));
    const WvfastPlan plan = make_wvfast_plan(length, storage);
    wvfast(series, plan, -1);

    const std::size_t half = static_cast<std::size_t>(length) / 2;
    const double step = 1 / (static_cast<double>(length) * interval);
    std::vector<std::complex<double>> response(half + 1);
    double largest = 0;
    for (std::size_t q = 0; q <= half; ++q) {
        response[q] = response_at(stages, static_cast<double>(q) * step);
        if (std::isfinite(std::abs(response[q]))) largest = std::max(largest, std::abs(response[q]));
    }
    const double floor = largest * std::pow(10.0, -settings.water_level_db / 20);
    for (std::size_t q = 0; q <= half; ++q) {
        const double frequency = static_cast<double>(q) * step;
        std::complex<double> divisor = response[q];
        const double size = std::abs(divisor);
        if (size < floor) divisor = size > 0 ? divisor * (floor / size) : std::complex<double>(floor, 0);
        const double weight = prefilter_weight(settings.prefilter, frequency);
        // A bin the pre-filter removes, or where the response is no finite number (a pole on the bin,
        // or a pole and a zero that meet there), gives nothing rather than infinities or NaN.
        std::complex<double> operation =
            weight == 0 || !std::isfinite(size) || std::abs(divisor) == 0 ? 0 : weight * settings.factor / divisor;
        if (settings.differentiate) operation *= std::complex<double>(0, 2 * std::numbers::pi * frequency);
        // The bins of negative frequencies take the conjugate operation, so the result stays real.
        const auto apply = [&](std::size_t bin, std::complex<double> by) {
            const std::complex<double> value = std::complex<double>(series[bin].re, series[bin].im) * by;
            series[bin] = Complex{value.real(), value.imag()};
        };
        apply(q, operation);
        if (q > 0 && q < half) apply(static_cast<std::size_t>(length) - q, std::conj(operation));
    }
    wvfast(series, plan, +1);
    for (std::size_t i = 0; i < count; ++i) samples[i] = series[i].re / static_cast<double>(length);
}

}  // namespace smwave::table

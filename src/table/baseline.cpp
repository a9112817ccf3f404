#include "table/baseline.hpp"

#include <cmath>
#include <numbers>

namespace smwave::table {

std::string_view baseline_word(Baseline baseline) {
    switch (baseline) {
        case Baseline::mean:
            return "mean";
        case Baseline::line:
            return "line";
        case Baseline::none:
            return "none";
    }
    return "none";
}

void remove_mean(std::span<double> samples) {
    if (samples.empty()) return;
    double sum = 0;
    for (const double value : samples) sum += value;
    const double mean = sum / static_cast<double>(samples.size());
    for (double& value : samples) value -= mean;
}

void remove_line(std::span<double> samples) {
    const std::size_t n = samples.size();
    if (n == 0) return;
    const double middle = static_cast<double>(n - 1) / 2;
    double sum = 0;
    for (const double value : samples) sum += value;
    const double mean = sum / static_cast<double>(n);
    double moment = 0, spread = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const double offset = static_cast<double>(i) - middle;
        moment += offset * (samples[i] - mean);
        spread += offset * offset;
    }
    const double slope = spread > 0 ? moment / spread : 0.0;
    for (std::size_t i = 0; i < n; ++i) samples[i] -= mean + slope * (static_cast<double>(i) - middle);
}

void apply_taper(std::span<double> samples, double fraction) {
    const std::size_t n = samples.size();
    const auto m = static_cast<std::size_t>(std::floor(fraction * static_cast<double>(n)));
    for (std::size_t i = 0; i < m && i < n; ++i) {
        const double weight =
            0.5 * (1 - std::cos(std::numbers::pi * static_cast<double>(i) / static_cast<double>(m)));
        samples[i] *= weight;
        samples[n - 1 - i] *= weight;
    }
}

}  // namespace smwave::table

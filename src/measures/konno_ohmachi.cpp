#include "measures/konno_ohmachi.hpp"

#include <algorithm>
#include <cmath>

namespace smwave::measures {

namespace {

// Below this |b log10(f / fc)| the window's sine is taken directly rather than by the difference of
// angles, whose absolute rounding (about 1e-14) would then show in the ratio.
constexpr double near_centre = 1e-2;

}  // namespace

KonnoOhmachi::KonnoOhmachi(std::size_t bins, double spacing, double b) : b_(b) {
    log_frequency_.resize(bins);
    sine_.resize(bins);
    cosine_.resize(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        log_frequency_[k] = std::log10(static_cast<double>(k + 1) * spacing);
        sine_[k] = std::sin(b * log_frequency_[k]);
        cosine_[k] = std::cos(b * log_frequency_[k]);
    }
}

std::vector<double> KonnoOhmachi::smooth(std::span<const std::span<const double>> spectra,
                                         double centre) const {
    const double log_centre = std::log10(centre);
    const double sine_c = std::sin(b_ * log_centre), cosine_c = std::cos(b_ * log_centre);
    const std::size_t count = spectra.size();
    std::vector<double> sums(count, 0.0);
    double weights = 0;
    // sin(b (L - Lc)) = sin(b L) cos(b Lc) - cos(b L) sin(b Lc): one product pair a bin instead of a sine.
    const auto far_weight = [&](std::size_t k) {
        const double x = b_ * (log_frequency_[k] - log_centre);
        const double ratio = (sine_[k] * cosine_c - cosine_[k] * sine_c) / x;
        const double square = ratio * ratio;
        return square * square;
    };
    const auto near_weight = [&](std::size_t k) {
        const double x = b_ * (log_frequency_[k] - log_centre);
        const double ratio = x == 0 ? 1 : std::sin(x) / x;
        const double square = ratio * ratio;
        return square * square;
    };
    // The bins near the centre form one run, found by bisection of the rising log frequencies.
    const double reach = near_centre / b_;
    const std::size_t near_first = static_cast<std::size_t>(
        std::lower_bound(log_frequency_.begin(), log_frequency_.end(), log_centre - reach) -
        log_frequency_.begin());
    const std::size_t near_end = static_cast<std::size_t>(
        std::upper_bound(log_frequency_.begin(), log_frequency_.end(), log_centre + reach) -
        log_frequency_.begin());
    const auto add = [&](std::size_t k, double weight) {
        weights += weight;
        for (std::size_t s = 0; s < count; ++s) sums[s] += weight * spectra[s][k];
    };
    for (std::size_t k = 0; k < near_first; ++k) add(k, far_weight(k));
    for (std::size_t k = near_first; k < near_end; ++k) add(k, near_weight(k));
    for (std::size_t k = near_end; k < log_frequency_.size(); ++k) add(k, far_weight(k));
    for (double& sum : sums) sum /= weights;
    return sums;
}

}  // namespace smwave::measures

#include "measures/jma_intensity.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

#include "measures/padded_spectrum.hpp"

namespace smwave::measures {

double jma_filter(double f) {
    if (!(f > 0)) return 0;
    const double y = f / 10, y2 = y * y;
    const double polynomial =
        1 + y2 * (0.694 + y2 * (0.241 + y2 * (0.0557 + y2 * (0.009664 + y2 * (0.00134 + y2 * 0.000155)))));
    const double low_cut = 1 - std::exp(-std::pow(f / 0.5, 3));
    return std::sqrt(1 / f) / std::sqrt(polynomial) * std::sqrt(low_cut);
}

JmaIntensity jma_from_intensity(double intensity) {
    if (!std::isfinite(intensity))
        return {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::quiet_NaN(), ""};
    const double thousandths = std::round(intensity * 1000);
    const double tenths = std::floor(thousandths / 100);
    static constexpr struct {
        double below;  // in tenths
        const char* grade;
    } grades[] = {{5, "0"},   {15, "1"},  {25, "2"},  {35, "3"}, {45, "4"},
                  {50, "5-"}, {55, "5+"}, {60, "6-"}, {65, "6+"}};
    std::string grade = "7";
    for (const auto& step : grades) {
        if (tenths < step.below) {
            grade = step.grade;
            break;
        }
    }
    return {intensity, tenths / 10, grade};
}

JmaIntensity jma_intensity(const std::array<std::vector<Complex>, 3>& spectra,
                           const PaddedTransform& transform, std::size_t samples, double dt) {
    const std::size_t length = spectra[0].size();
    // The samples that make up 0.3 s (the allowance keeps 0.3 / dt from rounding above a whole number).
    const auto needed = static_cast<std::size_t>(std::ceil(0.3 / dt * (1 - 1e-12)));
    if (needed == 0 || needed > samples) return jma_from_intensity(std::numeric_limits<double>::quiet_NaN());

    std::vector<double> gains(length / 2 + 1);
    for (std::size_t k = 0; k <= length / 2; ++k)
        gains[k] = jma_filter(static_cast<double>(k) / (static_cast<double>(length) * dt));
    std::vector<double> level(length, 0.0);
    for (const std::vector<Complex>& spectrum : spectra) {
        std::vector<Complex> filtered = spectrum;
        for (std::size_t k = 0; k <= length / 2; ++k) {
            const double gain = gains[k];
            filtered[k] = {filtered[k].re * gain, filtered[k].im * gain};
            if (k != 0 && k != length - k)
                filtered[length - k] = {filtered[length - k].re * gain, filtered[length - k].im * gain};
        }
        const std::vector<double> x = transform.backward(std::move(filtered));
        for (std::size_t i = 0; i < length; ++i) level[i] += x[i] * x[i];
    }
    // The needed-th largest of p = sqrt(level): the largest a with that many samples at a or above.
    std::nth_element(level.begin(), level.begin() + static_cast<std::ptrdiff_t>(needed - 1), level.end(),
                     std::greater<>());
    const double a = std::sqrt(level[needed - 1]);
    return jma_from_intensity(a > 0 ? 2 * std::log10(a) + 0.94 : std::numeric_limits<double>::quiet_NaN());
}

}  // namespace smwave::measures

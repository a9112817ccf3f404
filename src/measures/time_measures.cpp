#include "measures/time_measures.hpp"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

namespace smwave::measures {

namespace {

// The time at which the rising curve `share` (one value a sample) first reaches `level`, interpolated
// linearly between the two samples around it.
double time_reaching(const std::vector<double>& share, double level, double dt) {
    const auto at = std::lower_bound(share.begin(), share.end(), level);
    const std::size_t i = static_cast<std::size_t>(at - share.begin());
    if (i == 0) return 0;
    if (i == share.size()) return static_cast<double>(share.size() - 1) * dt;
    const double below = share[i - 1], above = share[i];
    return (static_cast<double>(i - 1) + (level - below) / (above - below)) * dt;
}

}  // namespace

double peak_of(std::span<const double> x) {
    double peak = 0;
    for (const double value : x) peak = std::max(peak, std::abs(value));
    return peak;
}

double arias_intensity(std::span<const double> a, double dt) {
    double sum = 0;
    for (std::size_t i = 0; i + 1 < a.size(); ++i) sum += (a[i] * a[i] + a[i + 1] * a[i + 1]) / 2;
    // a in m/s/s: the squares carry 1e-4, g in m/s/s 1e-2.
    return std::numbers::pi / (2 * (gravity / 100)) * (sum * 1e-4) * dt;
}

double significant_duration(std::span<const double> a, double dt, double p, double q) {
    std::vector<double> husid(a.size(), 0.0);
    for (std::size_t i = 0; i + 1 < a.size(); ++i)
        husid[i + 1] = husid[i] + (a[i] * a[i] + a[i + 1] * a[i + 1]) / 2;
    const double total = husid.empty() ? 0 : husid.back();
    if (!(total > 0) || !std::isfinite(total)) return std::numeric_limits<double>::quiet_NaN();
    for (double& h : husid) h /= total;
    return time_reaching(husid, q, dt) - time_reaching(husid, p, dt);
}

double cumulative_absolute_velocity(std::span<const double> a, double dt, double floor) {
    const auto counted = [floor](double value) { return std::abs(value) < floor ? 0.0 : std::abs(value); };
    double sum = 0;
    for (std::size_t i = 0; i + 1 < a.size(); ++i) sum += (counted(a[i]) + counted(a[i + 1])) / 2;
    return sum * dt;
}

double standardized_cav(std::span<const double> a, double dt) {
    // The window of sample i; the small allowance keeps i dt from falling just short of a whole second.
    const auto window_of = [dt](std::size_t i) {
        return static_cast<long long>(std::floor(static_cast<double>(i) * dt * (1 + 1e-12)));
    };
    double total = 0;
    std::size_t start = 0;
    while (start < a.size()) {
        std::size_t end = start;  // one past the window's last sample
        double peak = 0, sum = 0;
        while (end < a.size() && window_of(end) == window_of(start)) {
            peak = std::max(peak, std::abs(a[end]));
            if (end + 1 < a.size()) sum += (std::abs(a[end]) + std::abs(a[end + 1])) / 2;
            ++end;
        }
        if (peak >= 0.025 * gravity) total += sum * dt;
        start = end;
    }
    return total;
}

double bracketed_duration(std::span<const double> a, double dt) {
    const auto strong = [](double value) { return std::abs(value) >= 0.05 * gravity; };
    const auto first = std::find_if(a.begin(), a.end(), strong);
    if (first == a.end()) return 0;
    const auto last = std::find_if(a.rbegin(), a.rend(), strong);
    return static_cast<double>((a.rend() - last - 1) - (first - a.begin())) * dt;
}

}  // namespace smwave::measures

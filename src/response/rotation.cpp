#include "response/rotation.hpp"

#include <cmath>
#include <numbers>

namespace smwave::response {

namespace {

AngleTable make_angle_table() {
    AngleTable table;
    for (std::size_t degrees = 0; degrees < rotation_angles; ++degrees) {
        // Angles beyond 45 degrees from their complement, so 90 degrees is exact.
        const auto radians = [](double d) { return d * std::numbers::pi / 180; };
        if (degrees <= 45) {
            table.cosine[degrees] = std::cos(radians(degrees));
            table.sine[degrees] = std::sin(radians(degrees));
        } else if (degrees <= 135) {
            const double from_right = 90.0 - static_cast<double>(degrees);  // -45 .. 45
            table.cosine[degrees] = std::sin(radians(from_right));
            table.sine[degrees] = std::cos(radians(from_right));
        } else {
            const double from_straight = 180.0 - static_cast<double>(degrees);  // 1 .. 44
            table.cosine[degrees] = -std::cos(radians(from_straight));
            table.sine[degrees] = std::sin(radians(from_straight));
        }
    }
    return table;
}

}  // namespace

const AngleTable& angle_table() {
    static const AngleTable table = make_angle_table();
    return table;
}

RotD rotd_of(std::array<double, rotation_angles> peaks) {
    std::sort(peaks.begin(), peaks.end());
    return {peaks[0], (peaks[89] + peaks[90]) / 2, peaks[rotation_angles - 1]};
}

std::array<double, rotation_angles> rotated_peaks_plain(std::span<const double> x1,
                                                        std::span<const double> x2) {
    const AngleTable& table = angle_table();
    std::array<double, rotation_angles> peaks{};
    for (std::size_t angle = 0; angle < rotation_angles; ++angle) {
        double peak = 0;
        for (std::size_t i = 0; i < x1.size(); ++i)
            peak = std::max(peak, projection(x1[i], x2[i], table, angle));
        peaks[angle] = peak;
    }
    return peaks;
}

RotationSearch::RotationSearch(const Probes& probes) {
    const AngleTable& table = angle_table();
    for (std::size_t angle = 0; angle < rotation_angles; ++angle) {
        double bound = 0;
        for (const Point& point : probes.point)
            bound = std::max(bound, projection(point.x1, point.x2, table, angle));
        bound_[angle] = bound;
    }
    threshold_ = *std::min_element(bound_.begin(), bound_.end());
    const double inside = threshold_ * (1 - 1e-9);
    drop_below_ = inside * inside;
}

std::array<double, rotation_angles> RotationSearch::peaks() {
    // Farthest first (no survivor has a NaN distance: it fails the second pass's test).
    std::sort(survivors_.begin(), survivors_.end(),
              [](const Point& a, const Point& b) { return a.radius > b.radius; });
    const AngleTable& table = angle_table();
    std::array<double, rotation_angles> peaks{};
    for (std::size_t angle = 0; angle < rotation_angles; ++angle) {
        double peak = bound_[angle];
        for (const Point& point : survivors_) {
            if (point.radius * (1 + margin) <= peak) break;
            peak = std::max(peak, projection(point.x1, point.x2, table, angle));
        }
        peaks[angle] = peak;
    }
    return peaks;
}

std::array<double, rotation_angles> rotated_peaks(std::span<const double> x1, std::span<const double> x2) {
    return rotated_peaks([&](auto&& take) {
        for (std::size_t i = 0; i < x1.size(); ++i) take(x1[i], x2[i]);
    });
}

}  // namespace smwave::response

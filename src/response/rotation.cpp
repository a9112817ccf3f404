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

namespace {

// The probes of stored series: what Probes::take() finds point by point, with the four directions'
// largest values and their places held in locals rather than in the struct.
RotationSearch::Probes probes_of(std::span<const double> x1, std::span<const double> x2) {
    constexpr std::size_t none = static_cast<std::size_t>(-1);
    double along0 = 0, along1 = 0, along2 = 0, along3 = 0;
    std::size_t at0 = none, at1 = none, at2 = none, at3 = none;
    for (std::size_t i = 0; i < x1.size(); ++i) {
        const double a = x1[i], b = x2[i];
        const double now0 = std::abs(a), now1 = std::abs(a + b), now2 = std::abs(b), now3 = std::abs(a - b);
        if (now0 > along0) {
            along0 = now0;
            at0 = i;
        }
        if (now1 > along1) {
            along1 = now1;
            at1 = i;
        }
        if (now2 > along2) {
            along2 = now2;
            at2 = i;
        }
        if (now3 > along3) {
            along3 = now3;
            at3 = i;
        }
    }
    RotationSearch::Probes probes;
    const double along[4] = {along0, along1, along2, along3};
    const std::size_t at[4] = {at0, at1, at2, at3};
    for (int d = 0; d < 4; ++d) {
        probes.along[d] = along[d];
        if (at[d] != none) probes.point[d] = {0, x1[at[d]], x2[at[d]]};
    }
    return probes;
}

}  // namespace

std::array<double, rotation_angles> rotated_peaks(std::span<const double> x1, std::span<const double> x2) {
    RotationSearch search(probes_of(x1, x2));
    for (std::size_t i = 0; i < x1.size(); ++i) search.second(x1[i], x2[i]);
    return search.peaks();
}

}  // namespace smwave::response

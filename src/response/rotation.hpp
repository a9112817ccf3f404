#pragma once
// Orientation-independent peaks of a pair of horizontal motions x1(t), x2(t): the peak of
// |x1 cos(theta) + x2 sin(theta)| at each of the 180 angles theta = 0, 1, ..., 179 degrees, sorted,
// give RotD00 (the smallest), RotD50 (the mean of the 90th and 91st) and RotD100 (the largest).
//
// rotated_peaks() takes the points through a visitor it may call twice, so a caller can generate them
// (an oscillator stepped again) rather than store them:
//
//     auto peaks = rotated_peaks([&](auto&& take) { for (i...) take(x1[i], x2[i]); });
//     RotD d = rotd_of(peaks);
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

namespace smwave::response {

inline constexpr std::size_t rotation_angles = 180;

// cos and sin of every angle in whole degrees, exact at 0 and 90 degrees (cos 90 = 0, sin 90 = 1).
struct AngleTable {
    std::array<double, rotation_angles> cosine{}, sine{};
};
const AngleTable& angle_table();

// One angle's projection, the expression every peak search below evaluates.
inline double projection(double x1, double x2, const AngleTable& table, std::size_t angle) {
    return std::abs(x1 * table.cosine[angle] + x2 * table.sine[angle]);
}

struct RotD {
    double rotd00 = 0, rotd50 = 0, rotd100 = 0;
};

// RotD00, RotD50 and RotD100 of the 180 peaks, one per angle.
RotD rotd_of(std::array<double, rotation_angles> peaks);

// The peaks by the plain definition: every angle over every point. NaN points are passed over, here
// and by the pruned search alike; the points are otherwise finite or infinite.
std::array<double, rotation_angles> rotated_peaks_plain(std::span<const double> x1,
                                                        std::span<const double> x2);

// The pruned search behind rotated_peaks(), fed the points twice.
//
// First pass: for each of the probe directions 0, 45, 90 and 135 degrees the point of the largest
// projection on it; their projections on each angle are lower bounds of that angle's peak. Second
// pass: only points whose distance from the origin exceeds the smallest bound can be an angle's peak;
// the rest are dropped. The survivors, farthest first, are projected until the distance falls to the
// peak found, so each angle sees every point that could exceed its peak: the peaks are the same
// numbers the plain definition gives.
class RotationSearch {
  public:
    struct Point {
        double radius, x1, x2;
    };
    // The first pass's probe points.
    struct Probes {
        double along[4] = {0, 0, 0, 0};  // |x1|, |x1 + x2|, |x2|, |x1 - x2| (the last two unscaled)
        Point point[4] = {};
        void take(double x1, double x2) {
            const double along_now[4] = {std::abs(x1), std::abs(x1 + x2), std::abs(x2), std::abs(x1 - x2)};
            for (int d = 0; d < 4; ++d) {
                if (along_now[d] > along[d]) {
                    along[d] = along_now[d];
                    point[d] = {0, x1, x2};
                }
            }
        }
    };

    explicit RotationSearch(const Probes& probes);
    void second(double x1, double x2) {
        // Most points lie well inside the threshold: their squared distance, in the range where it is
        // exact enough, drops them before the square root.
        const double square = x1 * x1 + x2 * x2;
        if (square > 1e-280 && square < 1e280 && square <= drop_below_) return;
        const double radius = distance(x1, x2);
        if (radius * (1 + margin) > threshold_) survivors_.push_back({radius, x1, x2});
    }
    std::array<double, rotation_angles> peaks();

    // The distance from the origin, without the underflow of the squares of tiny values.
    static double distance(double x1, double x2) {
        const double square = x1 * x1 + x2 * x2;
        return square > 1e-280 && square < 1e280 ? std::sqrt(square) : std::hypot(x1, x2);
    }
    // A projection's rounding stays below 1e-15 of the distance; this margin covers it many times.
    static constexpr double margin = 1e-12;

  private:
    std::array<double, rotation_angles> bound_{};
    double threshold_ = 0;
    double drop_below_ = 0;  // (threshold (1 - 1e-9))^2: a square at most this is a distance below it
    std::vector<Point> survivors_;
};

// The 180 peaks of the points `visit` generates: visit(take) calls take(x1, x2) for every point, the
// same points in the same order each time it is called (twice).
template <typename Visit>
std::array<double, rotation_angles> rotated_peaks(Visit&& visit) {
    RotationSearch::Probes probes;
    visit([&probes](double x1, double x2) { probes.take(x1, x2); });
    RotationSearch search(probes);
    visit([&search](double x1, double x2) { search.second(x1, x2); });
    return search.peaks();
}

// The same for two stored series of equal length.
std::array<double, rotation_angles> rotated_peaks(std::span<const double> x1, std::span<const double> x2);

}  // namespace smwave::response

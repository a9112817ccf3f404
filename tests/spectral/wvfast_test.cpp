#include "spectral/wvfast.hpp"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <random>
#include <vector>

#include "spectral/constants.hpp"

namespace smwave {
namespace {

using Series = std::vector<Complex>;

Series random_series(std::int32_t n, std::uint32_t seed, std::int32_t spare = 0) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    Series a(n + spare);
    for (Complex& z : a) z = {value(engine), value(engine)};
    return a;
}

// A plan with storage of its own, as a caller makes one.
class Plan {
  public:
    explicit Plan(std::int32_t n) : storage_(wvfast_plan_size(n)), plan_(make_wvfast_plan(n, storage_)) {}
    operator const WvfastPlan&() const { return plan_; }

  private:
    std::vector<Complex> storage_;
    WvfastPlan plan_;
};

// Transforms the first n elements of `a` with a plan of its own.
void transform(Series& a, std::int32_t n, std::int32_t ind) { wvfast(std::span(a).first(n), Plan(n), ind); }

// The transform as first written: twiddle factors evaluated afresh for every butterfly, positions k
// outermost, elements counted from 1. The fast version must give these values bit for bit.
void reference_wvfast(std::int32_t n, Complex* first, std::int32_t ind) {
    Complex* a = first - 1;
    std::int32_t j = 1;
    for (std::int32_t i = 1; i <= n; ++i) {
        if (i < j) std::swap(a[i], a[j]);
        std::int32_t m = n / 2;
        while (j > m && m >= 1) {
            j -= m;
            m /= 2;
        }
        j += m;
    }
    for (std::int32_t kmax = 1; kmax < n; kmax *= 2) {
        for (std::int32_t k = 1; k <= kmax; ++k) {
            const double phi = double((k - 1) * ind) * pai / double(kmax);
            for (std::int32_t i = k; i <= n; i += 2 * kmax) {
                const std::int32_t jj = i + kmax;
                const double wr = std::cos(phi), wi = std::sin(phi);
                const double tr = a[jj].re * wr - a[jj].im * wi;
                const double ti = a[jj].re * wi + a[jj].im * wr;
                a[jj] = {a[i].re - tr, a[i].im - ti};
                a[i] = {a[i].re + tr, a[i].im + ti};
            }
        }
    }
}

void expect_same(const Complex& got, const Complex& want) {
    EXPECT_EQ(got.re, want.re);
    EXPECT_EQ(got.im, want.im);
}

TEST(Wvfast, LengthOneLeavesTheElement) {
    Series a = {{3.5, -2.25}};
    transform(a, 1, -1);
    expect_same(a[0], {3.5, -2.25});
}

TEST(Wvfast, LengthTwoIsSumAndDifferenceInBothDirections) {
    for (std::int32_t ind : {-1, +1}) {
        Series a = {{3, 0}, {5, 0}};
        transform(a, 2, ind);
        expect_same(a[0], {8, 0});
        expect_same(a[1], {-2, 0});
    }
}

TEST(Wvfast, LengthFourImpulsesCarryTheAngleConstant) {
    // The quarter-turn factor is (cos(pai/2), sin(pai/2)). With pai = pi + d, cos(pi/2 + d/2) is
    // -sin(d/2) = -d/2 to within d^3/48 (about 1e-30), and sin(pi/2 + d/2) rounds to 1. d is the
    // exact difference of two doubles less pi minus its nearest double (1.2246467991473531772e-16).
    const long double d = static_cast<long double>(pai - std::numbers::pi) - 1.2246467991473531772e-16L;
    const double c = static_cast<double>(-d / 2);
    ASSERT_NEAR(c, -2.051e-10, 1e-13);

    Series first = {{1, 0}, {0, 0}, {0, 0}, {0, 0}};
    transform(first, 4, -1);
    for (std::int32_t q = 0; q < 4; ++q) expect_same(first[q], {1, 0});

    const Series forward = {{1, 0}, {c, -1}, {-1, 0}, {-c, 1}};
    const Series backward = {{1, 0}, {c, 1}, {-1, 0}, {-c, -1}};
    for (std::int32_t ind : {-1, +1}) {
        Series a = {{0, 0}, {1, 0}, {0, 0}, {0, 0}};
        transform(a, 4, ind);
        const Series& want = ind < 0 ? forward : backward;
        for (std::int32_t q = 0; q < 4; ++q) {
            // Within one unit in the last place of the tiny real parts; the others are exact.
            EXPECT_NEAR(a[q].re, want[q].re, 1e-25) << "q=" << q;
            EXPECT_EQ(a[q].im, want[q].im) << "q=" << q;
        }
    }
}

TEST(Wvfast, MatchesTheButterflyByButterflyOrderBitForBit) {
    for (std::int32_t n : {8, 512, 4096, 131072}) {
        const Plan plan(n);
        for (std::int32_t ind : {-1, +1, -2}) {
            // -2: a forward transform of a real series, as a run makes them (zero parts keep their sign).
            Series fast = random_series(n, n);
            if (ind == -2) {
                for (Complex& z : fast) z.im = 0.0;
                ind = -1;
            }
            Series slow = fast;
            wvfast(fast, plan, ind);
            reference_wvfast(n, slow.data(), ind);
            for (std::int32_t q = 0; q < n; ++q) {
                ASSERT_EQ(std::bit_cast<std::uint64_t>(fast[q].re), std::bit_cast<std::uint64_t>(slow[q].re))
                    << "n=" << n << " q=" << q;
                ASSERT_EQ(std::bit_cast<std::uint64_t>(fast[q].im), std::bit_cast<std::uint64_t>(slow[q].im))
                    << "n=" << n << " q=" << q;
            }
        }
    }
}

TEST(Wvfast, AgreesWithTheDirectSumWithinTheAngleConstantBound) {
    for (std::int32_t n : {4, 16, 256, 2048, 131072}) {
        for (std::int32_t ind : {-1, +1}) {
            const Series input = random_series(n, 7 * n);
            Series a = input;
            transform(a, n, ind);

            long double magnitude = 0;
            for (std::int32_t p = 0; p < n; ++p) magnitude += std::hypot(input[p].re, input[p].im);
            // w(r) for r = 0..n-1 in extended precision.
            std::vector<long double> wr(n), wi(n);
            for (std::int32_t r = 0; r < n; ++r) {
                const long double angle = 2 * std::numbers::pi_v<long double> * r / n;
                wr[r] = std::cos(angle);
                wi[r] = ind * std::sin(angle);
            }
            // Every bin at the small lengths; a spread of bins at the large ones.
            const std::int32_t stride = n <= 2048 ? 1 : n / 16 + 1;
            for (std::int32_t q = 0; q < n; q += stride) {
                long double re = 0, im = 0;
                for (std::int32_t p = 0; p < n; ++p) {
                    const std::int32_t r = std::int32_t((std::int64_t(p) * q) % n);
                    re += input[p].re * wr[r] - input[p].im * wi[r];
                    im += input[p].re * wi[r] + input[p].im * wr[r];
                }
                ASSERT_LE(std::fabs(a[q].re - re), 1e-8 * magnitude) << "n=" << n << " q=" << q;
                ASSERT_LE(std::fabs(a[q].im - im), 1e-8 * magnitude) << "n=" << n << " q=" << q;
            }
        }
    }
}

TEST(Wvfast, ForwardThenBackwardWithOnePlanGivesLengthTimesTheInput) {
    for (std::int32_t n : {4, 1024, 131072}) {
        const Plan plan(n);
        const Series input = random_series(n, n + 1);
        Series a = input;
        wvfast(a, plan, -1);
        wvfast(a, plan, +1);
        for (std::int32_t p = 0; p < n; ++p) {
            ASSERT_NEAR(a[p].re / n, input[p].re, 1e-14) << "n=" << n << " p=" << p;
            ASSERT_NEAR(a[p].im / n, input[p].im, 1e-14) << "n=" << n << " p=" << p;
        }
    }
}

TEST(Wvfast, LeavesElementsAboveTheLengthUntouched) {
    const std::int32_t n = 64, spare = 5;
    const Series input = random_series(n, 3, spare);
    Series a = input;
    transform(a, n, -1);
    for (std::int32_t p = n; p < n + spare; ++p) expect_same(a[p], input[p]);
}

}  // namespace
}  // namespace smwave

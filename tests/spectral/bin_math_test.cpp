#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <span>

#include "spectral/band_pass.hpp"
#include "spectral/complex_math.hpp"
#include "spectral/constants.hpp"
#include "spectral/frequency_grid.hpp"
#include "spectral/integration.hpp"
#include "spectral/transform_length.hpp"

namespace smwave {
namespace {

TEST(TransformLength, IsTheNextPowerOfTwoFromFourUpTo131072) {
    struct Case {
        std::int32_t nt, nf, if1;
    };
    for (const Case& c :
         {Case{0, 4, 2}, Case{1, 4, 2}, Case{2, 4, 2}, Case{3, 4, 2}, Case{4, 4, 2}, Case{5, 8, 3},
          Case{1000, 1024, 10}, Case{1024, 1024, 10}, Case{4096, 4096, 12}, Case{131072, 131072, 17}}) {
        const auto length = transform_length(c.nt);
        ASSERT_TRUE(length.has_value()) << "nt=" << c.nt;
        EXPECT_EQ(length->nf, c.nf) << "nt=" << c.nt;
        EXPECT_EQ(length->if1, c.if1) << "nt=" << c.nt;
    }
}

TEST(TransformLength, RefusesMoreThan131072Samples) {
    EXPECT_FALSE(transform_length(131073).has_value());
    EXPECT_FALSE(transform_length(132000).has_value());
}

// The quotient q of two doubles is correctly rounded when q*b - a, formed exactly by a fused
// multiply-add, is at most half a unit in the last place of q times b.
void expect_correctly_rounded_quotient(double q, double a, double b) {
    const double residual = std::fma(q, b, -a);
    const double half_ulp = (std::nextafter(q, 2 * q) - q) / 2;
    EXPECT_LE(std::fabs(residual), half_ulp * b) << q << " = " << a << " / " << b;
}

TEST(FrequencyGrid, ReportsOneBinAboveNyquistForFortyNinetySixSamples) {
    const FrequencyGrid grid = frequency_grid(4096, 0.01);
    // 4096 is a power of two, so 4096 * 0.01 is the double nearest 40.96.
    EXPECT_EQ(grid.dur, 40.96);
    EXPECT_EQ(grid.nom, 2049);
    // In decimals, dom = 6.283185307 / 40.96 = 628.3185307 / 4096 = 0.1533980787841796875 and
    // eom = 2049 dom = 314.3126634287841796875; the doubles lie within two units in the last place.
    EXPECT_NEAR(grid.dom, 0.1533980787841796875, 6e-17);
    EXPECT_NEAR(grid.eom, 314.3126634287841796875, 1.2e-13);
    expect_correctly_rounded_quotient(grid.dom, two_pi, grid.dur);
    EXPECT_EQ(grid.eom, 2049 * grid.dom);
    // The highest frequency reported is 2049 / 40.96 = 50.0244140625 Hz, one bin above Nyquist (50 Hz).
    EXPECT_NEAR(grid.eom / two_pi, 50.0244140625, 3e-14);
}

TEST(IntegrateBin, DividesOrMultipliesByTheAngularFrequency) {
    struct Case {
        std::int32_t nit;
        Complex want;
    };
    for (const Case& c : {Case{1, {2, -1}}, Case{2, {-0.5, -1}}, Case{3, {-8, 4}}, Case{0, {2, 4}},
                          Case{4, {2, 4}}, Case{-1, {2, 4}}}) {
        const Complex got = integrate_bin({2, 4}, 2.0, c.nit);
        EXPECT_EQ(got.re, c.want.re) << "nit=" << c.nit;
        EXPECT_EQ(got.im, c.want.im) << "nit=" << c.nit;
    }
}

TEST(IntegrateBins, LeavesTheZeroFrequencyBinAlone) {
    Complex fx[3] = {{7, 3}, {2, 4}, {1, 1}};
    integrate_bins(std::span(fx).first(2), 2.0, nit_differentiate);
    EXPECT_EQ(fx[0].re, 7);
    EXPECT_EQ(fx[0].im, 3);
    EXPECT_EQ(fx[1].re, -8);  // the second bin, at omega 2
    EXPECT_EQ(fx[2].re, 1);   // beyond the span
}

TEST(Divided, PivotsOnTheLargerPartWithoutOverflow) {
    const Complex q = divided({1e300, 1e300}, {1e300, 1e300});
    EXPECT_DOUBLE_EQ(q.re, 1.0);
    EXPECT_DOUBLE_EQ(q.im, 0.0);
}

TEST(Modulus, AvoidsOverflowAndIgnoresANegligiblePart) {
    EXPECT_EQ(modulus({3, -4}), 5);
    EXPECT_EQ(modulus({0, 0}), 0);
    EXPECT_EQ(modulus({-2, 1e-20}), 2);
    EXPECT_DOUBLE_EQ(modulus({3e300, 4e300}), 5e300);
}

// The worked case of the dialogue: corners 0.1, 0.2, 20 and 25 Hz on 4096 samples at 0.01 s.
TEST(BandPass, ClearsOutsideTheBandAndKeepsThePassBandExact) {
    const BandCorners corners = band_corners_from_hz(0.1, 0.2, 20, 25);
    const FrequencyGrid grid = frequency_grid(4096, 0.01);
    const Complex bin = {1.25, -0.5};
    for (std::int32_t k = 0; k < grid.nom; ++k) {
        const double hz = k / grid.dur;
        const Complex got = band_pass_bin(bin, bin_omega(k, grid.dom), corners);
        const double weight = got.re / bin.re;
        if (hz < 0.1 || hz > 25.0001) {
            EXPECT_EQ(modulus(got), 0) << "bin " << k;
        } else if (hz > 0.2001 && hz < 19.999) {
            EXPECT_EQ(got.re, bin.re) << "bin " << k;
            EXPECT_EQ(got.im, bin.im) << "bin " << k;
        } else {
            EXPECT_GE(weight, 0) << "bin " << k;
            EXPECT_LE(weight, 1) << "bin " << k;
        }
    }
    // Ramps in Hz: a quarter, half and three quarters of the way up from 0.1 to 0.2 Hz and down from
    // 20 to 25 Hz (the corners' rounding moves these by a few units in the last place).
    struct Case {
        double hz, weight;
    };
    for (const Case c : {Case{0.125, 0.25}, Case{0.15, 0.5}, Case{0.175, 0.75}, Case{21.25, 0.75},
                         Case{22.5, 0.5}, Case{23.75, 0.25}}) {
        EXPECT_NEAR(band_pass_weight(c.hz * two_pi, corners), c.weight, 1e-12) << c.hz << " Hz";
    }
}

// Corners in rad/s that are small whole numbers, so that every weight is an exact binary fraction.
TEST(BandPass, WeightsFollowTheTrapezoidExactly) {
    const BandCorners corners = {1, 3, 10, 14};
    struct Case {
        double omega, weight;
    };
    for (const Case c :
         {Case{0, 0}, Case{1, 0}, Case{1.5, 0.25}, Case{2, 0.5}, Case{2.5, 0.75}, Case{3, 1}, Case{6, 1},
          Case{10, 1}, Case{11, 0.75}, Case{12, 0.5}, Case{13, 0.25}, Case{14, 0}, Case{20, 0}}) {
        EXPECT_EQ(band_pass_bin({4, -8}, c.omega, corners).re, 4 * c.weight) << "omega=" << c.omega;
        EXPECT_EQ(band_pass_bin({4, -8}, c.omega, corners).im, -8 * c.weight) << "omega=" << c.omega;
    }
}

TEST(BandPass, OverlappingRampsTakeTheFallingOne) {
    const BandCorners corners = {0, 10, 2, 12};
    EXPECT_EQ(band_pass_weight(4, corners), 0.8);  // (12 - 4) / (12 - 2), not (4 - 0) / (10 - 0)
}

TEST(BandPass, EqualCornersActAsStepsWithoutNaN) {
    const BandCorners corners = {2, 2, 8, 8};
    struct Case {
        double omega, weight;
    };
    for (const Case& c :
         {Case{0, 0}, Case{1.999, 0}, Case{2, 1}, Case{5, 1}, Case{8, 1}, Case{8.001, 0}, Case{100, 0}}) {
        const Complex got = band_pass_bin({3, -2}, c.omega, corners);
        EXPECT_FALSE(std::isnan(got.re) || std::isnan(got.im)) << "omega=" << c.omega;
        EXPECT_EQ(got.re, 3 * c.weight) << "omega=" << c.omega;
        EXPECT_EQ(got.im, -2 * c.weight) << "omega=" << c.omega;
    }
}

}  // namespace
}  // namespace smwave

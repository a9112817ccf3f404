#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

#include "spectral/band_pass.hpp"
#include "spectral/complex_math.hpp"
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
    EXPECT_FALSE(transform_length(capacity).has_value());
}

TEST(FrequencyGrid, ReportsOneBinAboveNyquistForFortyNinetySixSamples) {
    const FrequencyGrid grid = frequency_grid(4096, 0.01);
    EXPECT_EQ(grid.dur, 40.96);
    EXPECT_EQ(grid.dom, 0.1533980787841797);
    EXPECT_EQ(grid.nom, 2049);
    EXPECT_EQ(grid.eom, 314.31266342878416);
    EXPECT_EQ(grid.eom / 6.283185307, 50.02441406249999);
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
    Complex fx[4] = {{0, 0}, {7, 3}, {2, 4}, {1, 1}};
    integrate_bins(fx, 2, 2.0, nit_differentiate);
    EXPECT_EQ(fx[1].re, 7);
    EXPECT_EQ(fx[1].im, 3);
    EXPECT_EQ(fx[2].re, -8);  // bin 2 at omega 2
    EXPECT_EQ(fx[3].re, 1);   // beyond nom
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
    for (std::int32_t i = 1; i <= grid.nom; ++i) {
        const double hz = (i - 1) / grid.dur;
        const Complex got = band_pass_bin(bin, bin_omega(i, grid.dom), corners);
        const double weight = got.re / bin.re;
        if (hz < 0.1 || hz > 25.0001) {
            EXPECT_EQ(modulus(got), 0) << "bin " << i;
        } else if (hz > 0.2001 && hz < 19.999) {
            EXPECT_EQ(got.re, bin.re) << "bin " << i;
            EXPECT_EQ(got.im, bin.im) << "bin " << i;
        } else {
            EXPECT_GE(weight, 0) << "bin " << i;
            EXPECT_LE(weight, 1) << "bin " << i;
        }
    }
    EXPECT_EQ(band_pass_weight(0.15 * 6.283185307, corners),
              (0.15 * 6.283185307 - corners.oml1) / (corners.oml2 - corners.oml1));
    EXPECT_DOUBLE_EQ(band_pass_weight(22.5 * 6.283185307, corners), 0.5);
}

TEST(BandPass, OverlappingRampsTakeTheFallingOne) {
    const BandCorners corners = {0, 10, 2, 12};
    EXPECT_EQ(band_pass_weight(4, corners), (12.0 - 4) / (12 - 2));
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

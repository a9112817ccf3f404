// The measures as contracts on signals whose values are known exactly: a sine over whole cycles, a ramp
// of the squared acceleration, a flat spectrum, and Housner's intensity against the spectra integrated
// here.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "measures/jma_intensity.hpp"
#include "measures/konno_ohmachi.hpp"
#include "measures/measure_rows.hpp"
#include "measures/padded_spectrum.hpp"
#include "measures/time_measures.hpp"
#include "response/spectrum.hpp"
#include "support/motions.hpp"

namespace smwave::measures {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double dt = 0.01;

// amplitude sin(2 pi frequency t) over `cycles` whole cycles at 100 samples a second, both ends at 0.
std::vector<double> sine(double amplitude, double frequency, int cycles) {
    const auto samples = static_cast<std::size_t>(std::lround(cycles / frequency / dt)) + 1;
    std::vector<double> a(samples);
    for (std::size_t i = 0; i < samples; ++i) a[i] = amplitude * std::sin(2 * pi * frequency * i * dt);
    a.back() = 0;
    return a;
}

using testing::random_pair;

response::GroundRecord record_of(std::vector<double> x1, std::vector<double> x2, std::vector<double> x3) {
    response::GroundRecord record;
    record.components = {std::move(x1), std::move(x2), std::move(x3)};
    record.dt = dt;
    return record;
}

TEST(Accuracy, SineOverWholeCyclesGivesTheClosedForms) {
    // 40 cycles of 1 Hz: 50 samples a half cycle, so sum a^2 = A^2 N / 2 and sum |a| = A 80 cot(pi / 100).
    struct Case {
        double amplitude, cav5_share,
            standardized_share;  // CAV5 (NaN: not known) and standardized CAV as shares of CAV
    };
    // The smallest |a| but 0 is A sin(pi / 50): at 100 cm/s/s above 5, at 4 cm/s/s below.
    for (const Case c : {Case{100, 1, 1}, Case{24, NAN, 0}, Case{4, 0, 0}}) {
        SCOPED_TRACE(c.amplitude);
        const std::vector<double> a = sine(c.amplitude, 1, 40);
        const double A = c.amplitude;
        const double arias = pi / (2 * 9.80665) * (A * A * 1e-4) * 2000 * dt;
        const double cav = A * 80 / std::tan(pi / 100) * dt;
        EXPECT_NEAR(arias_intensity(a, dt), arias, 1e-12 * arias);
        EXPECT_NEAR(cumulative_absolute_velocity(a, dt), cav, 1e-12 * cav);
        if (!std::isnan(c.cav5_share)) {
            EXPECT_NEAR(cumulative_absolute_velocity(a, dt, 5), c.cav5_share * cav, 1e-12 * cav);
        }
        EXPECT_NEAR(standardized_cav(a, dt), c.standardized_share * cav, 1e-12 * cav);
        // The Husid curve reaches k / 80 at the end of half cycle k: 5 % at 4, 75 % at 60, 95 % at 76.
        EXPECT_NEAR(significant_duration(a, dt, 0.05, 0.75), 28, 1e-9);
        EXPECT_NEAR(significant_duration(a, dt, 0.05, 0.95), 36, 1e-9);
        // The first sample at or above 0.05 g lies ceil(100 asin(0.05 g / A) / (2 pi)) into the first
        // cycle, the last as far before the end.
        const double threshold = 0.05 * gravity;
        const double bracketed =
            A < threshold ? 0 : (4000 - 2 * std::ceil(100 * std::asin(threshold / A) / (2 * pi))) * dt;
        EXPECT_NEAR(bracketed_duration(a, dt), bracketed, 1e-9);
    }
}

TEST(Accuracy, RampOfEnergyGivesTheInterpolatedDurations) {
    // a^2 = i over N = 1000 intervals: the trapezoid rule is exact, H(i) = (i / N)^2, and H reaches p
    // between the samples i - 1 and i = ceil(N sqrt(p)).
    constexpr int intervals = 1000;
    std::vector<double> a(intervals + 1);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = (i % 2 ? -1 : 1) * std::sqrt(static_cast<double>(i));
    const auto reaching = [](double p) {
        const double i = std::ceil(intervals * std::sqrt(p));
        const double below = std::pow((i - 1) / intervals, 2), above = std::pow(i / intervals, 2);
        return (i - 1 + (p - below) / (above - below)) * dt;
    };
    EXPECT_NEAR(significant_duration(a, dt, 0.05, 0.75), reaching(0.75) - reaching(0.05), 1e-12);
    EXPECT_NEAR(significant_duration(a, dt, 0.05, 0.95), reaching(0.95) - reaching(0.05), 1e-12);
    EXPECT_TRUE(std::isnan(significant_duration(std::vector<double>(50, 0.0), dt, 0.05, 0.95)));
}

TEST(Accuracy, JmaIntensityOfASineFollowsTheFilterAtItsFrequency) {
    // One component, 120 cycles of 1 Hz with crests on samples, brought in and out over 20 s by a cosine
    // taper so that the ends set off no transient: a = A F(1 Hz) on the crests between the tapers.
    std::vector<double> a = sine(100, 1, 120);
    for (std::size_t i = 0; i < 2000; ++i) {
        const double taper = (1 - std::cos(pi * i / 2000.0)) / 2;
        a[i] *= taper;
        a[a.size() - 1 - i] *= taper;
    }
    const std::vector<double> zeros(a.size(), 0.0);
    const PaddedTransform transform(padded_length(a.size()));
    EXPECT_GE(transform.length(), static_cast<std::int32_t>(a.size() * 1.1));
    const JmaIntensity jma = jma_intensity(
        {transform.forward(a), transform.forward(zeros), transform.forward(zeros)}, transform, a.size(), dt);
    EXPECT_NEAR(jma.intensity, 2 * std::log10(100 * jma_filter(1)) + 0.94, 1e-4);
    EXPECT_EQ(jma_filter(0), 0);
}

TEST(Accuracy, JmaPublishedValueAndGrade) {
    const struct {
        double intensity, published;
        const char* grade;
    } cases[] = {{0.4, 0.4, "0"},    {-1.2, -1.2, "0"},  {1.4, 1.4, "1"},     {1.5, 1.5, "2"},
                 {3.4999, 3.5, "4"}, {4.4994, 4.4, "4"}, {4.4996, 4.5, "5-"}, {5.0, 5.0, "5+"},
                 {5.51, 5.5, "6-"},  {6.0, 6.0, "6+"},   {6.4999, 6.5, "7"},  {7.3, 7.3, "7"}};
    for (const auto& c : cases) {
        const JmaIntensity jma = jma_from_intensity(c.intensity);
        EXPECT_NEAR(jma.published, c.published, 1e-12) << c.intensity;
        EXPECT_EQ(jma.grade, c.grade) << c.intensity;
    }
}

TEST(Accuracy, KonnoOhmachiIsFlatOnAFlatSpectrumAndTheWindowsMeanElsewhere) {
    // 1000 bins (blocks and a shorter last one), centres on a bin, between bins, at both ends.
    const std::size_t bins = 1000;
    const double spacing = 100.0 / 2048;
    const KonnoOhmachi smoothing(bins, spacing);
    std::mt19937 random(2);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> flat(bins, 3.5), rough(bins);
    for (double& value : rough) value = unit(random);
    const std::array<std::span<const double>, 2> spectra{flat, rough};
    const std::vector<double> centres{0.01, spacing * 17, spacing * 17.5, 1.0, 7.3, spacing * bins};
    const auto smoothed = smoothing.smooth(spectra, centres);
    for (std::size_t c = 0; c < centres.size(); ++c) {
        SCOPED_TRACE(centres[c]);
        EXPECT_NEAR(smoothed[c][0], 3.5, 1e-12);
        // The window written out with its own sine at every bin.
        double sum = 0, weights = 0;
        for (std::size_t k = 0; k < bins; ++k) {
            const double x = 40 * std::log10((k + 1) * spacing / centres[c]);
            const double w = x == 0 ? 1 : std::pow(std::sin(x) / x, 4);
            sum += w * rough[k];
            weights += w;
        }
        EXPECT_NEAR(smoothed[c][1], sum / weights, 1e-12 * sum / weights);
    }
    // Shared among threads, every centre's sums are added as on one.
    EXPECT_EQ(smoothing.smooth(spectra, centres, 4), smoothed);
}

TEST(Accuracy, HousnerIntensityIsThePseudoVelocityIntegratedOverPeriod) {
    const auto pair = random_pair(1500, 3);
    const std::vector<double>& x1 = pair[0];
    const std::vector<double>& x2 = pair[1];
    MeasureInputs inputs;
    inputs.acceleration = record_of(x1, x2, x1);
    inputs.frequencies = {};
    const std::vector<MeasureRow> rows = measure_rows(inputs);
    const auto housner =
        std::find_if(rows.begin(), rows.end(), [](const MeasureRow& r) { return r.measure == "housner_si"; });
    ASSERT_NE(housner, rows.end());
    // The same integral by the composite rule written as interior weights 1 and end weights 1/2.
    std::vector<double> periods;
    for (int k = 0; k <= 240; ++k) periods.push_back(0.1 + 0.01 * k);
    const auto spectra = response::response_spectra(inputs.acceleration, {0.05}, periods, 1);
    for (std::size_t c = 0; c < 2; ++c) {
        double sum = -(spectra.front().psv[c] + spectra.back().psv[c]) / 2;
        for (const auto& row : spectra) sum += row.psv[c];
        EXPECT_NEAR(std::stod(housner->cells[c]), sum * 0.01, 1e-9 * sum) << c;
    }
}

}  // namespace
}  // namespace smwave::measures

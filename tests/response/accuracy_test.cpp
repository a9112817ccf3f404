// The oscillator's accuracy as contracts: closed-form steady states, an independent Runge-Kutta
// integration, peaks between samples, and the limits of very stiff and very soft oscillators.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <random>

#include "response/oscillator.hpp"
#include "response/spectrum.hpp"

namespace smwave::response {
namespace {

constexpr double pi = std::numbers::pi;

// A random band-limited record starting at rest: white noise smoothed by three passes of a moving
// average of `width` samples, then tapered to 0 at its start.
std::vector<double> band_limited(std::size_t samples, unsigned seed, int width = 8) {
    std::mt19937 random(seed);
    std::normal_distribution<double> noise(0, 100);
    std::vector<double> a(samples);
    for (double& value : a) value = noise(random);
    for (int pass = 0; pass < 3; ++pass) {
        std::vector<double> smooth(samples, 0);
        for (std::size_t i = 0; i < samples; ++i) {
            for (int j = 0; j < width && j <= static_cast<int>(i); ++j) smooth[i] += a[i - j] / width;
        }
        a = smooth;
    }
    for (std::size_t i = 0; i < 20 && i < samples; ++i) a[i] *= i / 20.0;
    return a;
}

GroundRecord three_of(const std::vector<double>& a, double dt) {
    GroundRecord record;
    record.components = {a, a, a};
    for (double& value : record.components[1]) value = -value;
    for (double& value : record.components[2]) value *= 0.5;
    record.dt = dt;
    return record;
}

Peaks peaks_of(std::span<const double> a, double period, double zeta, double dt, int count) {
    std::array<OscillatorState, 1> state{};
    return respond<1>(interval_map(period, zeta, dt, count), {a}, state)[0];
}

TEST(Accuracy, HarmonicGroundMotionReachesTheClosedFormSteadyState) {
    // a = sin(2 pi t), 4000 samples a cycle, 3 whole cycles; the oscillator starts on the steady state of
    // the exact sine, so what is left after the cycles measures the amplitude. Interpolated linearly, the
    // sine's own amplitude is sinc^2(forcing dt / 2).
    constexpr int per_cycle = 4000, cycles = 3;
    const double dt = 1.0 / per_cycle, forcing = 2 * pi;
    const double sinc = std::sin(forcing * dt / 2) / (forcing * dt / 2);
    std::vector<double> a(per_cycle * cycles + 1);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = std::sin(forcing * i * dt);
    for (const double zeta : {0.02, 0.05, 0.2}) {
        for (const double period : {0.1, 0.2, 0.5, 0.9, 1.0, 1.1, 2.0, 5.0, 10.0}) {
            const double omega = 2 * pi / period, r = forcing / omega;
            const double amplitude = 1 / (omega * omega * std::hypot(1 - r * r, 2 * zeta * r));
            const double lag = std::atan2(2 * zeta * r, 1 - r * r);
            // u = -amplitude sin(forcing t - lag)
            std::array<OscillatorState, 1> state{
                {{amplitude * std::sin(lag), -amplitude * forcing * std::cos(lag)}}};
            respond<1>(interval_map(period, zeta, dt, sub_steps(period, dt)), {a}, state);
            const double measured = std::hypot(state[0].u, state[0].v / forcing);
            EXPECT_NEAR(measured / (amplitude * sinc * sinc), 1, 1e-6)
                << "zeta " << zeta << " period " << period;
        }
    }
}

// u'' = -a - 2 zeta omega u' - omega^2 u by fourth-order Runge-Kutta, 200 steps per sub-step of the
// grid ceil(10 dt / T), the excitation interpolated linearly; peaks over the grid.
Peaks runge_kutta_peaks(const std::vector<double>& a, double period, double zeta, double dt) {
    const double omega = 2 * pi / period;
    const int grid = static_cast<int>(std::ceil(10 * dt / period)), steps = 200;
    const double h = dt / grid / steps;
    const auto acceleration = [&](double u, double v, double ground) {
        return -ground - 2 * zeta * omega * v - omega * omega * u;
    };
    double u = 0, v = 0;
    Peaks peaks;
    for (std::size_t i = 0; i + 1 < a.size(); ++i) {
        const auto ground = [&](double t) { return a[i] + (a[i + 1] - a[i]) * t / dt; };
        for (int step = 0; step < grid * steps; ++step) {
            const double t = step * h;
            const double k1u = v, k1v = acceleration(u, v, ground(t));
            const double k2u = v + h / 2 * k1v,
                         k2v = acceleration(u + h / 2 * k1u, v + h / 2 * k1v, ground(t + h / 2));
            const double k3u = v + h / 2 * k2v,
                         k3v = acceleration(u + h / 2 * k2u, v + h / 2 * k2v, ground(t + h / 2));
            const double k4u = v + h * k3v, k4v = acceleration(u + h * k3u, v + h * k3v, ground(t + h));
            u += h / 6 * (k1u + 2 * k2u + 2 * k3u + k4u);
            v += h / 6 * (k1v + 2 * k2v + 2 * k3v + k4v);
            if ((step + 1) % steps == 0) {
                peaks.displacement = std::max(peaks.displacement, std::abs(u));
                peaks.absolute_acceleration =
                    std::max(peaks.absolute_acceleration, std::abs(2 * zeta * omega * v + omega * omega * u));
            }
        }
    }
    return peaks;
}

TEST(Accuracy, PeaksAgreeWithAnIndependentRungeKuttaIntegration) {
    const double dt = 0.01;
    const std::vector<double> a = band_limited(300, 7);
    for (const double zeta : {0.05, 0.2}) {
        for (const double period : {0.01, 0.013, 0.02, 0.035, 0.05, 0.099, 0.1, 0.3, 1.0, 3.0, 10.0}) {
            const Peaks expected = runge_kutta_peaks(a, period, zeta, dt);
            const Peaks got = peaks_of(a, period, zeta, dt, sub_steps(period, dt));
            EXPECT_NEAR(got.displacement / expected.displacement, 1, 1e-6)
                << "zeta " << zeta << " period " << period;
            EXPECT_NEAR(got.absolute_acceleration / expected.absolute_acceleration, 1, 1e-6)
                << "zeta " << zeta << " period " << period;
        }
    }
}

TEST(Accuracy, SubStepsFindAPeakBetweenTwoSamples) {
    // One triangular pulse, then free vibration of period 3 dt, whose peaks fall between the samples.
    const double dt = 0.01, period = 0.03, zeta = 0.05;
    std::vector<double> a(40, 0.0);
    a[1] = 100;
    const double continuous = peaks_of(a, period, zeta, dt, max_sub_steps).displacement;
    const double at_samples = peaks_of(a, period, zeta, dt, 1).displacement;
    const double on_grid = peaks_of(a, period, zeta, dt, sub_steps(period, dt)).displacement;
    EXPECT_LT(at_samples, 0.9 * continuous);
    // Steps of at most T / 10 miss the crest by at most pi / 10 of phase.
    EXPECT_GE(on_grid, std::cos(pi / 10) * continuous);
    EXPECT_LE(on_grid, continuous);
}

TEST(Accuracy, StiffOscillatorsGiveThePeakGroundAccelerationSoftOnesThePeakGroundDisplacement) {
    const double dt = 0.01;
    const GroundRecord record = three_of(band_limited(2000, 11), dt);
    const std::vector<double> periods{0, dt / 100, dt / 1000, 1e4, 1e8};
    const std::vector<SpectrumRow> rows = response_spectra(record, {0.05}, periods, 1);
    for (std::size_t c = 0; c < 3; ++c) {
        // The ground's own motion, exactly for a linearly interpolated acceleration, from rest.
        double pga = 0, pgd = 0, velocity = 0, displacement = 0;
        const std::vector<double>& a = record.components[c];
        for (std::size_t i = 0; i < a.size(); ++i) {
            pga = std::max(pga, std::abs(a[i]));
            if (i + 1 == a.size()) break;
            displacement += velocity * dt + dt * dt * (a[i] / 3 + a[i + 1] / 6);
            velocity += dt * (a[i] + a[i + 1]) / 2;
            pgd = std::max(pgd, std::abs(displacement));
        }
        EXPECT_EQ(rows[0].sa[c], pga);
        EXPECT_EQ(rows[0].psa[c], pga);
        EXPECT_EQ(rows[0].sd[c], 0);
        EXPECT_EQ(rows[0].psv[c], 0);
        EXPECT_NEAR(rows[1].sa[c] / pga, 1, 1e-2);
        EXPECT_NEAR(rows[2].sa[c] / pga, 1, 1e-3);
        EXPECT_NEAR(rows[2].psa[c] / pga, 1, 1e-3);
        EXPECT_NEAR(rows[3].sd[c] / pgd, 1, 1e-2);
        EXPECT_NEAR(rows[4].sd[c] / pgd, 1, 1e-6);
    }
}

TEST(Accuracy, ThreadsChangeNothing) {
    const GroundRecord record = three_of(band_limited(500, 3), 0.01);
    const std::vector<double> periods{0, 0.01, 0.05, 0.2, 1, 4};
    const auto one = response_spectra(record, {0.02, 0.05}, periods, 1);
    const auto four = response_spectra(record, {0.02, 0.05}, periods, 4);
    ASSERT_EQ(one.size(), 12u);
    for (std::size_t i = 0; i < one.size(); ++i) {
        EXPECT_EQ(one[i].damping, four[i].damping);
        EXPECT_EQ(one[i].period, four[i].period);
        EXPECT_EQ(one[i].sd, four[i].sd);
        EXPECT_EQ(one[i].sa, four[i].sa);
    }
    EXPECT_EQ(one[7].damping, 0.05);
    EXPECT_EQ(one[7].period, 0.01);
}

TEST(Accuracy, DisplacementSpectraSteppedTogetherEqualTheSpectraOneByOne) {
    // Three components that differ; periods whose sub-step counts change within a run of lanes, an odd
    // count left for the last run, and a NaN that must stay in its own component's peaks.
    GroundRecord record = three_of(band_limited(700, 4), 0.01);
    std::reverse(record.components[2].begin(), record.components[2].end());
    const std::vector<double> periods{0.003, 0.004, 0.03, 0.05, 0.07, 0.09, 0.1, 0.5, 1, 2.5, 7};
    for (const bool with_nan : {false, true}) {
        if (with_nan) record.components[1][300] = std::nan("");
        const auto plain = response_spectra(record, {0.05}, periods, 1);
        for (const unsigned threads : {1u, 3u}) {
            const auto together = displacement_spectra(record, 0.05, periods, threads);
            ASSERT_EQ(together.size(), periods.size());
            for (std::size_t p = 0; p < periods.size(); ++p) {
                for (std::size_t c = 0; c < 3; ++c) {
                    const double expected = plain[p].sd[c], got = together[p][c];
                    EXPECT_TRUE(got == expected || (std::isnan(got) && std::isnan(expected)))
                        << "period " << periods[p] << " component " << c << ": " << got << " != " << expected;
                    EXPECT_EQ(std::isnan(got), with_nan && c == 1);
                }
            }
        }
    }
}

}  // namespace
}  // namespace smwave::response

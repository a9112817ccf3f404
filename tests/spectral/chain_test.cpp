// The whole frequency-domain chain on one component, without the dialogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <span>
#include <vector>

#include "spectral/frequency_grid.hpp"
#include "spectral/integration.hpp"
#include "spectral/spectrum_series.hpp"
#include "spectral/wvfast.hpp"

namespace smwave {
namespace {

// Transform, scale by dt, apply nit, mirror, transform back and divide by dur: nf output samples.
// x holds the nt input samples.
std::vector<double> run_chain(const std::vector<double>& x, std::int32_t nf, double dt, std::int32_t nit) {
    std::vector<Complex> storage(wvfast_plan_size(nf));
    const WvfastPlan plan = make_wvfast_plan(nf, storage);
    std::vector<Complex> fx(nf);
    std::vector<double> out(nf);
    load_padded(x, fx);
    wvfast(fx, plan, -1);
    scale_bins(fx, dt);
    const FrequencyGrid grid = frequency_grid(nf, dt);
    integrate_bins(std::span(fx).first(grid.nom), grid.dom, nit);
    mirror_conjugate(fx);
    wvfast(fx, plan, +1);
    unload_real(fx, grid.dur, out);
    return out;
}

TEST(Chain, WithoutChangesReproducesTheInputAndNearZeroPadding) {
    const std::int32_t nt = 1000, nf = 1024;
    std::vector<double> x(nt);
    for (std::int32_t i = 0; i < nt; ++i)
        x[i] = std::sin(0.05 * (i + 1)) + 0.3 * std::cos(1.7 * (i + 1)) + 0.01 * (i + 1);
    double largest = 0;
    for (const double v : x) largest = std::max(largest, std::fabs(v));
    const std::vector<double> out = run_chain(x, nf, 0.01, 0);
    for (std::int32_t i = 0; i < nt; ++i) ASSERT_NEAR(out[i], x[i], 5e-9 * largest) << "i=" << i;
    for (std::int32_t i = nt; i < nf; ++i) ASSERT_NEAR(out[i], 0, 5e-9 * largest) << "i=" << i;
}

TEST(Chain, IntegratesACosineAtABinFrequencyIntoASine) {
    const std::int32_t n = 4096, cycles = 37;
    const double dt = 0.01;
    const double two_pi_f0 = 2 * std::numbers::pi * cycles / (n * dt);
    std::vector<double> x(n);
    for (std::int32_t i = 0; i < n; ++i) x[i] = std::cos(two_pi_f0 * i * dt);
    const std::vector<double> out = run_chain(x, n, dt, nit_integrate);
    const double amplitude = 1 / two_pi_f0;
    for (std::int32_t i = 0; i < n; ++i) {
        ASSERT_NEAR(out[i], std::sin(two_pi_f0 * i * dt) * amplitude, 5e-9 * amplitude) << "i=" << i;
    }
}

}  // namespace
}  // namespace smwave

// The whole frequency-domain chain on one component, without the dialogue.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <vector>

#include "spectral/frequency_grid.hpp"
#include "spectral/integration.hpp"
#include "spectral/spectrum_series.hpp"
#include "spectral/wvfast.hpp"

namespace smwave {
namespace {

// Transform, scale by dt, apply nit, mirror, transform back and divide by dur: nf output samples.
std::vector<double> run_chain(const std::vector<double>& x, std::int32_t nt, std::int32_t nf, double dt,
                              std::int32_t nit) {
    std::vector<Complex> fx(nf + 1);
    std::vector<double> out(nf + 1);
    load_padded(x.data(), nt, nf, fx.data());
    wvfast(nf, fx.data(), capacity, -1);
    scale_bins(fx.data(), nf, dt);
    const FrequencyGrid grid = frequency_grid(nf, dt);
    integrate_bins(fx.data(), grid.nom, grid.dom, nit);
    mirror_conjugate(fx.data(), nf);
    wvfast(nf, fx.data(), capacity, +1);
    unload_real(fx.data(), nf, grid.dur, out.data());
    return out;
}

TEST(Chain, WithoutChangesReproducesTheInputAndNearZeroPadding) {
    const std::int32_t nt = 1000, nf = 1024;
    std::vector<double> x(nt + 1);
    for (std::int32_t i = 1; i <= nt; ++i) x[i] = std::sin(0.05 * i) + 0.3 * std::cos(1.7 * i) + 0.01 * i;
    double largest = 0;
    for (std::int32_t i = 1; i <= nt; ++i) largest = std::max(largest, std::fabs(x[i]));
    const std::vector<double> out = run_chain(x, nt, nf, 0.01, 0);
    for (std::int32_t i = 1; i <= nt; ++i) ASSERT_NEAR(out[i], x[i], 5e-9 * largest) << "i=" << i;
    for (std::int32_t i = nt + 1; i <= nf; ++i) ASSERT_NEAR(out[i], 0, 5e-9 * largest) << "i=" << i;
}

TEST(Chain, IntegratesACosineAtABinFrequencyIntoASine) {
    const std::int32_t n = 4096, cycles = 37;
    const double dt = 0.01;
    const double two_pi_f0 = 2 * std::numbers::pi * cycles / (n * dt);
    std::vector<double> x(n + 1);
    for (std::int32_t i = 1; i <= n; ++i) x[i] = std::cos(two_pi_f0 * (i - 1) * dt);
    const std::vector<double> out = run_chain(x, n, n, dt, nit_integrate);
    const double amplitude = 1 / two_pi_f0;
    for (std::int32_t i = 1; i <= n; ++i) {
        ASSERT_NEAR(out[i], std::sin(two_pi_f0 * (i - 1) * dt) * amplitude, 5e-9 * amplitude) << "i=" << i;
    }
}

}  // namespace
}  // namespace smwave

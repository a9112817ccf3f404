#pragma once
// Ground motions the numeric tests draw from.
#include <array>
#include <cmath>
#include <cstddef>
#include <numbers>
#include <random>
#include <vector>

namespace smwave::testing {

// A random motion of two horizontal components sampled every `dt` seconds: each a sum of six sines of
// random frequencies (0.2 to 8.2 Hz), phases and sizes.
inline std::array<std::vector<double>, 2> random_pair(std::size_t samples, unsigned seed, double dt = 0.01) {
    constexpr double pi = std::numbers::pi;
    std::mt19937 random(seed);
    std::uniform_real_distribution<double> unit(0, 1);
    std::array<std::vector<double>, 2> x{std::vector<double>(samples), std::vector<double>(samples)};
    for (auto& component : x) {
        for (int wave = 0; wave < 6; ++wave) {
            const double f = 0.2 + 8 * unit(random), phase = 2 * pi * unit(random),
                         size = 50 + 100 * unit(random);
            for (std::size_t i = 0; i < samples; ++i)
                component[i] += size * std::sin(2 * pi * f * i * dt + phase);
        }
    }
    return x;
}

}  // namespace smwave::testing

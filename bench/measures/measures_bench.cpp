// The hot paths of smwave-measures and smwave-response --rotd on records of 12000 samples at 0.01 s:
// every measure of three components, the rotated spectra of two horizontals at 111 periods on one
// thread, and Konno-Ohmachi smoothing of one 16384-bin spectrum at 401 frequencies on one and two threads.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "measures/konno_ohmachi.hpp"
#include "measures/measure_rows.hpp"
#include "response/rotated_spectrum.hpp"
#include "response/settings.hpp"

namespace {

using namespace smwave;

// Smoothed noise under a rising and decaying envelope, like a strong-motion burst.
response::GroundRecord burst_record(std::size_t samples) {
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0, 100);
    response::GroundRecord record;
    record.dt = 0.01;
    for (auto& component : record.components) {
        double smooth = 0;
        for (std::size_t i = 0; i < samples; ++i) {
            const double t = i * record.dt;
            smooth = 0.8 * smooth + 0.2 * noise(random);
            component.push_back(smooth * (t / 10) * std::exp(1 - t / 10));
        }
    }
    return record;
}

void all_measures_12000(benchmark::State& state) {
    measures::MeasureInputs inputs;
    inputs.acceleration = burst_record(12000);
    inputs.frequencies = {0.1, 0.2, 0.5, 1, 2, 5, 10};
    inputs.threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(measures::measure_rows(inputs));
}
BENCHMARK(all_measures_12000)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

void rotated_spectra_12000_111(benchmark::State& state) {
    const response::GroundRecord record = burst_record(12000);
    response::Settings settings;
    settings.count = 110;
    const std::vector<double> periods = response::periods_of(settings);
    for (auto _ : state)
        benchmark::DoNotOptimize(response::rotated_spectra(record, {0, 1}, {0.05}, periods, 1).rotated);
}
BENCHMARK(rotated_spectra_12000_111)->Unit(benchmark::kMillisecond);

void konno_ohmachi_16384_401(benchmark::State& state) {
    std::mt19937 random(3);
    std::uniform_real_distribution<double> unit(0, 1);
    std::vector<double> amplitude(16384);
    for (double& value : amplitude) value = unit(random);
    const std::array<std::span<const double>, 1> spectra{amplitude};
    const measures::KonnoOhmachi smoothing(amplitude.size(), 100.0 / 32768);
    std::vector<double> frequencies;
    for (int k = 0; k < 401; ++k) frequencies.push_back(0.1 * std::pow(500.0, k / 400.0));  // 0.1 to 50 Hz
    const auto threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(smoothing.smooth(spectra, frequencies, threads));
}
BENCHMARK(konno_ohmachi_16384_401)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

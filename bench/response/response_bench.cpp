// Response spectra of three components of 15000 samples at 0.01 s: the default 100 periods from 0.01 s
// to 10 s plus period 0, one damping, on one thread and on two. Reports oscillator sub-steps per second
// (one component stepped through one sub-step is one step).
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>

#include "response/oscillator.hpp"
#include "response/settings.hpp"
#include "response/spectrum.hpp"

namespace {

using namespace smwave::response;

GroundRecord noise_record(std::size_t samples) {
    std::mt19937 random(5);
    std::normal_distribution<double> noise(0, 100);
    GroundRecord record;
    record.dt = 0.01;
    for (auto& component : record.components) {
        double smooth = 0;
        for (std::size_t i = 0; i < samples; ++i) {
            smooth = 0.8 * smooth + 0.2 * noise(random);
            component.push_back(smooth);
        }
    }
    return record;
}

void response_spectra_15000(benchmark::State& state) {
    const GroundRecord record = noise_record(15000);
    const std::vector<double> periods = periods_of(Settings{});
    double steps = 0;
    for (const double period : periods) {
        if (period > 0) steps += 3.0 * (15000 - 1) * sub_steps(period, record.dt);
    }
    const auto threads = static_cast<unsigned>(state.range(0));
    for (auto _ : state) benchmark::DoNotOptimize(response_spectra(record, {0.05}, periods, threads));
    state.counters["steps"] = steps;
    state.counters["steps_per_s"] = benchmark::Counter(steps, benchmark::Counter::kIsIterationInvariantRate);
}
BENCHMARK(response_spectra_15000)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace

// The transform at the largest length a run uses, each direction alone and the six calls of a run.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "spectral/wvfast.hpp"

namespace smwave {
namespace {

constexpr std::int32_t largest_length = 131072;

std::vector<Complex> random_series(std::uint32_t seed) {
    std::mt19937 engine(seed);
    std::uniform_real_distribution<double> value(-1.0, 1.0);
    std::vector<Complex> a(largest_length);
    for (Complex& z : a) z = {value(engine), 0.0};
    return a;
}

// The plan of the largest length, made once as a run makes it.
const WvfastPlan& largest_plan() {
    static std::vector<Complex> storage(wvfast_plan_size(largest_length));
    static const WvfastPlan plan = make_wvfast_plan(largest_length, storage);
    return plan;
}

void transform_once(benchmark::State& state, std::int32_t ind) {
    const WvfastPlan& plan = largest_plan();
    const std::vector<Complex> input = random_series(1);
    std::vector<Complex> a;
    for (auto _ : state) {
        state.PauseTiming();
        a = input;  // fresh data, so that repeated transforms do not grow without bound
        state.ResumeTiming();
        wvfast(a, plan, ind);
        benchmark::DoNotOptimize(a.data());
    }
}

void BM_WvfastForward(benchmark::State& state) { transform_once(state, -1); }
void BM_WvfastBackward(benchmark::State& state) { transform_once(state, +1); }

// Three components forward, then the same three backward: the transforms of one run.
void BM_SixTransformsOfARun(benchmark::State& state) {
    const WvfastPlan& plan = largest_plan();
    const std::vector<Complex> inputs[3] = {random_series(1), random_series(2), random_series(3)};
    std::vector<Complex> a[3];
    for (auto _ : state) {
        state.PauseTiming();
        for (int c = 0; c < 3; ++c) a[c] = inputs[c];
        state.ResumeTiming();
        for (int c = 0; c < 3; ++c) wvfast(a[c], plan, -1);
        for (int c = 0; c < 3; ++c) wvfast(a[c], plan, +1);
        benchmark::DoNotOptimize(a[2].data());
    }
}

BENCHMARK(BM_WvfastForward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WvfastBackward)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_SixTransformsOfARun)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace smwave

// Output records at the sizes of a big run: the echo file of a 131072-row table (four doubles a
// record) and the 131072 rows of a waveform file, written to a unit connected to /dev/null.
#include <benchmark/benchmark.h>

#include <cmath>
#include <random>
#include <vector>

#include "textio/records.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

constexpr int null_unit = 20;
constexpr int rows = 131072;

// A time column at 0.01 s and three components of accelerations of mixed signs and magnitudes.
std::vector<double> table_values() {
    std::mt19937 engine(7);
    std::uniform_real_distribution<double> mantissa(-1.0, 1.0);
    std::uniform_int_distribution<int> decade(-6, 3);
    std::vector<double> values;
    values.reserve(4 * rows);
    for (int row = 1; row <= rows; ++row) {
        values.push_back(row * 0.01);
        for (int c = 0; c < 3; ++c) values.push_back(mantissa(engine) * std::pow(10.0, decade(engine)));
    }
    return values;
}

void BM_EchoRecordsOfFourDoubles(benchmark::State& state) {
    const std::vector<double> values = table_values();
    open_unit(null_unit, "/dev/null");
    for (auto _ : state) {
        for (std::size_t i = 0; i < values.size(); i += 4) {
            start_free_record(null_unit);
            for (std::size_t c = 0; c < 4; ++c) put_double(values[i + c]);
            end_free_record();
        }
    }
    close_unit(null_unit);
    state.SetItemsProcessed(state.iterations() * 4 * rows);
}

void BM_WaveformRows(benchmark::State& state) {
    const std::vector<double> values = table_values();
    open_unit(null_unit, "/dev/null");
    for (auto _ : state) {
        for (std::size_t i = 0; i < values.size(); i += 4) {
            start_edit_record(null_unit, "(F8.3,4(',',E12.4))");
            for (std::size_t c = 0; c < 4; ++c) put_edit_double(values[i + c]);
            end_edit_record();
        }
    }
    close_unit(null_unit);
    state.SetItemsProcessed(state.iterations() * rows);
}

BENCHMARK(BM_EchoRecordsOfFourDoubles)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_WaveformRows)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace smwave

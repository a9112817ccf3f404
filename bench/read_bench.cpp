// Reading a full-size waveform table through the real read path: 131072 rows of a time and 42
// channel values, as the table reader takes them (the time, then the channels in one call).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <string>

#include "textio/reads.hpp"
#include "textio/units.hpp"

namespace {

constexpr int rows = 131072;
constexpr int channels = 42;
constexpr int table_unit = 11;

// Writes the table to a fresh temporary file and gives its name and size.
std::string write_table(std::size_t& bytes) {
    char name[] = "/tmp/smwave-read-bench-XXXXXX";
    const int fd = ::mkstemp(name);
    std::FILE* file = ::fdopen(fd, "w");
    bytes = 0;
    for (int i = 1; i <= rows; ++i) {
        bytes += static_cast<std::size_t>(std::fprintf(file, "%10.3f", i * 0.01));
        for (int j = 1; j <= channels; ++j) {
            bytes += static_cast<std::size_t>(std::fprintf(file, " %11.5f", 100.0 * std::sin(0.001 * i * j)));
        }
        bytes += static_cast<std::size_t>(std::fprintf(file, "\n"));
    }
    std::fclose(file);
    return name;
}

void BM_ReadTable(benchmark::State& state) {
    std::size_t bytes = 0;
    const std::string name = write_table(bytes);
    smwave::reset_units();
    double time = 0;
    double values[channels];
    for (auto _ : state) {
        smwave::open_unit(table_unit, name);
        int count = 0;
        while (smwave::begin_free_read(table_unit, true) == 0) {
            if (smwave::read_double(time) < 0 || smwave::read_doubles(values) < 0) break;
            if (smwave::end_free_read() < 0) break;
            ++count;
        }
        smwave::close_unit(table_unit);
        if (count != rows) state.SkipWithError("the table was not read in full");
        benchmark::DoNotOptimize(values);
    }
    ::unlink(name.c_str());
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
    state.counters["numbers"] = benchmark::Counter(
        static_cast<double>(rows) * (channels + 1) * state.iterations(), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_ReadTable)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace

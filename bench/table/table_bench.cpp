// smwave-table's hot paths: the table written (43 numbers a row) and the readers of the formats, for
// three components of 30000 samples and of 131072 samples. The counters give the MB/s of table text
// written, or of record bytes read.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <cstring>

#include "companion/output_file.hpp"
#include "table/columns_reader.hpp"
#include "table/sac_reader.hpp"
#include "table/table_writer.hpp"

namespace {

using namespace smwave;

// A record like a strong-motion one: decaying oscillations with the rounding of real data.
table::Record record_of(std::size_t samples) {
    table::Record record;
    record.station = "XYZ012";
    record.names = {"EW", "NS", "UD"};
    record.interval = 0.01;
    for (std::size_t k = 0; k < 3; ++k) {
        record.samples[k].resize(samples);
        for (std::size_t i = 0; i < samples; ++i) {
            const double t = static_cast<double>(i) * 0.01;
            record.samples[k][i] =
                (static_cast<double>(std::lround(8e5 * std::sin(t * (3 + k)) * std::exp(-t / 60))) - 3.5) *
                7845.0 / 8223790.0;
        }
    }
    record.sources = {"a", "b", "c"};
    record.processing.add("scale", "1");
    return record;
}

void write_table(benchmark::State& state) {
    const table::Record record = record_of(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) {
        auto out = companion::OutputFile::open("/dev/null");
        table::write_table(record, *out);
        benchmark::DoNotOptimize(out->commit());
    }
    // The table's size, measured once.
    std::int64_t bytes = 0;
    {
        char name[] = "/tmp/table-bench-XXXXXX";
        const int descriptor = ::mkstemp(name);
        ::close(descriptor);
        auto out = companion::OutputFile::open(name);
        table::write_table(record, *out);
        (void)out->commit();
        std::FILE* file = std::fopen(name, "rb");
        std::fseek(file, 0, SEEK_END);
        bytes = std::ftell(file);
        std::fclose(file);
        std::remove(name);
    }
    state.SetBytesProcessed(bytes * static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(write_table)->Arg(30000)->Arg(131072)->Unit(benchmark::kMillisecond);

// One SAC binary component of `samples` values.
std::string sac_file(std::size_t samples) {
    std::string bytes(632 + 4 * samples, '\0');
    auto put = [&](std::size_t at, auto value) { std::memcpy(bytes.data() + at, &value, 4); };
    for (std::size_t word = 0; word < 70; ++word) put(4 * word, -12345.0f);
    for (std::size_t word = 70; word < 110; ++word) put(4 * word, std::int32_t{-12345});
    std::memset(bytes.data() + 440, ' ', 192);
    put(0, 0.01f);
    put(304, std::int32_t{6});
    put(316, static_cast<std::int32_t>(samples));
    put(340, std::int32_t{1});
    put(420, std::int32_t{1});
    for (std::size_t i = 0; i < samples; ++i)
        put(632 + 4 * i, static_cast<float>(std::sin(0.01 * static_cast<double>(i)) * 123.456));
    return bytes;
}

void read_sac(benchmark::State& state) {
    const std::string bytes = sac_file(static_cast<std::size_t>(state.range(0)));
    for (auto _ : state) benchmark::DoNotOptimize(table::read_sac_binary(bytes, "r.sac"));
    state.SetBytesProcessed(static_cast<std::int64_t>(bytes.size()) *
                            static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(read_sac)->Arg(30000)->Arg(131072)->Unit(benchmark::kMillisecond);

void read_columns(benchmark::State& state) {
    std::string text = "time ew ns ud\n";
    char row[128];
    for (std::int64_t i = 0; i < state.range(0); ++i) {
        const double t = static_cast<double>(i) * 0.01;
        std::snprintf(row, sizeof row, "%.2f %.6e %.6e %.6e\n", t, std::sin(t), std::cos(t), std::sin(3 * t));
        text += row;
    }
    for (auto _ : state) benchmark::DoNotOptimize(table::read_columns(text, "r.txt", {}));
    state.SetBytesProcessed(static_cast<std::int64_t>(text.size()) *
                            static_cast<std::int64_t>(state.iterations()));
}
BENCHMARK(read_columns)->Arg(30000)->Arg(131072)->Unit(benchmark::kMillisecond);

}  // namespace

// The scan (every file found and read) and the grouping into records of a download of 10,000 small
// files: 3,333 K-NET stations of three 2-second files each, and one stray note.
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>

#include "event/scan.hpp"

namespace {

namespace fs = std::filesystem;

std::string knet_file(const std::string& station, const char* direction) {
    std::string text = "Origin Time       2024/03/05 12:34:00\nLat.              36.10\nLong.             140.20\n"
                       "Depth. (km)       40\nMag.              5.8\nStation Code      " + station +
                       "\nStation Lat.      36.3\nStation Long.     140.5\nStation Height(m) 25\n"
                       "Record Time       2024/03/05 12:34:20\nSampling Freq(Hz) 100Hz\nDuration Time(s)  2\nDir.    "
                       "          " + direction + "\nScale Factor      7845(gal)/8223790\nMax. Acc. (gal)   1.000\n"
                       "Last Correction   2024/03/05 12:34:21\nMemo.\n";
    for (int i = 0; i < 200; ++i) text += std::to_string(5000 + std::lround(100 * std::sin(i))) + (i % 8 == 7 ? "\n" : " ");
    return text;
}

const fs::path& download() {
    static const fs::path folder = [] {
        const fs::path made = fs::temp_directory_path() / ("smwave-scan-bench-" + std::to_string(getpid()));
        for (int at = 0; at < 3333; ++at) {
            const std::string code = "S" + std::to_string(10000 + at);
            fs::create_directories(made / code.substr(0, 4));
            for (const auto& [extension, direction] : {std::pair{"EW", "E-W"}, {"NS", "N-S"}, {"UD", "U-D"}})
                std::ofstream(made / code.substr(0, 4) / (code + "." + extension)) << knet_file(code, direction);
        }
        std::ofstream(made / "notes.txt") << "downloaded on Tuesday\n";
        return made;
    }();
    return folder;
}

void scan_and_group(benchmark::State& state) {
    const fs::path& folder = download();
    for (auto _ : state) {
        auto files = smwave::event::scan_download({folder.string()}, folder / "out");
        const auto grouped = smwave::event::group_records(std::move(*files));
        benchmark::DoNotOptimize(grouped.records.size());
    }
    state.counters["files"] = 9999 + 1;
    fs::remove_all(folder);
}
BENCHMARK(scan_and_group)->Unit(benchmark::kMillisecond)->Iterations(5);

}  // namespace

// The measures from arbitrary bytes, two ways. As the text of a suite file: a record that the reader
// takes gives measures that are numbers or empty, never infinite, and a PGA RotD100 at least the larger
// horizontal peak. As raw doubles, pairs of points: the pruned search for rotated peaks gives the very
// numbers of the plain definition, whatever the values (zeros, tiny, huge, infinite, NaN).
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "companion/number_text.hpp"
#include "measures/measure_rows.hpp"
#include "response/record.hpp"
#include "response/rotation.hpp"

namespace {

using namespace smwave;

// Ends the run with what does not hold, for the artifact's replay.
void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

void check_rotation(const std::uint8_t* data, std::size_t size) {
    const std::size_t points = std::min<std::size_t>(size / 16, 512);
    std::vector<double> x1(points), x2(points);
    for (std::size_t i = 0; i < points; ++i) {
        std::memcpy(&x1[i], data + 16 * i, 8);
        std::memcpy(&x2[i], data + 16 * i + 8, 8);
    }
    const auto pruned = response::rotated_peaks(x1, x2), plain = response::rotated_peaks_plain(x1, x2);
    for (std::size_t angle = 0; angle < response::rotation_angles; ++angle) {
        check(pruned[angle] == plain[angle] || (std::isnan(pruned[angle]) && std::isnan(plain[angle])),
              "the pruned search differs from the plain definition");
    }
}

void check_measures(std::string_view text) {
    const auto table = companion::parse_suite_text(text, "f");
    if (!table) return;
    auto record = response::record_from_table(*table, "f", 0.01);
    if (!record) return;
    double largest = 0;
    for (auto& component : record->components) {
        component.resize(std::min<std::size_t>(component.size(), 256));
        for (const double value : component) largest = std::max(largest, std::abs(value));
    }
    if (largest > 1e150) return;  // the tool refuses these
    measures::MeasureInputs inputs;
    inputs.acceleration = std::move(*record);
    inputs.frequencies = {1, 80};
    const auto rows = measures::measure_rows(inputs);
    for (const auto& row : rows) {
        if (row.measure == "jma_grade") continue;
        for (const auto& cell : row.cells) {
            if (cell.empty()) continue;
            const auto value = companion::parse_number(cell);
            check(value && std::isfinite(*value), "a measure that is no finite number");
        }
    }
    const auto& pga = rows.front();
    check(pga.measure == "pga", "the first row is not pga");
    const double rotd100 = *companion::parse_number(pga.cells[7]);
    check(rotd100 >= std::max(*companion::parse_number(pga.cells[0]), *companion::parse_number(pga.cells[1])),
          "RotD100 below the larger horizontal peak");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    check_rotation(data, size);
    check_measures(std::string_view(reinterpret_cast<const char*>(data), size));
    return 0;
}

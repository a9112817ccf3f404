// The measures from arbitrary bytes, two ways. As the text of a suite file: a record that the reader
// takes gives measures that are numbers or empty, never infinite; a PGA RotD100 at least the larger
// horizontal peak; RotD00 <= RotD50 <= RotD100 in every row; durations within the record; a JMA
// intensity finite, and absent only with its grade. As raw doubles, pairs of points: the pruned search for rotated peaks gives the very
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
    const double span = static_cast<double>(inputs.acceleration.components[0].size()) * inputs.acceleration.dt;
    const auto number = [](const std::string& cell) { return *companion::parse_number(cell); };
    for (const auto& row : rows) {
        const auto& c = row.cells;
        if (!c[5].empty() && !c[6].empty() && !c[7].empty())
            check(number(c[5]) <= number(c[6]) && number(c[6]) <= number(c[7]), "RotD00 <= RotD50 <= RotD100 broken");
        const bool duration = row.measure == "d5-75" || row.measure == "d5-95" || row.measure == "bracketed_duration";
        for (std::size_t k = 0; duration && k < 3; ++k) {
            if (c[k].empty()) continue;
            check(number(c[k]) >= 0 && number(c[k]) <= span * (1 + 1e-12), "a duration beyond the record");
        }
    }
    // The JMA intensity is absent only for a record too short or silent, and then so is its grade.
    const auto jma = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.measure == "jma_intensity"; });
    const auto grade = std::find_if(rows.begin(), rows.end(), [](const auto& row) { return row.measure == "jma_grade"; });
    check(jma != rows.end() && grade != rows.end(), "the JMA rows are missing");
    check(jma->cells[0].empty() == grade->cells[0].empty(), "a JMA grade without its intensity, or the reverse");
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

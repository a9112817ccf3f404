// A response spectrum's record from arbitrary bytes: either a refusal naming the file and a line within
// the text, or three components of the table's row count (at least two) and a positive interval that
// is the time column's span over its intervals. The spectra of its first samples are then never
// negative, give the peak ground acceleration at period 0, and are finite for records of sane values.
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "response/record.hpp"
#include "response/spectrum.hpp"

namespace {

using namespace smwave::response;

// Ends the run with what does not hold, for the artifact's replay.
void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "FINDING: %s\n", what);
    std::abort();
}

void check_spectra(GroundRecord record) {
    for (auto& component : record.components) component.resize(std::min<std::size_t>(component.size(), 200));
    const double dt = record.dt;
    const std::vector<double> periods{0, dt / 3, dt, 10 * dt};
    const auto rows = response_spectra(record, {0.05}, periods, 1);
    double largest = 0;
    for (std::size_t c = 0; c < 3; ++c) {
        double peak = 0;
        for (const double a : record.components[c]) peak = std::max(peak, std::abs(a));
        check(rows[0].sd[c] == 0 && rows[0].psv[c] == 0 && rows[0].psa[c] == peak && rows[0].sa[c] == peak,
              "period 0 is not the peak ground acceleration");
        largest = std::max(largest, peak);
    }
    for (const auto& row : rows) {
        for (const auto* values : {&row.sd, &row.psv, &row.psa, &row.sa}) {
            for (const double value : *values) check(value >= 0 || std::isnan(value), "a negative peak");
        }
    }
    if (largest <= 1e100 && dt >= 1e-6 && dt <= 1e6)
        check(all_finite(rows), "spectra of a sane record overflow");
}

void check_record(const smwave::companion::SuiteTable& table, std::optional<double> dt,
                  std::uint64_t last_line) {
    const auto record = record_from_table(table, "f", dt);
    if (!record) {
        const auto& problem = record.problem();
        check(problem.file == "f" && problem.line >= 1 && problem.line <= last_line,
              "a refusal not naming the file and a line within the text");
        return;
    }
    check(table.rows() >= 2, "a record of fewer than two samples");
    for (const auto& component : record->components) {
        check(component.size() == table.rows(), "a component of another length than the rows");
        for (const double value : component) check(std::isfinite(value), "a sample without a number");
    }
    check(record->dt > 0 && std::isfinite(record->dt), "an interval not above 0");
    if (!dt) {
        const auto& time = table.columns[0];
        check(record->dt == (time.back() - time.front()) / static_cast<double>(time.size() - 1),
              "an interval other than the time column's span over its intervals");
    }
    check_spectra(*record);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    std::uint64_t last_line = 1;
    for (const char c : text) last_line += c == '\n';
    const auto table = smwave::companion::parse_suite_text(text, "f");
    if (!table) return 0;
    check_record(*table, std::nullopt, last_line);
    check_record(*table, 0.01, last_line);
    return 0;
}

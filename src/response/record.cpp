#include "response/record.hpp"

#include <cmath>

#include "companion/number_text.hpp"

namespace smwave::response {

using companion::Problem;
using companion::SuiteFileKind;
using companion::SuiteTable;

namespace {

// Half a unit of the last digit printed of a time value: three decimals in a waveform file, nine
// significant digits in fort.99.
double half_unit(SuiteFileKind kind, double time) {
    if (kind == SuiteFileKind::waveform) return 0.0005;
    if (time == 0) return 0;
    return 0.5 * std::pow(10.0, std::floor(std::log10(std::abs(time))) - 8);
}

// The first line holding a field without a number in columns [first, 4), or 0.
std::uint32_t first_gap(const SuiteTable& table, std::size_t first) {
    for (std::size_t row = 0; row < table.rows(); ++row) {
        for (std::size_t c = first; c < table.columns.size(); ++c) {
            if (std::isnan(table.columns[c][row])) return table.lines[row];
        }
    }
    return 0;
}

// The interval from the time column, or the problem with its spacing.
companion::Result<double> interval_of(const SuiteTable& table, const std::string& name) {
    const std::vector<double>& time = table.columns[0];
    const std::size_t last = time.size() - 1;
    const double dt = (time[last] - time[0]) / static_cast<double>(last);
    if (!(dt > 0) || !std::isfinite(dt)) {
        return Problem{name, table.lines[last],
                       "the time column does not increase from its first row to this one; give the "
                       "interval with --dt"};
    }
    // Each printed time is off by up to half a unit, so a difference by up to two halves, and the
    // span's interval by up to two halves over the number of intervals.
    const double span_error = (half_unit(table.kind, time[0]) + half_unit(table.kind, time[last])) / last;
    for (std::size_t row = 1; row <= last; ++row) {
        const double allowed =
            half_unit(table.kind, time[row - 1]) + half_unit(table.kind, time[row]) + span_error + 1e-9 * dt;
        if (std::abs(time[row] - time[row - 1] - dt) > allowed) {
            std::string what =
                "the time column is not evenly spaced here (its whole span gives an interval of ";
            companion::append_shortest(what, dt);
            what += " s); give the interval with --dt";
            return Problem{name, table.lines[row], std::move(what)};
        }
    }
    return dt;
}

}  // namespace

companion::Result<GroundRecord> record_from_table(SuiteTable table, const std::string& name,
                                                  std::optional<double> given_dt) {
    if (table.kind != SuiteFileKind::waveform && table.kind != SuiteFileKind::echo) {
        return Problem{name, table.lines.empty() ? 1 : table.lines[0] - 1,
                       "this is " + std::string(companion::kind_name(table.kind)) +
                           "; a waveform file or fort.99 was expected"};
    }
    if (table.rows() < 2) {
        return Problem{name, table.lines.empty() ? 1 : table.lines[0],
                       "fewer than two samples: no response can be computed"};
    }
    // The time column matters only when it gives the interval.
    if (const std::uint32_t line = first_gap(table, given_dt ? 1 : 0)) {
        return Problem{name, line, "a field holds no number (such as asterisks of a value too wide for it)"};
    }
    GroundRecord record;
    if (given_dt) {
        record.dt = *given_dt;
        record.dt_from_time_column = false;
    } else {
        auto dt = interval_of(table, name);
        if (!dt) return dt.problem();
        record.dt = *dt;
    }
    for (std::size_t c = 0; c < 3; ++c) record.components[c] = std::move(table.columns[c + 1]);
    return record;
}

companion::Result<GroundRecord> load_record(const std::filesystem::path& file,
                                            std::optional<double> given_dt) {
    auto table = companion::read_suite_file(file);
    if (!table) return table.problem();
    return record_from_table(std::move(*table), file.string(), given_dt);
}

}  // namespace smwave::response

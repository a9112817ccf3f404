#include "plot/table_summary.hpp"

#include <cmath>
#include <limits>

namespace smwave::plot {

bool needs_wide_exponent(double value) {
    const double magnitude = std::fabs(value);
    return magnitude >= 1e99 || (magnitude > 0 && magnitude < 1e-99);
}

namespace {

ColumnSummary summarise_column(const std::vector<double>& values) {
    ColumnSummary summary;
    summary.peak = std::numeric_limits<double>::quiet_NaN();
    double largest = -1;
    for (std::size_t row = 0; row < values.size(); ++row) {
        const double value = values[row];
        if (std::isnan(value)) {
            if (summary.reading == ColumnReading::plain) summary.reading = ColumnReading::gaps;
            continue;
        }
        if (needs_wide_exponent(value)) summary.reading = ColumnReading::wide;
        if (std::fabs(value) > largest) {
            largest = std::fabs(value);
            summary.peak = value;
            summary.peak_row = row;
        }
    }
    return summary;
}

}  // namespace

TableSummary summarise(const companion::SuiteTable& table) {
    TableSummary summary;
    if (table.rows() > 0) {
        summary.lines_before_rows = table.lines.front() - 1;
        summary.rows_consecutive = table.lines.back() - table.lines.front() + 1 == table.rows();
    }
    for (const auto& column : table.columns) summary.columns.push_back(summarise_column(column));
    return summary;
}

}  // namespace smwave::plot

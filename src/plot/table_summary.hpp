#pragma once
// What a figure's script needs to know about a file of the suite: where its rows start, how gnuplot
// must read each column, and the peaks it labels.
#include <cstddef>
#include <vector>

#include "companion/suite_file.hpp"

namespace smwave::plot {

// How gnuplot reads a column of the file as it is.
enum class ColumnReading {
    plain,  // every field a number gnuplot reads itself
    gaps,   // some fields hold no number: they must break the line
    wide,   // some fields carry three exponent digits without the letter E ("0.1234-101")
};

struct ColumnSummary {
    ColumnReading reading = ColumnReading::plain;
    std::size_t peak_row = 0;  // the first row of the largest absolute value
    double peak = 0;           // that value, signed; NaN when the column holds no number
};

struct TableSummary {
    std::size_t lines_before_rows = 0;  // header and comment lines gnuplot skips
    bool rows_consecutive = true;       // no blank lines among the rows
    std::vector<ColumnSummary> columns;
};

// Summarises every column of `table`.
TableSummary summarise(const companion::SuiteTable& table);

// The values of a column that the suite can only write with three exponent digits.
bool needs_wide_exponent(double value);

}  // namespace smwave::plot

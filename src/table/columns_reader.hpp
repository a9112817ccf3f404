#pragma once
// Plain columns of numbers: blank, tab, comma or semicolon separated, "#" comment lines and one
// header line of column names allowed.
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Which columns hold the record: four entries (time, then the three components) or three (the
// components, with `interval` giving the sampling interval); each a 1-based column number or a name
// of the header line. Empty: a file of four columns is time and components, one of three needs
// `interval`.
struct ColumnChoice {
    std::vector<std::string> columns;
    std::optional<double> interval;
};

// Reads the three chosen components. A time column must be evenly spaced (every step within 1e-6 of
// the mean step, relative); the interval is then the mean step, taken at its shortest decimal text
// when that lies within 1e-10 of it. A name missing from the header, a number where none is, a row too
// short, an uneven or non-increasing time column: a Problem naming the file and line.
companion::Result<Reading> read_columns(std::string_view text, const std::string& name,
                                        const ColumnChoice& choice);

// The shortest decimal value within 1e-10 (relative) of `interval`, or `interval` itself.
double tidy_interval(double interval);

}  // namespace smwave::table

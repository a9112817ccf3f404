#pragma once
// The ESM database's ASCII records (.ASC): one stream a file, a `KEY: value` header, one value a line.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the content starts as an ESM record: "EVENT_NAME:" on line 1.
bool looks_like_esm(std::string_view content);

// Reads an ESM record of acceleration: codes, coordinates, start, event, units (cm/s^2, m/s^2, g),
// filter corners from the header, then NDATA values; the stated PGA is checked against the samples.
// Other data types, undeterminable units, a count that disagrees with NDATA or a value that is not a
// number: a Problem naming the line.
companion::Result<Reading> read_esm(std::string_view text, const std::string& name);

}  // namespace smwave::table

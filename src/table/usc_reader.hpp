#pragma once
// The University of Southern California strong-motion array's Volume I files: one uncorrected
// component a file, digitised film.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Line 1 "FILE ... OF UNCORRECTED ACCELEROGRAM DATA OF VOLUME I", line 5 "STATION USC# ".
bool looks_like_usc(std::string_view content);

// Reads 13 text lines, 100 integers (16I5), 50 reals (8F10.3), then integer 28's (time, value)
// pairs, one blank and 10F7.3 a line, in tenths of g (line 12 "UNITS ARE SEC AND G/10"). The
// component's bearing is line 7's ("COMP N00W"); station and epicentre are reals 9-10 and 7-8
// (west longitudes written positive), the origin date integers 22-25. Uneven times are refused.
companion::Result<Reading> read_usc(std::string_view text, const std::string& name);

}  // namespace smwave::table

#pragma once
// The USGS National Strong-Motion Project's SMC files: one time series a file.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Line 1 a one-digit code, a blank and the data type in words ("2 CORRECTED ACCELEROGRAM"); line 12
// eight ten-character integers.
bool looks_like_smc(std::string_view content);

// Reads 11 text lines, 48 integers (8I10, -32768 missing), 50 reals (5E15.7, 1.7e38 missing), the
// comment lines integer 16 counts, then integer 17's samples in 8 fields of 10 characters. Only
// corrected accelerograms (code 2, cm/s/s) are read; other types are refused naming line 1. The
// interval is 1/real 2; the maximum and minimum (reals 30, 32) are checked against the samples.
companion::Result<Reading> read_smc(std::string_view text, const std::string& name);

}  // namespace smwave::table

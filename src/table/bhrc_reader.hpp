#pragma once
// The Iran Strong Motion Network's (BHRC) Volume 1 files: three uncorrected components a file.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Line 1 "* VOL1DS FILE:", line 12 "UNITS ARE SECONDS AND G/10".
bool looks_like_bhrc(std::string_view content);

// Reads each component: 13 text lines, 7 lines of 16I5 and 7 of 6E13.6 (cut at column 70: the
// fields past it are absent), line 11's number of points (= integer 28) of values in tenths of g,
// 10E13.6 a line, and the end line "/&". The interval is the samples per second of real 7, or the
// duration over the points; the L and T azimuths are line 8's, V is vertical.
companion::Result<Reading> read_bhrc(std::string_view text, const std::string& name);

}  // namespace smwave::table

#pragma once
// K-NET and KiK-net ASCII records (one component per file): 17 header lines, label in columns 1-18
// and value from column 19, then counts, 8 to a line.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the text begins like such a file (its first label is "Origin Time").
bool looks_like_knet(std::string_view content);

// Reads one file: counts become gal as count x N / D from "Scale Factor" N(gal)/D (the recorder's
// offset stays; the conversion removes the mean unless told not to); the first sample lies 15 s
// before "Record Time" (Japan Standard Time, UTC+9), and the origin, the station's place and the
// orientation come from the header. Warns when the header's "Max. Acc." differs from the peak about
// the mean by more than 0.1 % (and more than its printed precision). A header that ends early, a label out of
// place, a bad value or count, or a number of counts other than Duration x Sampling Freq is a Problem naming
// the file and line.
companion::Result<Reading> read_knet(std::string_view text, const std::string& name);

}  // namespace smwave::table

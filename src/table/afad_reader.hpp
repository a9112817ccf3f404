#pragma once
// The National Strong Motion Network of Turkey's (AFAD) text records: one station, three components
// in columns.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Line 1 "STRONG GROUND MOTION RECORDS OF TURKIYE".
bool looks_like_afad(std::string_view content);

// Reads the "LABEL : value" header (colon in column 25) up to the column titles "N-S E-W U-D", then
// NUMBER OF DATA rows of three blank-separated values in gal. The start is RECORD TIME
// (dd/mm/yyyy), the origin EARTHQUAKE DATE (yyyy/mm/dd), both GMT; the RAW PGA VALUES are checked
// against each column. A missing count or interval, or a PGA line not in gal: a Problem naming the line.
companion::Result<Reading> read_afad(std::string_view text, const std::string& name);

}  // namespace smwave::table

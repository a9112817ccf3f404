#pragma once
// The PEER ground-motion database's time series (.AT2): one component of acceleration in g a file.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the content starts as a PEER time series: "PEER " on line 1, NPTS= and DT= on line 4.
bool looks_like_peer(std::string_view content);

// Reads a PEER time series: event, date, station and component from line 2, the quantity and units
// from line 3, NPTS and DT from line 4, then exactly NPTS values. Acceleration in g or cm/s/s becomes
// cm/s/s; velocity and displacement files are refused (the table holds acceleration), as are other
// units, a count that disagrees with NPTS and a value that is not a number, naming the line.
companion::Result<Reading> read_peer(std::string_view text, const std::string& name);

}  // namespace smwave::table

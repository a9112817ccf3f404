#pragma once
// The Taiwanese weather agency's (CWB/CWA) strong-motion text records: `#Label: value` header lines,
// then rows of time and the three components.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the content starts as a CWB record: "#Earthquake Information" on line 1 and a
// "#StationCode:" line.
bool looks_like_cwb(std::string_view content);

// Reads a CWB record: station, coordinates, start and origin (local GMT+08 times made UTC), sample
// rate, units (gal) and the column order of `#DataSequence`, then RecordLength x SampleRate rows of
// the `#Data:` layout. Warns where a column's extremes differ from `#AmplitudeMAX.` by more than
// 0.1 %. A row count that disagrees with the header, undeterminable units or a field that is not a
// number: a Problem naming the line.
companion::Result<Reading> read_cwb(std::string_view text, const std::string& name);

}  // namespace smwave::table

#pragma once
// The COSMOS strong-motion format (version 1.20): raw counts (V0), uncorrected (V1) and corrected (V2)
// records, one or more channel blocks a file.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the content starts as a COSMOS file: "(Format v01.2" and "text lines)" on line 1.
bool looks_like_cosmos(std::string_view content);

// Reads every channel block: its text, integer and real headers, comments and data sections. The
// acceleration sections become components (counts stay counts, cm/sec2 and g become cm/s/s);
// the velocity and displacement sections of a corrected record are checked against their stated
// peaks only. Station, network, coordinates, azimuth, start, origin, processing level and filter
// corners come from the headers. A truncated section, a count that disagrees with its header, a
// missing-value sentinel inside the data, undeterminable units or a field that is not a number: a
// Problem naming the line. Warns where a stated peak differs from the samples by more than 0.1 %.
companion::Result<Reading> read_cosmos(std::string_view text, const std::string& name);

}  // namespace smwave::table

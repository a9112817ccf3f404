#pragma once
// GeoNet's (New Zealand) accelerogram files: V1A uncorrected, V2A corrected, three components a file.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the content starts as a GeoNet file: line 1 an accelerogram of "GNS Science", line 2 "Site ".
bool looks_like_geonet(std::string_view content);

// Reads the three components: 16 text lines, 40 integers (10I8) and 60 reals (10F8) each, then the
// acceleration values (and in V2A the velocity and displacement values, checked against their stated
// peaks only), all 10F8. Acceleration becomes cm/s/s from the units of text line 14 (mm/s/s), scaled
// by the reading unit of a V1A's line 11. Station, azimuth (integer 28; "Up" on line 13 is vertical),
// site and epicentre (south latitudes made negative), origin and, for V1A, the buffer start go to the
// metadata. A truncated block, undeterminable units or a field that is not a number: a Problem naming
// the line.
companion::Result<Reading> read_geonet(std::string_view text, const std::string& name);

}  // namespace smwave::table

#pragma once
// SAC records: binary (either byte order, header versions 6 and 7) and alphanumeric. Only evenly
// sampled time series (LEVEN true, IFTYPE 1) are read.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the bytes hold a SAC binary header: version 6 or 7 at byte 304 in one of the byte orders.
bool looks_like_sac_binary(std::string_view content);

// Whether the text holds a SAC alphanumeric header: 14 lines of five numbers, then integer lines
// whose second one gives the version 6 or 7 in its second field.
bool looks_like_sac_ascii(std::string_view content);

// Reads one component. The interval is DELTA (from the footer of version 7, which holds it in double
// precision); the start is the reference time plus B, unknown when the reference is undefined; the
// units come from IDEP; network, location, the station's place (STLA, STLO, STEL), the orientation
// (CMPAZ, CMPINC) and the earthquake (O, EVLA, EVLO, EVDP in km, MAG) where defined. Single-precision values
// are taken as the decimal of their shortest text (DELTA 0.01 is 0.01). A short file, bytes beyond the data,
// an undefined or non-positive DELTA, an uneven or non-time series: a Problem naming the byte offset (binary)
// or the line (alphanumeric).
companion::Result<Reading> read_sac_binary(std::string_view content, const std::string& name);
companion::Result<Reading> read_sac_ascii(std::string_view content, const std::string& name);

}  // namespace smwave::table

#pragma once
// smwave's input table: a line of four header words, a line of metadata, then one row per sample
// of the time and 42 channels, the components in channels 38, 40 and 17 and 0 in the others.
#include <string>
#include <string_view>

#include "companion/output_file.hpp"
#include "companion/table_metadata.hpp"
#include "table/record.hpp"

namespace smwave::table {

// A header word smwave reads back whole: blanks, tabs, commas, slashes, quotes, asterisks and
// control bytes become '_'; an empty word becomes "-".
std::string header_word(std::string_view text);

// The metadata of the second line, in this order: station, network, location, channels, azimuths,
// dips, latitude, longitude, elevation (m), start (UTC), dt (s), units, the processing (baseline,
// taper, correction, sensitivity, inventory, scale), one source per input file, and the origin
// (origin_time, origin_latitude, origin_longitude, origin_depth in km, magnitude); items the files do
// not state are left out.
companion::TableMetadata table_metadata(const Record& record);

// The first two lines: "STATION EW NS UD" and the metadata, each ending in a line feed.
std::string table_head(const Record& record);

// Writes the whole table. The times are i x interval (i from 0), each in its shortest exact text, so
// that the difference of the first two is the interval to the last bit; every value is written in
// its shortest exact text too.
void write_table(const Record& record, companion::OutputFile& out);

}  // namespace smwave::table

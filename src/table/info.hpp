#pragma once
// What each record file holds, without converting it: one CSV row per file.
#include <string>

#include "companion/output_file.hpp"
#include "table/convert.hpp"

namespace smwave::table {

// The header of the rows: path,format,network,station,location,channel,start,sample_rate,samples,
// units,latitude,longitude,origin_time,origin_latitude,origin_longitude,origin_depth,magnitude,problem.
std::string info_header();

// The row of one file: a file of several channels gives their codes and sample counts separated by
// blanks; what the file does not state is empty; a file that cannot be read has its reason in
// `problem` and nothing else but its path. Fields holding a comma, a quote or a line end are quoted.
// `readable` is set to whether the file was read.
std::string info_row(const std::string& path, const ConversionOptions& options, bool& readable);

// Writes the header and one row per input to `out`; returns how many inputs could not be read.
std::size_t write_info(const ConversionOptions& options, companion::OutputFile& out);

}  // namespace smwave::table

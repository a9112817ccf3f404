#pragma once
// miniSEED records, decoded by libmseed.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Whether the bytes begin with a miniSEED record header.
bool looks_like_mseed(std::string_view content);

// Reads every data channel of the file, one component each (channel code as its name, samples in
// counts). A gap, an overlap or a change of sample rate within a channel is a Problem giving its
// time, except that with `fill_gaps` a gap is filled with zeros (and a warning gives how many).
// Records are taken one at a time from memory, and what libmseed gives is checked before use: a
// record cut short, a sample count beyond what the record can hold, decoded samples fewer than the
// header says, a rate that is not positive are Problems naming the byte offset of the record.
// Text (log) records are skipped.
companion::Result<Reading> read_mseed(std::string_view content, const std::string& name, bool fill_gaps);

}  // namespace smwave::table

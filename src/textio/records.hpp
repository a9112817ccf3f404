#pragma once
// Output records: every line the tool writes, on the console or in a file.
//
// A free-format record is a list of items laid out by their kinds, split into lines of at most 80
// columns; an edit-format record lays out double items through a format text such as
// "(F8.4,6(',',E12.4))". A record is assembled in memory and handed to its unit line by line.
//
//     start_free_record(6); put_text("NT and DT="); put_integer(nt); put_double(dt); end_free_record();
//     start_edit_record(10, "(F8.4,6(',',E12.4))"); put_edit_double(f); ...; end_edit_record();
#include <cstdint>
#include <string_view>

namespace smwave {

// Free-format record on `unit`: a text item (all of its characters, trailing blanks included),
// a 32-bit integer, a double; end_free_record writes the last line and its line end.
void start_free_record(int unit);
void put_text(std::string_view text);
void put_integer(std::int32_t value);
void put_double(double value);
void end_free_record();

// Edit-format record on `unit` laid out by `format`; each double goes through the next F or E field;
// end_edit_record writes what the format holds up to its next data field, then the line end.
void start_edit_record(int unit, std::string_view format);
void put_edit_double(double value);
void end_edit_record();

}  // namespace smwave

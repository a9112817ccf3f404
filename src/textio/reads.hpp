#pragma once
// Input reads: every answer, file name and table row the tool takes in.
//
// The free-format read takes integers, doubles and texts separated by blanks, commas, slashes and
// line ends, over as many lines as it needs, and discards the rest of its last line. The
// fixed-format line read takes one line into a 90-character field ("(A90)").
//
//     if (begin_free_read(11, true) < 0) ...;           // end of file handed back (end branch only)
//     if (read_double(time[i]) < 0) ...;
//     if (end_free_read() < 0) ...;
#include <cstdint>
#include <span>

#include "facts/core_facts.hpp"

namespace smwave {

inline constexpr int text_field_length = facts::name_length;
using TextField = char[text_field_length];

// Each returns 0, or -1 for an end of file handed back to the caller (always for a read with an end
// branch; otherwise only where the rules say the end is not looked at). Every other failure ends the
// run with the fatal I/O report.
int begin_free_read(int unit, bool end_branch);
int read_integer(std::int32_t& value);
int read_double(double& value);
// Reads values.size() double items in order, exactly as as many read_double calls; at the first
// item that gives -1 the rest stay unchanged.
int read_doubles(std::span<double> values);
int read_text(std::span<char> field);
int end_free_read();

// Fixed-format line read "(A90)" of one line into `field` (blank padded).
void read_line_field(int unit, std::span<char> field);

}  // namespace smwave

#pragma once
// Numbers as text in the companion tools: the shortest text that reads back to the same double, and
// the fields of the suite's files.
#include <optional>
#include <string>
#include <string_view>

namespace smwave::companion {

// Appends the shortest decimal text that reads back to exactly `value` ("0.01", "-2.5e-05").
void append_shortest(std::string& text, double value);

// Reads a whole field as a number, blanks around it allowed: plain decimals ("0.25", "1.E-005"),
// and the exponent fields of three digits that the suite writes without the letter E ("0.1234+124").
// Returns nothing for anything else (an empty field, asterisks, letters, a value beyond the double
// range).
std::optional<double> parse_number(std::string_view field);

}  // namespace smwave::companion

#pragma once
// Small text operations every companion needs on the fields and names it reads.
#include <string>
#include <string_view>
#include <vector>

namespace smwave::companion {

// The text without blanks, tabs and carriage returns at either end.
std::string_view trim(std::string_view text);

// The text with the letters A-Z made lower case (names compared without regard to case).
std::string lower_case(std::string_view text);

// The items of a comma-separated list, as they stand ("a,,b" gives "a", "" and "b"; "" gives one "").
std::vector<std::string> comma_items(std::string_view text);

}  // namespace smwave::companion

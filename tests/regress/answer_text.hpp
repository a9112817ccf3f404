#pragma once
// Console answers in every form smwave's reads accept, and some they refuse.
#include <cstdint>
#include <optional>
#include <string>

#include "regress/random_source.hpp"

namespace smwave::regress {

// One answer to an integer question, with the lines it takes (each ended by a line feed), and what
// smwave stores: `stored` is empty for a null answer (the variable keeps its value), and `fatal` says
// that the read ends the run with a report.
struct IntegerAnswer {
    std::string text;
    std::optional<std::int32_t> stored;
    bool fatal = false;
};

// An answer meaning `value` in a random form (or, now and then, a null or a refused form).
IntegerAnswer integer_answer(RandomSource& random, std::int32_t value);

// The text of one double value in a random spelling (exponent letters, signs, leading points).
std::string double_text(RandomSource& random, double value);

// A free-format read of `count` doubles, spread over one or more lines, with null items, repeat
// counts, an early slash or trailing values now and then; `fatal` when it holds a refused item.
struct DoublesAnswer {
    std::string text;
    bool fatal = false;
};
DoublesAnswer doubles_answer(RandomSource& random, const double* values, int count);

// A file name line of any length: short names, names with blanks, names cut at 90 characters, a name
// longer than a file system takes.
std::string file_name(RandomSource& random);

}  // namespace smwave::regress

#pragma once
// Waveform tables of every shape smwave's table reader meets: sizes from 2 rows to past the 131072
// limit, rows split over lines, extra and missing values, empty fields, header variants, a bad value.
#include <string>

#include "regress/random_source.hpp"

namespace smwave::regress {

struct TableText {
    std::string text;
    std::string summary;  // rows and the variants used
};

TableText table_text(RandomSource& random);

}  // namespace smwave::regress

#pragma once
// Console answers: one free-format read of one value from the console per question. Every failure,
// an end of input included, ends the run inside the read layer.
#include <cstdint>

#include "textio/reads.hpp"
#include "textio/units.hpp"

namespace smwave {

// Reads one integer answer into `value`; a null answer leaves it unchanged.
//     read_answer(run.myes);
inline void read_answer(std::int32_t& value) {
    begin_free_read(unit_stdin, false);
    read_integer(value);
    end_free_read();
}

// Reads one double answer into `value`; a null answer leaves it unchanged.
inline void read_answer(double& value) {
    begin_free_read(unit_stdin, false);
    read_double(value);
    end_free_read();
}

}  // namespace smwave

#pragma once
// The state of the free-format read in progress. One read runs at a time, on any unit, so one
// instance serves them all; Begin sets it up and it is dropped with the read.
#include <cstdint>
#include <string>

#include "textio/units.hpp"

namespace smwave {

struct FreeRead {
    Unit* source = nullptr;   // the unit read
    bool end_branch = false;  // the caller takes an end of file as its end branch
    bool quit = false;        // a slash was met: the remaining items stay unchanged
    bool end_seen = false;    // a scanner met the end of the stream during this read
    // Items, the current one included, that still take the current value; 0 when none.
    std::int32_t repeat = 0;

    // The current value: none (a null item), the last number scanned or the last text scanned.
    // An item of the other kind than the current value is left unchanged by a repetition.
    enum class Value { none, number, text } current = Value::none;
    double number = 0.0;
    std::string text;
};

}  // namespace smwave

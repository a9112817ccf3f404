#pragma once
// One-item records: an empty line, or a line holding one text item.
#include <string_view>

#include "textio/records.hpp"

namespace smwave {

// An empty free-format record on `unit`.
//     write_empty_record(unit_stdout);
inline void write_empty_record(int unit) {
    start_free_record(unit);
    end_free_record();
}

// A free-format record on `unit` holding the single text item `text`.
//     write_text_record(unit_stdout, " Band Pass Filter? (YES=1)?? :");
inline void write_text_record(int unit, std::string_view text) {
    start_free_record(unit);
    put_text(text);
    end_free_record();
}

}  // namespace smwave

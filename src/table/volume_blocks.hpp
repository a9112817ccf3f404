#pragma once
// The channel blocks of the California volume layout and the formats built on it (USC, RENADIC, BHRC):
// a number of text lines, lines of integer fields, lines of real fields, then the data, as (time,
// value) pairs of digitised film or as evenly spaced values.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

// Numbered header slots (from 1) read from fixed fields.
struct Slots {
    std::vector<std::optional<double>> values;
    // Slot `number`, or nothing when absent, blank or the sentinel -999.
    std::optional<double> at(std::size_t number) const;
};

struct BlockLayout {
    std::size_t text_lines = 0;
    std::size_t integer_lines = 0;
    FieldLayout integers;
    std::size_t real_lines = 0;
    FieldLayout reals;
};

struct BlockHeader {
    std::vector<std::string_view> text;
    std::uint64_t first_line = 0;  // the line number of text line 1
    Slots integers, reals;
    // The line number of text line `number` (from 1), for messages.
    std::uint64_t line_of(std::size_t number) const { return first_line + number - 1; }
};

// Reads a block's text, integer and real lines; text or header lines ending early, or a header field
// that is not a number: a Problem naming the line.
companion::Result<BlockHeader> read_block_header(TextLines& lines, const BlockLayout& layout,
                                                 const std::string& name);

// Evenly spaced samples from (time, value) pairs.
struct PairedSeries {
    std::vector<double> values;
    double interval = 0;
};

// Reads `count` (time, value) pairs in `layout` and takes their interval: refused, naming the line,
// when the times are not evenly spaced to their printed precision of `resolution` seconds (film
// records digitised at uneven times, which a table of one interval cannot hold).
companion::Result<PairedSeries> read_pairs(TextLines& lines, std::size_t count, const FieldLayout& layout,
                                           double resolution, const std::string& name);

// Reads the line that must close a channel's data ("/&  ----  End of data for channel  1  ----"):
// a Problem naming the line when it is another or missing.
companion::Status read_end_line(TextLines& lines, const std::string& name);

// The count a header states both in text (`text_count`, from its text line `text_line`) and in an
// integer slot: the one count, or a Problem naming the line when they disagree or neither is a count.
companion::Result<std::size_t> stated_count(std::optional<double> text_count,
                                            std::optional<double> slot_count, std::size_t slot,
                                            std::uint64_t text_line, const std::string& name);

// The sample count of a block of values in tenths of g (USC, BHRC): text line 11's "POINTS =" and
// integer 28, which must agree, and text line 12, which must say G/10.
companion::Result<std::size_t> tenths_of_g_count(const BlockHeader& header, const std::string& name);

}  // namespace smwave::table

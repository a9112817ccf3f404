#include "table/volume_blocks.hpp"

#include <cmath>

#include "table/agency_header.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

std::optional<double> Slots::at(std::size_t number) const {
    if (number == 0 || number > values.size() || !values[number - 1] || *values[number - 1] == -999)
        return std::nullopt;
    return values[number - 1];
}

Result<BlockHeader> read_block_header(TextLines& lines, const BlockLayout& layout, const std::string& name) {
    BlockHeader header;
    header.first_line = lines.number() + 1;
    std::string_view line;
    for (std::size_t k = 0; k < layout.text_lines; ++k) {
        if (!lines.next(line)) {
            return Problem{name, lines.number() + 1,
                           "the text header ends after " + std::to_string(k) + " of its " +
                               std::to_string(layout.text_lines) + " lines"};
        }
        header.text.push_back(line);
    }
    auto integers =
        read_field_lines(lines, layout.integer_lines, layout.integers, name, "integer header lines");
    if (!integers) return integers.problem();
    auto reals = read_field_lines(lines, layout.real_lines, layout.reals, name, "real header lines");
    if (!reals) return reals.problem();
    header.integers.values = std::move(*integers);
    header.reals.values = std::move(*reals);
    return header;
}

Result<PairedSeries> read_pairs(TextLines& lines, std::size_t count, const FieldLayout& layout,
                                double resolution, const std::string& name) {
    const std::uint64_t first_line = lines.number() + 1;
    auto pairs = read_values(lines, 2 * count, layout, name, "(time, value) pairs' numbers");
    if (!pairs) return pairs.problem();
    if (count < 2) return Problem{name, first_line, "fewer than two (time, value) pairs"};
    PairedSeries series;
    series.interval = ((*pairs)[2 * count - 2] - (*pairs)[0]) / static_cast<double>(count - 1);
    if (!(series.interval > 0)) return Problem{name, first_line, "the pairs' times do not increase"};
    // The mean step of evenly spaced times printed to a few decimals, made the interval it stands for.
    series.interval = std::round(series.interval * 1e6) / 1e6;
    const std::size_t pairs_per_line = std::max<std::size_t>(1, layout.per_line / 2);
    for (std::size_t i = 0; i < count; ++i) {
        const double time = (*pairs)[2 * i];
        const double expected = (*pairs)[0] + static_cast<double>(i) * series.interval;
        if (std::abs(time - expected) > resolution) {
            return Problem{name, first_line + i / pairs_per_line,
                           "the pairs' times are not evenly spaced (sample " + std::to_string(i + 1) +
                               " at " + number_text(time) + " s, " + number_text(expected) +
                               " s at an even interval): film digitised at uneven times cannot be made a "
                               "table of one interval; resample it first"};
        }
        series.values.push_back((*pairs)[2 * i + 1]);
    }
    return series;
}

companion::Status read_end_line(TextLines& lines, const std::string& name) {
    std::string_view line;
    if (!lines.next(line))
        return Problem{name, lines.number() + 1,
                       "the channel's end line ('/&  ... End of data ...') is missing"};
    if (!trim(line).starts_with("/&")) {
        return Problem{name, lines.number(),
                       "expected the channel's end line ('/&  ... End of data ...'): more values than the "
                       "header states, or a missing end line"};
    }
    return std::nullopt;
}

Result<std::size_t> stated_count(std::optional<double> text_count, std::optional<double> slot_count,
                                 std::size_t slot, std::uint64_t text_line, const std::string& name) {
    if (text_count && slot_count && *text_count != *slot_count) {
        return Problem{name, text_line,
                       "the number of points (" + number_text(*text_count) + ") differs from integer " +
                           std::to_string(slot) + " (" + number_text(*slot_count) + ")"};
    }
    const auto count = text_count ? text_count : slot_count;
    if (!count || !is_sample_count(*count) || *count < 1)
        return Problem{name, text_line, "the number of points is not stated"};
    return static_cast<std::size_t>(*count);
}

companion::Result<std::size_t> tenths_of_g_count(const BlockHeader& header, const std::string& name) {
    auto count = stated_count(number_following(header.text[10], "POINTS ="), header.integers.at(28), 28,
                              header.line_of(11), name);
    if (!count) return count.problem();
    if (lower_case(header.text[11]).find("g/10") == std::string::npos)
        return companion::Problem{name, header.line_of(12),
                                  "the units line does not say G/10: the units cannot be told"};
    return count;
}

}  // namespace smwave::table

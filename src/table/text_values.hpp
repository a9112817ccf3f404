#pragma once
// The numbers of text records: data blocks of fixed-width fields or blank-separated words, the
// field layouts ("(8F10.5)") the headers state for them, and values that follow a label on a header line.
// Every text reader takes its numbers through these, so all read numbers alike.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"
#include "table/text_lines.hpp"

namespace smwave::table {

// A block's layout: `per_line` values to a full line, each `width` characters (width 0: values
// separated by blanks, as many as a line holds), after `indent` columns each line leaves blank.
struct FieldLayout {
    std::size_t per_line = 0;
    std::size_t width = 0;
    std::size_t indent = 0;
};

// Reads a field layout such as "(8F10.5)", "(1E15.6)", "(10I8)" or "5G15.7" (with or without
// the parentheses): the repeat count and the field width. Nothing for other text.
std::optional<FieldLayout> parse_field_layout(std::string_view text);

// Reads `count` numbers from the lines that follow in `lines`, in fixed fields of `layout.width`
// characters (blank fields at the end of a line skipped) or blank-separated words. The text ending
// before `count` values, or a field that is not a number: a Problem naming the file and line.
// `what` names the block in messages ("acceleration data").
companion::Result<std::vector<double>> read_values(TextLines& lines, std::size_t count,
                                                   const FieldLayout& layout, const std::string& name,
                                                   std::string_view what);

// Reads `line_count` lines of fixed fields as numbered slots: field f (from 0) of line l (from 0)
// is slot l x per_line + f. A field that is blank, or cut short by the end of its line, is absent.
// The text ending early, or a field that is not a number: a Problem naming the file and line.
companion::Result<std::vector<std::optional<double>>> read_field_lines(TextLines& lines,
                                                                       std::size_t line_count,
                                                                       const FieldLayout& layout,
                                                                       const std::string& name,
                                                                       std::string_view what);

// The number written after `label` in `line` ("NPTS=   7999," after "NPTS="): the first blank-
// separated word there, without a trailing comma. Nothing when the label is missing or the word is
// not a number.
std::optional<double> number_after(std::string_view line, std::string_view label);

// Whether `value` is a whole number in the range of a count of samples (0 to 2^31).
bool is_sample_count(double value);

}  // namespace smwave::table

#include "table/columns_reader.hpp"

#include <charconv>
#include <cmath>
#include <filesystem>

#include "companion/number_text.hpp"
#include "portable/float_chars.hpp"
#include "table/text_lines.hpp"

namespace smwave::table {

using companion::parse_number;
using companion::Problem;
using companion::Result;

namespace {

constexpr double evenness = 1e-6;

// Splits a line into fields: on the separator when it is a comma or semicolon (fields trimmed), on
// runs of blanks and tabs otherwise.
void split_fields(std::string_view line, char separator, std::vector<std::string_view>& fields) {
    fields.clear();
    if (separator == ' ') {
        for (std::string_view word = take_word(line); !word.empty(); word = take_word(line))
            fields.push_back(word);
        return;
    }
    while (true) {
        const std::size_t end = line.find(separator);
        fields.push_back(trim(line.substr(0, end)));
        if (end == std::string_view::npos) break;
        line.remove_prefix(end + 1);
    }
    if (fields.size() > 1 && fields.back().empty()) fields.pop_back();  // a separator ending the line
}

bool is_skipped(std::string_view line) {
    const std::string_view content = trim(line);
    return content.empty() || content.front() == '#';
}

char separator_of(std::string_view line) {
    if (line.find(';') != std::string_view::npos) return ';';
    if (line.find(',') != std::string_view::npos) return ',';
    return ' ';
}

bool all_numbers(const std::vector<std::string_view>& fields) {
    for (const auto field : fields) {
        if (!parse_number(field)) return false;
    }
    return true;
}

// The 0-based column an entry of the choice names: a 1-based number, or a header name (exact first,
// then ignoring case).
Result<std::size_t> resolve_column(std::string_view entry, const std::vector<std::string>& header,
                                   const std::string& name, std::uint64_t header_line) {
    std::size_t number = 0;
    const auto [end, error] = std::from_chars(entry.data(), entry.data() + entry.size(), number);
    if (error == std::errc() && end == entry.data() + entry.size()) {
        if (number == 0) return Problem{name, 0, "column numbers count from 1; 0 names no column"};
        return number - 1;
    }
    for (std::size_t column = 0; column < header.size(); ++column) {
        if (header[column] == entry) return column;
    }
    for (std::size_t column = 0; column < header.size(); ++column) {
        if (lower_case(header[column]) == lower_case(entry)) return column;
    }
    if (header.empty()) return Problem{name, 0, "no header line names a column " + quoted(entry)};
    std::string known;
    for (const auto& column : header) known += (known.empty() ? "" : ", ") + column;
    if (known.size() > 120) known = known.substr(0, 120) + "...";
    return Problem{name, header_line, "no column named " + quoted(entry) + " in the header (" + known + ")"};
}

Result<double> even_interval(const std::vector<double>& times, const std::vector<std::uint64_t>& rows,
                             const std::string& name) {
    const double mean = (times.back() - times.front()) / static_cast<double>(times.size() - 1);
    if (!(mean > 0) || !std::isfinite(mean))
        return Problem{name, rows.back(), "the time column does not increase evenly"};
    for (std::size_t i = 1; i < times.size(); ++i) {
        const double step = times[i] - times[i - 1];
        if (!(step > 0) || !(std::abs(step - mean) <= evenness * mean)) {
            std::string what = "the time column is not evenly spaced: step ";
            companion::append_shortest(what, step);
            what += " here, mean step ";
            companion::append_shortest(what, mean);
            return Problem{name, rows[i], what};
        }
    }
    return tidy_interval(mean);
}

}  // namespace

double tidy_interval(double interval) {
    char text[40];
    for (int digits = 1; digits <= 17; ++digits) {
        const auto end =
            std::to_chars(text, text + sizeof text, interval, std::chars_format::general, digits).ptr;
        double candidate = 0;
        portable::from_chars(text, end, candidate);
        if (std::abs(candidate - interval) <= 1e-10 * std::abs(interval)) return candidate;
    }
    return interval;
}

Result<Reading> read_columns(std::string_view text, const std::string& name, const ColumnChoice& choice) {
    if (!choice.columns.empty() && choice.columns.size() != 3 && choice.columns.size() != 4) {
        return Problem{"", 0, "--columns takes three or four columns (a time column, then three components)"};
    }
    TextLines lines(text);
    std::string_view line;
    std::vector<std::string_view> fields;
    char separator = ' ';
    std::vector<std::string> header;
    std::uint64_t header_line = 0;
    std::size_t field_count = 0;
    // The first line that is not a comment decides the separator; if it is not all numbers, it names
    // the columns.
    bool first_row_waiting = false;
    while (lines.next(line)) {
        if (is_skipped(line)) continue;
        separator = separator_of(line);
        split_fields(line, separator, fields);
        field_count = fields.size();
        if (all_numbers(fields)) {
            first_row_waiting = true;
        } else {
            header_line = lines.number();
            for (const auto field : fields) header.emplace_back(field);
        }
        break;
    }
    if (field_count == 0) return Problem{name, 0, "no rows of numbers in the file"};

    std::vector<std::string> entries = choice.columns;
    if (entries.empty()) {
        if (field_count == 4) entries = {"1", "2", "3", "4"};
        if (field_count == 3) entries = {"1", "2", "3"};
        if (entries.empty()) {
            return Problem{name, lines.number(),
                           std::to_string(field_count) +
                               " columns: choose the time and component columns with --columns"};
        }
    }
    const bool has_time = entries.size() == 4;
    // Columns the user chose make these usage problems; columns the file gave make them the file's.
    const std::string chosen_from = choice.columns.empty() ? name : "";
    if (has_time && choice.interval)
        return Problem{chosen_from, 0, "--dt goes with three columns only: the time column gives the interval"};
    if (!has_time && !choice.interval)
        return Problem{chosen_from, 0, "three columns and no time column: give the interval with --dt"};
    std::vector<std::size_t> picked;
    for (const auto& entry : entries) {
        auto column = resolve_column(entry, header, name, header_line);
        if (!column) return column.problem();
        picked.push_back(*column);
    }

    std::vector<double> columns[4];
    std::vector<std::uint64_t> rows;
    auto take_row = [&]() -> companion::Status {
        for (std::size_t k = 0; k < picked.size(); ++k) {
            if (picked[k] >= fields.size()) {
                return Problem{name, lines.number(),
                               "the row has " + std::to_string(fields.size()) + " columns; column " +
                                   std::to_string(picked[k] + 1) + " is needed"};
            }
            const auto value = parse_number(fields[picked[k]]);
            if (!value) {
                return Problem{name, lines.number(),
                               quoted(fields[picked[k]]) + " is not a number (column " +
                                   std::to_string(picked[k] + 1) + ")"};
            }
            columns[k].push_back(*value);
        }
        rows.push_back(lines.number());
        return std::nullopt;
    };
    if (first_row_waiting) {
        if (auto problem = take_row()) return *problem;
    }
    while (lines.next(line)) {
        if (is_skipped(line)) continue;
        split_fields(line, separator, fields);
        if (auto problem = take_row()) return *problem;
    }
    if (rows.size() < 2) return Problem{name, 0, "fewer than two rows of numbers"};

    Reading reading;
    const std::size_t first_component = has_time ? 1 : 0;
    double interval = choice.interval.value_or(0);
    if (has_time) {
        auto even = even_interval(columns[0], rows, name);
        if (!even) return even.problem();
        interval = *even;
    }
    const std::string station = std::filesystem::path(name).stem().string();
    for (std::size_t k = first_component; k < entries.size(); ++k) {
        Component component;
        component.samples = std::move(columns[k]);
        component.interval = interval;
        component.station = station;
        component.name = header.empty() || picked[k] >= header.size()
                             ? "comp" + std::to_string(k - first_component + 1)
                             : header[picked[k]];
        component.units = "as in the file";
        component.source = name;
        reading.components.push_back(std::move(component));
    }
    return reading;
}

}  // namespace smwave::table

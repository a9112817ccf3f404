#include "table/smc_reader.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "table/agency_header.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr std::size_t text_lines = 11;
constexpr FieldLayout integer_layout{8, 10};
constexpr FieldLayout real_layout{5, 15};
constexpr FieldLayout data_layout{8, 10};
constexpr double missing_integer = -32768;
constexpr double missing_real = 1e38;  // written 0.1700000E+39

std::optional<double> integer_at(const std::vector<std::optional<double>>& slots, std::size_t number) {
    const auto value = slots[number - 1];
    if (!value || *value == missing_integer) return std::nullopt;
    return value;
}

std::optional<double> real_at(const std::vector<std::optional<double>>& slots, std::size_t number) {
    const auto value = slots[number - 1];
    if (!value || std::abs(*value) >= missing_real) return std::nullopt;
    return value;
}

// Warns when the stated extreme differs from the samples' by more than 0.1 %.
void check_extreme(const std::string& name, const char* which, std::optional<double> stated, double found,
                   std::vector<std::string>& warnings) {
    if (!stated || std::abs(found - *stated) <= 0.001 * std::abs(*stated)) return;
    warnings.push_back(name + ": the " + which + " is " + number_text(found) + " but real " +
                       (std::string(which) == "maximum" ? "30" : "32") + " states " + number_text(*stated) +
                       " (more than 0.1 % apart); the agency's filtering may explain a difference");
}

}  // namespace

bool looks_like_smc(std::string_view content) {
    const std::string_view first = nth_line(content, 0);
    if (first.size() < 3 || first[0] < '0' || first[0] > '9' || first[1] != ' ' || first[2] == ' ')
        return false;
    // The data type is words ("CORRECTED ACCELEROGRAM"): a row of numbers is not such a line.
    for (const char c : first.substr(2)) {
        if (!std::isalpha(static_cast<unsigned char>(c)) && c != ' ' && c != '\r') return false;
    }
    const std::string_view integers = nth_line(content, 11);
    if (integers.size() < 80) return false;
    for (std::size_t at = 0; at < 80; at += 10) {
        if (!leading_number(integers.substr(at, 10))) return false;
    }
    return true;
}

Result<Reading> read_smc(std::string_view text, const std::string& name) {
    TextLines lines(text);
    std::vector<std::string_view> header;
    std::string_view line;
    for (std::size_t k = 0; k < text_lines; ++k) {
        if (!lines.next(line)) {
            return Problem{name, lines.number() + 1,
                           "the text header ends after " + std::to_string(k) + " of its 11 lines"};
        }
        header.push_back(line);
    }
    const std::string type = lower_case(trim(header[0]));
    if (type != "2 corrected accelerogram") {
        return Problem{name, 1,
                       "the file holds " + quoted(trim(header[0])) +
                           ": only corrected accelerograms (code 2, in cm/s/s) are read"};
    }
    auto integers = read_field_lines(lines, 6, integer_layout, name, "integer header lines");
    if (!integers) return integers.problem();
    auto reals = read_field_lines(lines, 10, real_layout, name, "real header lines");
    if (!reals) return reals.problem();
    const auto comments = integer_at(*integers, 16).value_or(0);
    const auto count = integer_at(*integers, 17);
    if (!is_sample_count(comments) || !count || !is_sample_count(*count) || *count < 1)
        return Problem{name, 13, "integers 16 and 17 (comment lines, samples) are not counts"};
    for (double k = 0; k < comments; ++k) {
        if (!lines.next(line)) return Problem{name, lines.number() + 1, "the comment lines end early"};
        if (!line.starts_with('|'))
            return Problem{name, lines.number(), "expected a comment line starting with '|'"};
    }
    const auto rate = real_at(*reals, 2);
    if (!rate || !(*rate > 0)) return Problem{name, 18, "real 2 (samples per second) is not positive"};
    auto values = read_values(lines, static_cast<std::size_t>(*count), data_layout, name, "samples");
    if (!values) return values.problem();
    if (lines.next_filled(line))
        return Problem{name, lines.number(),
                       "more samples than the " + number_text(*count) + " integer 17 states"};

    Reading reading;
    const auto [low, high] = std::minmax_element(values->begin(), values->end());
    check_extreme(name, "maximum", real_at(*reals, 30), *high, reading.warnings);
    check_extreme(name, "minimum", real_at(*reals, 32), *low, reading.warnings);
    Component component;
    component.source = name;
    component.units = "cm/s/s";
    component.interval = 1 / *rate;
    component.station = std::string(trim(header[2]));
    // Line 6: "station = San Francisco, 1295 Shafter, F component=    360" (or "up").
    const std::string direction = lower_case(word_following(header[5], "component="));
    const auto azimuth = integer_at(*integers, 14);
    if (direction == "up" || integer_at(*integers, 13) == 0.0) {
        component.name = "UP";
        component.dip = -90.0;
    } else if (azimuth || leading_number(direction)) {
        const double degrees = azimuth ? *azimuth : *leading_number(direction);
        component.name = "H" + number_text(degrees);
        component.azimuth = std::fmod(std::fmod(degrees, 360.0) + 360.0, 360.0);
        component.dip = 0.0;
    } else {
        component.name = direction.empty() ? "comp" : direction;
    }
    // The record id of line 3 names the component with its last letter; the station is the rest.
    if (component.station.size() > 1) component.station.pop_back();
    component.site.latitude = real_at(*reals, 11);
    component.site.longitude = real_at(*reals, 12);
    component.origin.latitude = real_at(*reals, 3);
    component.origin.longitude = real_at(*reals, 4);
    component.origin.depth = real_at(*reals, 5);
    for (const std::size_t slot : {6, 8, 7}) {
        component.origin.magnitude = real_at(*reals, slot);
        if (component.origin.magnitude) break;
    }
    component.stated.add("level", "corrected");
    component.samples = std::move(*values);
    reading.components.push_back(std::move(component));
    return reading;
}

}  // namespace smwave::table

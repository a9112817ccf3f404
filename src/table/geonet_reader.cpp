#include "table/geonet_reader.hpp"

#include <algorithm>
#include <cmath>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"
#include "table/physical_units.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr std::size_t text_lines = 16;
constexpr FieldLayout header_layout{10, 8};
constexpr FieldLayout data_layout{10, 8};

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

double slot(const std::vector<double>& values, std::size_t number) { return values[number - 1]; }

// A time from whole fields (seconds given in `per_second` parts); nothing when they make no date.
std::optional<std::int64_t> time_of(double year, double month, double day, double hour, double minute,
                                    double parts, double per_second) {
    return time_from_parts(static_cast<int>(year), static_cast<int>(month), static_cast<int>(day),
                           static_cast<int>(hour), static_cast<int>(minute), parts / per_second);
}

// "Acceleration:  peak  -9733.1 mm/s/s at ...": the units after the peak.
std::string units_of(std::string_view line) {
    const std::string lowered = lower_case(line);
    const std::size_t peak = lowered.find("peak");
    if (peak == std::string::npos) return {};
    std::string_view rest = line.substr(peak + 4);
    take_word(rest);
    return std::string(take_word(rest));
}

// A V1A's "Raw readings in units of 1.00 mm/s/s": the reading unit; 1 when the line says none.
double reading_unit(std::string_view line) {
    const auto unit = number_after(line, "units of");
    return unit && *unit > 0 ? *unit : 1.0;
}

void check_peak(const std::string& name, const std::string& component, const std::string& quantity,
                double stated, const std::vector<double>& values, bool processed,
                std::vector<std::string>& warnings) {
    double peak = 0;
    for (const double value : values) peak = std::max(peak, std::abs(value));
    const double difference = std::abs(peak - std::abs(stated));
    if (difference <= 0.001 * std::abs(stated) || difference <= 0.05) return;
    warnings.push_back(
        name + ": component " + component + ": the peak " + quantity + " is " + number_text(peak) +
        " but the header states " + number_text(stated) + " (more than 0.1 % apart)" +
        (processed ? "; the agency's filtering may explain a difference" : ": check the file"));
}

}  // namespace

bool looks_like_geonet(std::string_view content) {
    const std::string_view first = trim(nth_line(content, 0));
    return (first.starts_with("Uncorrected accelerogram") || first.starts_with("Corrected accelerogram")) &&
           first.ends_with("GNS Science") && nth_line(content, 1).starts_with("Site ");
}

Result<Reading> read_geonet(std::string_view text, const std::string& name) {
    TextLines lines(text);
    Reading reading;
    std::string_view line;
    for (int index = 0; index < 3; ++index) {
        std::string_view header[text_lines];
        for (std::size_t k = 0; k < text_lines; ++k) {
            if (!lines.next(header[k])) {
                return Problem{
                    name, lines.number() + 1,
                    "component " + std::to_string(index + 1) + " of 3: the text header ends early"};
            }
        }
        const std::uint64_t first_line = lines.number() - text_lines + 1;
        auto integers = read_values(lines, 40, header_layout, name, "integer header values");
        if (!integers) return integers.problem();
        auto reals = read_values(lines, 60, header_layout, name, "real header values");
        if (!reals) return reals.problem();
        const bool processed = trim(header[0]).starts_with("Corrected");
        const std::size_t counts[3] = {static_cast<std::size_t>(std::max(0.0, slot(*integers, 34))),
                                       static_cast<std::size_t>(std::max(0.0, slot(*integers, 35))),
                                       static_cast<std::size_t>(std::max(0.0, slot(*integers, 36)))};
        if (counts[0] == 0 || !is_sample_count(slot(*integers, 34)))
            return Problem{name, first_line + text_lines + 3,
                           "integer 34 (the acceleration samples) is not a count"};
        std::string_view component_line = header[12];
        std::string_view rest = component_line;
        take_word(rest);
        const std::string direction(take_word(rest));

        const std::string units = units_of(header[13]);
        const auto factor = units.empty() ? std::nullopt : factor_to_gal(units);
        if (!factor) {
            return Problem{name, first_line + 13,
                           "the units of the acceleration line (" + quoted(units) +
                               ") are not units of acceleration (mm/s/s)"};
        }
        const double unit = processed ? 1.0 : reading_unit(header[10]);
        const char* quantities[3] = {"acceleration", "velocity", "displacement"};
        const double stated[3] = {slot(*reals, processed ? 36 : 31), slot(*reals, 41), slot(*reals, 46)};
        std::vector<double> acceleration;
        for (int q = 0; q < 3; ++q) {
            if (q > 0 && (!processed || counts[q] == 0)) continue;
            auto values =
                read_values(lines, counts[q], data_layout, name, std::string(quantities[q]) + " values");
            if (!values) return values.problem();
            for (double& value : *values) value *= unit;
            check_peak(name, direction, quantities[q], stated[q], *values, processed, reading.warnings);
            if (q == 0) acceleration = std::move(*values);
        }

        Component component;
        component.source = name;
        component.units = "cm/s/s";
        std::string_view site = header[1];
        take_word(site);
        component.station = std::string(take_word(site));
        component.name = direction.empty() ? "comp" + std::to_string(index + 1) : direction;
        if (lower_case(direction) == "up") {
            component.azimuth = 0.0;
            component.dip = -90.0;
        } else {
            component.azimuth = std::fmod(std::fmod(slot(*integers, 28), 360.0) + 360.0, 360.0);
            component.dip = 0.0;
        }
        const double interval = slot(*reals, 26);
        if (!(interval > 0))
            return Problem{name, first_line + text_lines + 6, "real 26 (the data interval) is not positive"};
        component.interval = interval;
        if (slot(*reals, 11) != 0 || slot(*reals, 12) != 0) {
            component.site.latitude = -slot(*reals, 11);
            component.site.longitude = slot(*reals, 12);
        }
        if (slot(*reals, 13) != 0 || slot(*reals, 14) != 0) {
            component.origin.latitude = -slot(*reals, 13);
            component.origin.longitude = slot(*reals, 14);
        }
        if (slot(*reals, 15) > 0) component.origin.magnitude = slot(*reals, 15);
        component.origin.depth = slot(*integers, 17);
        component.origin.time = time_of(slot(*integers, 1), slot(*integers, 2), slot(*integers, 3),
                                        slot(*integers, 4), slot(*integers, 5), slot(*integers, 6), 10);
        // The buffer start is the first sample of the uncorrected series; how a corrected file's
        // shorter window sits against it is not stated, so a V2A gives no start.
        if (!processed) {
            component.start = time_of(slot(*integers, 9), slot(*integers, 10), slot(*integers, 19),
                                      slot(*integers, 20), slot(*integers, 39), slot(*integers, 40), 1000);
        }
        component.stated.add("level", processed ? "V2A" : "V1A");
        // The band-pass filter's transition bands, high-pass then low-pass ("0.1-0.25,24.5-25.5").
        if (processed && slot(*reals, 51) > 0 && slot(*reals, 58) > 0) {
            component.stated.add("filter",
                                 number_text(slot(*reals, 51)) + "-" + number_text(slot(*reals, 53)) + "," +
                                     number_text(slot(*reals, 56)) + "-" + number_text(slot(*reals, 58)));
        }
        component.samples = std::move(acceleration);
        for (double& value : component.samples) value *= *factor;
        reading.components.push_back(std::move(component));
    }
    if (lines.next_filled(line))
        return Problem{name, lines.number(), "more lines after the third component's data"};
    return reading;
}

}  // namespace smwave::table

#include "table/esm_reader.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"
#include "table/labelled_header.hpp"
#include "table/physical_units.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

std::optional<double> number_of(const LabelledHeader& header, std::string_view label) {
    const auto* item = header.find(label);
    return item ? companion::parse_number(item->value) : std::nullopt;
}

std::string text_of(const LabelledHeader& header, std::string_view label) {
    const auto* item = header.find(label);
    return item ? std::string(item->value) : std::string();
}

// "20190728_160919.870" (or date and time in two fields, "20190728" and "160908").
std::optional<std::int64_t> compact_time(const std::string& date, const std::string& time) {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (std::sscanf(date.c_str(), "%4d%2d%2d", &year, &month, &day) != 3) return std::nullopt;
    if (std::sscanf(time.c_str(), "%2d%2d%lf", &hour, &minute, &second) != 3) return std::nullopt;
    return time_from_parts(year, month, day, hour, minute, second);
}

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

Problem missing(const std::string& name, std::string_view label, std::string_view what) {
    return Problem{name, 0, "the header has no " + std::string(label) + " (" + std::string(what) + ")"};
}

}  // namespace

bool looks_like_esm(std::string_view content) { return content.starts_with("EVENT_NAME:"); }

Result<Reading> read_esm(std::string_view text, const std::string& name) {
    TextLines lines(text);
    LabelledHeader header;
    std::string_view line;
    // The header runs to the first line that is not KEY: value; `lines` stops before it.
    for (TextLines ahead = lines; ahead.next(line) && header.take(line, ahead.number()); lines = ahead) {
    }
    const auto* type = header.find("DATA_TYPE");
    if (type && lower_case(type->value) != "acceleration")
        return Problem{name, type->line,
                       "DATA_TYPE " + quoted(type->value) + ": the table holds acceleration"};
    const auto* units_item = header.find("UNITS");
    if (!units_item) return missing(name, "UNITS", "the units of the samples");
    const auto factor = factor_to_gal(units_item->value);
    if (!factor)
        return Problem{name, units_item->line,
                       "UNITS " + quoted(units_item->value) + " are not units of acceleration"};
    const auto count = number_of(header, "NDATA");
    if (!count || !is_sample_count(*count)) return missing(name, "NDATA", "the number of samples");
    const auto interval = number_of(header, "SAMPLING_INTERVAL_S");
    if (!interval || !(*interval > 0))
        return missing(name, "SAMPLING_INTERVAL_S", "a positive interval in seconds");

    const std::size_t wanted = static_cast<std::size_t>(*count);
    auto values = read_values(lines, wanted, FieldLayout{}, name, "samples");
    if (!values) return values.problem();
    if (lines.next_filled(line))
        return Problem{name, lines.number(),
                       "values beyond the NDATA " + std::to_string(wanted) + " of the header"};

    Component component;
    component.source = name;
    component.interval = *interval;
    component.units = "cm/s/s";
    component.network = text_of(header, "NETWORK");
    component.station = text_of(header, "STATION_CODE");
    component.location = text_of(header, "LOCATION");
    component.name = text_of(header, "STREAM");
    const char last = component.name.empty() ? ' ' : component.name.back();
    if (last == 'E') component.azimuth = 90.0, component.dip = 0.0;
    if (last == 'N') component.azimuth = 0.0, component.dip = 0.0;
    if (last == 'Z') component.azimuth = 0.0, component.dip = -90.0;
    component.site.latitude = number_of(header, "STATION_LATITUDE_DEGREE");
    component.site.longitude = number_of(header, "STATION_LONGITUDE_DEGREE");
    component.site.elevation = number_of(header, "STATION_ELEVATION_M");
    component.origin.latitude = number_of(header, "EVENT_LATITUDE_DEGREE");
    component.origin.longitude = number_of(header, "EVENT_LONGITUDE_DEGREE");
    component.origin.depth = number_of(header, "EVENT_DEPTH_KM");
    component.origin.magnitude = number_of(header, "MAGNITUDE_W");
    if (!component.origin.magnitude) component.origin.magnitude = number_of(header, "MAGNITUDE_L");
    component.origin.time =
        compact_time(text_of(header, "EVENT_DATE_YYYYMMDD"), text_of(header, "EVENT_TIME_HHMMSS"));
    const std::string first = text_of(header, "DATE_TIME_FIRST_SAMPLE_YYYYMMDD_HHMMSS");
    if (const std::size_t cut = first.find('_'); cut != std::string::npos)
        component.start = compact_time(first.substr(0, cut), first.substr(cut + 1));
    const auto low_cut = number_of(header, "LOW_CUT_FREQUENCY_HZ"),
               high_cut = number_of(header, "HIGH_CUT_FREQUENCY_HZ");
    const bool processed = low_cut || high_cut;
    if (processed) {
        component.stated.add("filter", (low_cut ? number_text(*low_cut) : "-") + "," +
                                           (high_cut ? number_text(*high_cut) : "-"));
    }
    const std::string event = text_of(header, "EVENT_ID");
    if (!event.empty()) component.stated.add("event", event);

    component.samples = std::move(*values);
    double peak = 0;
    for (double& value : component.samples) {
        value *= *factor;
        peak = std::max(peak, std::abs(value));
    }
    Reading reading;
    if (const auto stated = number_of(header, "PGA_CM/S^2")) {
        const double difference = std::abs(peak - std::abs(*stated));
        if (difference > 0.001 * std::abs(*stated) && difference > 5e-7) {
            reading.warnings.push_back(
                name + ": the peak of the samples is " + number_text(peak) +
                " cm/s/s but PGA_CM/S^2 states " + number_text(*stated) + " (more than 0.1 % apart)" +
                (processed ? "; the agency's filtering may explain a difference" : ": check the file"));
        }
    }
    reading.components.push_back(std::move(component));
    return reading;
}

}  // namespace smwave::table

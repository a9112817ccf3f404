#include "table/knet_reader.hpp"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <optional>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"
#include "table/text_lines.hpp"

namespace smwave::table {

using companion::parse_number;
using companion::Problem;
using companion::Result;

namespace {

constexpr std::size_t label_width = 18;
constexpr int header_lines = 17;
constexpr std::int64_t trigger_delay = 15 * microseconds_per_second;
constexpr std::int64_t japan_offset = 9 * 3600 * microseconds_per_second;
constexpr std::int64_t largest_count = std::int64_t{1} << 40;

// The letters each header label starts with, lower case, by line: spellings vary ("Long."/"Lon.",
// "Max. Acc."/"Max Acc."), so labels are compared by their letters alone.
constexpr std::string_view label_letters[header_lines] = {
    "origintime", "lat",         "lon",           "depth",          "mag",          "stationcode",
    "stationlat", "stationlon",  "stationheight", "recordtime",     "samplingfreq", "durationtime",
    "dir",        "scalefactor", "maxacc",        "lastcorrection", "memo"};

enum Line {
    origin_time = 0,
    origin_latitude = 1,
    origin_longitude = 2,
    origin_depth = 3,
    magnitude = 4,
    station_code = 5,
    station_latitude = 6,
    station_longitude = 7,
    station_height = 8,
    record_time = 9,
    sampling_freq = 10,
    duration = 11,
    direction = 12,
    scale = 13,
    max_acc = 14
};

std::string letters_of(std::string_view label) {
    std::string letters;
    for (char c : label) {
        if (c >= 'A' && c <= 'Z') letters += static_cast<char>(c - 'A' + 'a');
        if (c >= 'a' && c <= 'z') letters += c;
    }
    return letters;
}

bool label_matches(std::string_view line, int index) {
    const std::string letters = letters_of(line.substr(0, std::min(line.size(), label_width)));
    const std::string_view expected = label_letters[index];
    return letters.compare(0, expected.size(), expected) == 0;
}

struct ScaleFactor {
    double numerator = 0;
    double denominator = 0;
};

// "7845(gal)/8223790".
std::optional<ScaleFactor> parse_scale_factor(std::string_view value) {
    const std::size_t unit = value.find("(gal)/");
    if (unit == std::string_view::npos) return std::nullopt;
    const auto numerator = parse_number(value.substr(0, unit));
    const auto denominator = parse_number(value.substr(unit + 6));
    if (!numerator || !denominator || *denominator == 0 || !std::isfinite(*numerator / *denominator))
        return std::nullopt;
    return ScaleFactor{*numerator, *denominator};
}

// "100Hz", "200 Hz".
std::optional<double> parse_frequency(std::string_view value) {
    if (value.size() >= 2 &&
        (value.substr(value.size() - 2) == "Hz" || value.substr(value.size() - 2) == "HZ")) {
        value.remove_suffix(2);
    }
    const auto frequency = parse_number(value);
    if (!frequency || !(*frequency > 0) || !std::isfinite(*frequency)) return std::nullopt;
    return frequency;
}

// "N-S" becomes NS; KiK-net's numbered directions 1-6 become NS1 ... UD2 with their sensor.
void take_direction(std::string_view value, Component& component) {
    static constexpr std::string_view numbered[] = {"NS1", "EW1", "UD1", "NS2", "EW2", "UD2"};
    if (value.size() == 1 && value[0] >= '1' && value[0] <= '6') {
        const int index = value[0] - '1';
        component.name = numbered[index];
        component.sensor = index < 3 ? Sensor::borehole : Sensor::surface;
        return;
    }
    for (char c : value) {
        if (c != '-') component.name += c;
    }
}

// The orientation the direction names: north and east horizontal, up vertical.
void take_orientation(Component& component) {
    const std::string_view name = component.name;
    if (name.starts_with("NS")) component.azimuth = 0.0;
    if (name.starts_with("EW")) component.azimuth = 90.0;
    if (name.starts_with("NS") || name.starts_with("EW")) component.dip = 0.0;
    if (name.starts_with("UD")) {
        component.azimuth = 0.0;
        component.dip = -90.0;
    }
}

// A header number that may be missing or marked unknown (-9999): absent then.
std::optional<double> stated(std::string_view value) {
    const auto number = parse_number(value);
    if (!number || *number == -9999 || !std::isfinite(*number)) return std::nullopt;
    return number;
}

// The station's place and the earthquake the header states, times turned from JST to UTC.
void take_site_and_origin(const std::string_view (&values)[header_lines], Component& component) {
    component.site.latitude = stated(values[station_latitude]);
    component.site.longitude = stated(values[station_longitude]);
    component.site.elevation = stated(values[station_height]);
    if (const auto time = parse_slashed_date_time(values[origin_time]))
        component.origin.time = *time - japan_offset;
    component.origin.latitude = stated(values[origin_latitude]);
    component.origin.longitude = stated(values[origin_longitude]);
    component.origin.depth = stated(values[origin_depth]);
    component.origin.magnitude = stated(values[magnitude]);
}

// Half a unit of the last decimal a value was printed with ("12.345": 0.0005).
double printed_precision(std::string_view text) {
    const std::size_t point = text.find('.');
    if (point == std::string_view::npos) return 0.5;
    return 0.5 * std::pow(10.0, -static_cast<double>(text.size() - point - 1));
}

struct Header {
    std::string_view values[header_lines];
};

Result<Header> read_header(TextLines& lines, const std::string& name) {
    Header header;
    std::string_view line;
    for (int index = 0; index < header_lines; ++index) {
        if (!lines.next(line)) {
            return Problem{name, lines.number() + 1,
                           "the header ends early: line " + std::to_string(index + 1) + " of 17 is missing"};
        }
        if (!label_matches(line, index)) {
            return Problem{name, lines.number(),
                           "header line " + std::to_string(index + 1) + " should begin with the label '" +
                               std::string(label_letters[index]) + "' (letters only)"};
        }
        header.values[index] =
            line.size() > label_width ? trim(line.substr(label_width)) : std::string_view{};
    }
    return header;
}

Problem bad_value(const std::string& name, int index, std::string_view value, std::string_view expected) {
    return Problem{name, static_cast<std::uint64_t>(index + 1),
                   quoted(value) + " is not " + std::string(expected)};
}

}  // namespace

bool looks_like_knet(std::string_view content) { return content.substr(0, 11) == "Origin Time"; }

Result<Reading> read_knet(std::string_view text, const std::string& name) {
    TextLines lines(text);
    auto header = read_header(lines, name);
    if (!header) return header.problem();
    const auto& values = header->values;

    Component component;
    component.source = name;
    component.units = "gal";
    component.station = std::string(values[station_code]);
    take_direction(values[direction], component);
    take_orientation(component);
    take_site_and_origin(values, component);
    const auto record = parse_slashed_date_time(values[record_time]);
    if (!record)
        return bad_value(name, record_time, values[record_time], "a date and time yyyy/mm/dd hh:mm:ss");
    component.start = *record - trigger_delay - japan_offset;
    const auto frequency = parse_frequency(values[sampling_freq]);
    if (!frequency)
        return bad_value(name, sampling_freq, values[sampling_freq], "a sampling frequency such as 100Hz");
    component.interval = 1.0 / *frequency;
    const auto seconds = parse_number(values[duration]);
    if (!seconds || !(*seconds >= 0) || *seconds > 1e7)
        return bad_value(name, duration, values[duration], "a duration in seconds");
    const auto factor = parse_scale_factor(values[scale]);
    if (!factor) return bad_value(name, scale, values[scale], "a scale factor N(gal)/D with D not 0");
    const auto stated_peak = parse_number(values[max_acc]);
    if (!stated_peak) return bad_value(name, max_acc, values[max_acc], "a peak acceleration in gal");

    std::vector<std::int64_t> counts;
    counts.reserve(std::min(text.size() / 2, static_cast<std::size_t>(std::min(*seconds * *frequency, 1e9))) +
                   8);
    const double expected = std::round(*seconds * *frequency);
    std::int64_t sum = 0;
    // Where the data ends (the line of its last count), or where it runs past the stated count.
    std::uint64_t data_end_line = lines.number();
    std::string_view line;
    while (lines.next(line)) {
        for (std::string_view word = take_word(line); !word.empty(); word = take_word(line)) {
            std::int64_t count = 0;
            const auto [end, error] = std::from_chars(word.data(), word.data() + word.size(), count);
            if (error != std::errc() || end != word.data() + word.size() || count > largest_count ||
                count < -largest_count) {
                return Problem{name, lines.number(), quoted(word) + " is not a whole number of counts"};
            }
            if (static_cast<double>(counts.size()) <= expected) data_end_line = lines.number();
            counts.push_back(count);
            sum += count;
        }
    }
    if (static_cast<double>(counts.size()) != expected) {
        std::string what =
            std::to_string(counts.size()) + " counts, but Duration Time x Sampling Freq gives ";
        companion::append_shortest(what, expected);
        return Problem{name, data_end_line, what};
    }
    if (counts.empty()) return Problem{name, 0, "the record holds no counts"};

    const double mean = static_cast<double>(sum) / static_cast<double>(counts.size());
    const double gal_per_count = factor->numerator / factor->denominator;
    component.samples.reserve(counts.size());
    double peak = 0;
    for (const std::int64_t count : counts) {
        component.samples.push_back(static_cast<double>(count) * gal_per_count);
        peak = std::max(peak, std::abs((static_cast<double>(count) - mean) * gal_per_count));
    }

    Reading reading;
    const double difference = std::abs(peak - *stated_peak);
    if (difference > 0.001 * std::abs(*stated_peak) && difference > printed_precision(values[max_acc])) {
        std::string warning = name + ": the peak of the record is ";
        companion::append_shortest(warning, peak);
        warning += " gal but the header's Max. Acc. says " + std::string(values[max_acc]) +
                   " (more than 0.1 % apart): check the scale factor and the file";
        reading.warnings.push_back(std::move(warning));
    }
    reading.components.push_back(std::move(component));
    return reading;
}

}  // namespace smwave::table

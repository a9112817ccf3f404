#include "table/peer_reader.hpp"

#include <cctype>
#include <cmath>
#include <cstdio>

#include "companion/number_text.hpp"
#include "table/physical_units.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr int header_lines = 4;

std::string upper_case(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

// The comma-separated parts of line 2: event, date, station (which may hold commas), component.
struct Title {
    std::string event, date, station, component;
};

Title parse_title(std::string_view line) {
    std::vector<std::string_view> parts;
    for (std::size_t comma = line.find(','); comma != std::string_view::npos; comma = line.find(',')) {
        parts.push_back(trim(line.substr(0, comma)));
        line.remove_prefix(comma + 1);
    }
    parts.push_back(trim(line));
    Title title;
    if (parts.size() < 4) {
        if (!parts.empty()) title.component = std::string(parts.back());
        if (parts.size() > 1) title.event = std::string(parts[0]);
        return title;
    }
    title.event = std::string(parts[0]);
    title.date = std::string(parts[1]);
    for (std::size_t k = 2; k + 1 < parts.size(); ++k)
        title.station += (title.station.empty() ? "" : ", ") + std::string(parts[k]);
    title.component = std::string(parts.back());
    return title;
}

// The component's direction: an azimuth in degrees ("67"), a vertical word ("UP", "V") or a channel
// code with its location ("BH100": BH1 at location 00; "HNZ" vertical).
void take_direction(const std::string& token, Component& component) {
    const std::string word = upper_case(token);
    if (const auto azimuth = companion::parse_number(word)) {
        component.name = "H" + token;
        component.azimuth = std::fmod(std::fmod(*azimuth, 360.0) + 360.0, 360.0);
        component.dip = 0.0;
        return;
    }
    component.name = word.empty() ? "comp" : word;
    if (word == "UP" || word == "DWN" || word == "DN" || word == "V" || word == "VER" || word == "VERT" ||
        word == "UD" || word == "Z") {
        component.dip = -90.0;
        return;
    }
    if (word.size() == 5 && std::isdigit(static_cast<unsigned char>(word[3])) &&
        std::isdigit(static_cast<unsigned char>(word[4]))) {
        component.name = word.substr(0, 3);
        component.location = word.substr(3);
    }
    if (component.name.size() == 3 && component.name[2] == 'Z') component.dip = -90.0;
}

// "10/18/1989" as "1989-10-18"; the text as it is when it is not such a date.
std::string iso_date(const std::string& date) {
    unsigned month = 0, day = 0, year = 0;
    char tail = 0;
    if (std::sscanf(date.c_str(), "%u/%u/%u%c", &month, &day, &year, &tail) != 3 || month < 1 || month > 12 ||
        day < 1 || day > 31)
        return date;
    char text[16];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u", year % 10000, month, day);
    return text;
}

}  // namespace

bool looks_like_peer(std::string_view content) {
    if (!content.starts_with("PEER ")) return false;
    const std::string_view fourth = nth_line(content, 3);
    return fourth.find("NPTS") != std::string_view::npos && fourth.find("DT") != std::string_view::npos;
}

Result<Reading> read_peer(std::string_view text, const std::string& name) {
    TextLines lines(text);
    std::string_view header[header_lines];
    for (int k = 0; k < header_lines; ++k) {
        if (!lines.next(header[k])) {
            return Problem{name, lines.number() + 1,
                           "the header ends early: line " + std::to_string(k + 1) + " of 4 is missing"};
        }
    }
    const std::string quantity = upper_case(header[2]);
    for (const char* other : {"VELOCITY", "DISPLACEMENT"}) {
        if (quantity.find(other) != std::string::npos) {
            return Problem{name, 3,
                           "a " + lower_case(other) +
                               " time series: the table holds acceleration (give the record's .AT2 files)"};
        }
    }
    if (quantity.find("ACCELERATION") == std::string::npos)
        return Problem{name, 3, "line 3 does not say ACCELERATION: the quantity cannot be told"};
    const std::size_t units_at = quantity.find("UNITS OF");
    std::string_view rest =
        units_at == std::string::npos ? std::string_view{} : std::string_view(quantity).substr(units_at + 8);
    const std::string units(take_word(rest));
    const auto factor = units.empty() ? std::nullopt : factor_to_gal(units);
    if (!factor) {
        return Problem{name, 3,
                       "the units after UNITS OF (" + quoted(units) +
                           ") are not ones of acceleration known here (G, CM/S/S, GAL, M/S/S)"};
    }
    const auto count = number_after(header[3], "NPTS=");
    if (!count || !is_sample_count(*count)) return Problem{name, 4, "NPTS= is not a count of samples"};
    const auto interval = number_after(header[3], "DT=");
    if (!interval || !(*interval > 0)) return Problem{name, 4, "DT= is not a positive interval in seconds"};

    auto values = read_values(lines, static_cast<std::size_t>(*count), FieldLayout{}, name, "samples");
    if (!values) return values.problem();
    std::string_view line;
    if (lines.next_filled(line))
        return Problem{
            name, lines.number(),
            "values beyond the NPTS= " + std::to_string(static_cast<std::size_t>(*count)) + " of line 4"};

    const Title title = parse_title(header[1]);
    Component component;
    component.source = name;
    component.station = title.station;
    component.interval = *interval;
    component.units = "cm/s/s";
    take_direction(title.component, component);
    component.samples = std::move(*values);
    for (double& value : component.samples) value *= *factor;
    if (!title.event.empty()) component.stated.add("event", title.event);
    if (!title.date.empty()) component.stated.add("event_date", iso_date(title.date));
    Reading reading;
    reading.components.push_back(std::move(component));
    return reading;
}

}  // namespace smwave::table

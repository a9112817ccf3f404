#include "table/afad_reader.hpp"

#include <cstdio>

#include "companion/number_text.hpp"
#include "table/agency_header.hpp"
#include "table/civil_time.hpp"
#include "table/labelled_header.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr std::size_t colon_column = 24;  // from 0
constexpr std::size_t longest_header = 40;
constexpr double pga_resolution = 5e-7;  // six decimals

bool is_column_titles(std::string_view line) {
    return line.find("N-S") != std::string_view::npos && line.find("E-W") != std::string_view::npos &&
           line.find("U-D") != std::string_view::npos && line.find(':') == std::string_view::npos;
}

// "20/07/2017 22:30:58.000000 (GMT)".
std::optional<std::int64_t> day_first_time(std::string_view value) {
    const std::string text(value);
    int day = 0, month = 0, year = 0, hour = 0, minute = 0;
    double second = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%lf", &day, &month, &year, &hour, &minute, &second) != 6)
        return std::nullopt;
    return time_from_parts(year, month, day, hour, minute, second);
}

// "2017/07/20 22:31:09 (GMT)".
std::optional<std::int64_t> year_first_time(std::string_view value) {
    const std::size_t zone = value.find('(');
    return parse_slashed_date_time(value.substr(0, zone));
}

}  // namespace

bool looks_like_afad(std::string_view content) {
    return trim(nth_line(content, 0)).starts_with("STRONG GROUND MOTION RECORDS OF TURK");
}

Result<Reading> read_afad(std::string_view text, const std::string& name) {
    TextLines lines(text);
    LabelledHeader header;
    std::string_view line;
    bool titles = false;
    while (!titles && lines.number() < longest_header && lines.next(line)) {
        if (lines.number() == 1) continue;
        if (line.size() > colon_column && line[colon_column] == ':') {
            header.items.push_back(
                {trim(line.substr(0, colon_column)), trim(line.substr(colon_column + 1)), lines.number()});
        }
        titles = is_column_titles(line);
    }
    if (!titles) return Problem{name, lines.number() + 1, "the column titles 'N-S E-W U-D' are missing"};
    const auto* count_item = header.find("NUMBER OF DATA");
    const auto* interval_item = header.find("SAMPLING INTERVAL (sec)");
    const double count =
        (count_item ? companion::parse_number(count_item->value) : std::nullopt).value_or(-1);
    const double interval =
        (interval_item ? companion::parse_number(interval_item->value) : std::nullopt).value_or(0);
    if (!is_sample_count(count) || count < 1)
        return Problem{name, count_item ? count_item->line : 0, "NUMBER OF DATA is not a count"};
    if (!(interval > 0))
        return Problem{name, interval_item ? interval_item->line : 0,
                       "SAMPLING INTERVAL (sec) is not positive"};
    const auto* pga = header.find("RAW PGA VALUES (gal)");
    if (!pga) {
        for (const auto& item : header.items) {
            if (item.label.starts_with("RAW PGA VALUES"))
                return Problem{name, item.line, "the PGA values are not in gal: the units cannot be told"};
        }
    }
    const auto rows = static_cast<std::size_t>(count);
    auto values = read_values(lines, 3 * rows, {3, 0}, name, "rows' values");
    if (!values) return values.problem();
    if (lines.next_filled(line))
        return Problem{name, lines.number(),
                       "more rows than the " + std::to_string(rows) + " of NUMBER OF DATA"};

    Reading reading;
    const char* names[] = {"N-S", "E-W", "U-D"};
    const auto* station = header.find("STATION ID");
    const auto* site = header.find("STATION COORDINATES");
    const auto* altitude = header.find("STATION ALTITUDE (m)");
    const auto* epicentre = header.find("EPICENTER COORDINATES");
    const auto* depth = header.find("EARTHQUAKE DEPTH (km)");
    const auto* magnitude = header.find("EARTHQUAKE MAGNITUDE");
    const auto* record = header.find("RECORD TIME");
    const auto* origin = header.find("EARTHQUAKE DATE");
    for (std::size_t k = 0; k < 3; ++k) {
        Component component;
        component.source = name;
        component.units = "cm/s/s";
        component.interval = interval;
        component.name = names[k];
        component.samples.reserve(rows);
        for (std::size_t i = 0; i < rows; ++i) component.samples.push_back((*values)[3 * i + k]);
        if (k == 2) {
            component.dip = -90.0;
        } else {
            component.azimuth = k == 0 ? 0.0 : 90.0;
            component.dip = 0.0;
        }
        if (station) component.station = std::string(station->value);
        if (site) {
            const Position position = hemisphere_position(site->value);
            component.site.latitude = position.latitude;
            component.site.longitude = position.longitude;
        }
        if (altitude) component.site.elevation = leading_number(altitude->value);
        if (epicentre) {
            const Position position = hemisphere_position(epicentre->value);
            component.origin.latitude = position.latitude;
            component.origin.longitude = position.longitude;
        }
        if (depth) component.origin.depth = leading_number(depth->value);
        if (magnitude) component.origin.magnitude = leading_number(magnitude->value);
        if (record) component.start = day_first_time(record->value);
        if (origin) component.origin.time = year_first_time(origin->value);
        if (pga) {
            check_stated_peak(name + ": column " + names[k], "acceleration",
                              number_following(pga->value, std::string("(") + names[k] + ")"),
                              component.samples, pga_resolution, false, reading.warnings);
        }
        reading.components.push_back(std::move(component));
    }
    return reading;
}

}  // namespace smwave::table

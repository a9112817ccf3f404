#include "table/usc_reader.hpp"

#include "table/agency_header.hpp"
#include "table/civil_time.hpp"
#include "table/physical_units.hpp"
#include "table/volume_blocks.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr BlockLayout usc_layout{13, 7, {16, 5}, 7, {8, 10}};
constexpr FieldLayout pair_layout{10, 7, 1};
constexpr double time_resolution = 0.0015;  // times printed to 0.001 s

}  // namespace

bool looks_like_usc(std::string_view content) {
    const std::string first = lower_case(nth_line(content, 0));
    return first.starts_with("file") &&
           first.find("of uncorrected accelerogram data of volume i") != std::string::npos &&
           nth_line(content, 4).starts_with("STATION USC# ");
}

Result<Reading> read_usc(std::string_view text, const std::string& name) {
    TextLines lines(text);
    auto header = read_block_header(lines, usc_layout, name);
    if (!header) return header.problem();
    auto count = tenths_of_g_count(*header, name);
    if (!count) return count.problem();
    auto pairs = read_pairs(lines, *count, pair_layout, time_resolution, name);
    if (!pairs) return pairs.problem();
    std::string_view line;
    if (lines.next_filled(line))
        return Problem{name, lines.number(), "more pairs than the " + std::to_string(*count) + " stated"};
    Component component;
    component.source = name;
    component.units = "cm/s/s";
    component.interval = pairs->interval;
    component.samples = std::move(pairs->values);
    for (double& value : component.samples) value *= 0.1 * standard_gravity;
    component.station = word_following(header->text[4], "USC#");
    const std::string bearing = word_following(header->text[6], "COMP");
    component.name = bearing.empty() ? "comp" : bearing;
    if (const auto azimuth = bearing_azimuth(bearing)) {
        component.azimuth = *azimuth;
        component.dip = 0.0;
    } else if (lower_case(bearing) == "up" || lower_case(bearing) == "vert") {
        component.dip = -90.0;
    }
    const auto& reals = header->reals;
    component.site.latitude = reals.at(9);
    if (const auto west = reals.at(10)) component.site.longitude = -*west;
    component.origin.latitude = reals.at(7);
    if (const auto west = reals.at(8)) component.origin.longitude = -*west;
    const auto& integers = header->integers;
    const auto month = integers.at(22), day = integers.at(23), year = integers.at(24), hhmm = integers.at(25);
    if (month && day && year && hhmm) {
        const int full_year =
            *year < 100 ? static_cast<int>(*year) + (*year < 30 ? 2000 : 1900) : static_cast<int>(*year);
        const int clock = static_cast<int>(*hhmm);
        component.origin.time = time_from_parts(full_year, static_cast<int>(*month), static_cast<int>(*day),
                                                clock / 100, clock % 100, 0);
    }
    component.stated.add("level", "V1");
    Reading reading;
    reading.components.push_back(std::move(component));
    return reading;
}

}  // namespace smwave::table

#include "table/bhrc_reader.hpp"

#include <cmath>

#include "table/agency_header.hpp"
#include "table/civil_time.hpp"
#include "table/physical_units.hpp"
#include "table/volume_blocks.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr BlockLayout bhrc_layout{13, 7, {16, 5}, 7, {6, 13}};
constexpr FieldLayout data_layout{10, 13};

// The component's letter from "COMP L1": L and T horizontal at line 8's azimuths, V vertical.
void orient(Component& component, const BlockHeader& header) {
    const std::string word = word_following(header.text[6], "COMP");
    const char letter = word.empty() ? ' ' : static_cast<char>(word[0] & ~0x20);
    component.name = word.empty() ? "comp" : word;
    const std::string_view site = header.text[7];
    const std::size_t azimuths = lower_case(site).find("azimuth");
    if (letter == 'V') {
        component.dip = -90.0;
    } else if ((letter == 'L' || letter == 'T') && azimuths != std::string::npos) {
        const std::string_view rest = site.substr(azimuths);
        const auto degrees = number_following(rest, letter == 'L' ? " L " : " T ");
        if (degrees) {
            component.azimuth = std::fmod(std::fmod(*degrees, 360.0) + 360.0, 360.0);
            component.dip = 0.0;
        }
    }
}

Result<Component> read_component(TextLines& lines, const std::string& name) {
    TextLines ahead = lines;
    std::string_view first;
    if (ahead.next(first) && !trim(first).starts_with("* VOL1DS FILE:"))
        return Problem{name, ahead.number(), "expected a component's first line '* VOL1DS FILE:'"};
    auto header = read_block_header(lines, bhrc_layout, name);
    if (!header) return header.problem();
    auto count = tenths_of_g_count(*header, name);
    if (!count) return count.problem();
    const auto duration = number_following(header->text[10], "DURATION =");
    const auto rate = header->reals.at(7);
    double interval = duration ? *duration / static_cast<double>(*count) : 0;
    if (rate && *rate > 0 && (!duration || std::abs(1 / *rate - interval) <= 0.01 * interval))
        interval = 1 / *rate;
    if (!(interval > 0))
        return Problem{name, header->line_of(11),
                       "neither the duration nor the samples per second are stated"};
    auto values = read_values(lines, *count, data_layout, name, "samples");
    if (!values) return values.problem();
    if (auto problem = read_end_line(lines, name)) return *problem;

    Component component;
    component.source = name;
    component.units = "cm/s/s";
    component.interval = interval;
    component.samples = std::move(*values);
    for (double& value : component.samples) value *= 0.1 * standard_gravity;
    orient(component, *header);
    // Line 8: "Ajab Shir     Station   37.485 N 45.891 E   Altitude 1333m   Azimuth L 324   T 54".
    const std::string_view site = header->text[7];
    const std::size_t station = lower_case(site).find("station");
    component.station = std::string(trim(site.substr(0, station)));
    const Position position = hemisphere_position(site);
    component.site.latitude = position.latitude;
    component.site.longitude = position.longitude;
    component.site.elevation = number_following(site, "Altitude");
    // Line 9: "Epicenter 38.520 N 46.860 E   FD 12 Km mb      Ms      Mw6.1   M        ML".
    const std::string_view epicentre = header->text[8];
    const Position origin = hemisphere_position(epicentre);
    component.origin.latitude = origin.latitude;
    component.origin.longitude = origin.longitude;
    component.origin.depth = number_following(epicentre, "FD");
    for (const std::string_view magnitude : {"Mw", "Ms", "ML", "mb"}) {
        component.origin.magnitude = number_following(epicentre, magnitude);
        if (component.origin.magnitude) break;
    }
    const std::string_view time = header->text[2];
    if (const std::size_t colon = time.find(':'); colon != std::string_view::npos)
        component.origin.time = parse_slashed_date_time(time.substr(colon + 1));
    component.stated.add("level", "V1");
    return component;
}

}  // namespace

bool looks_like_bhrc(std::string_view content) {
    return trim(nth_line(content, 0)).starts_with("* VOL1DS FILE:") &&
           lower_case(nth_line(content, 11)).find("units are seconds and g/10") != std::string::npos;
}

Result<Reading> read_bhrc(std::string_view text, const std::string& name) {
    TextLines lines(text);
    Reading reading;
    while (lines.skip_blank_lines()) {
        auto component = read_component(lines, name);
        if (!component) return component.problem();
        reading.components.push_back(std::move(*component));
    }
    if (reading.components.empty()) return Problem{name, lines.number(), "no component in the file"};
    return reading;
}

}  // namespace smwave::table

#include "table/unam_reader.hpp"

#include <cstdio>

#include "companion/number_text.hpp"
#include "table/agency_header.hpp"
#include "table/civil_time.hpp"
#include "table/physical_units.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr std::size_t colon_column = 39;  // from 0
constexpr std::size_t value_column = 41;
constexpr std::size_t title_lines = 4;
constexpr double maximum_resolution = 0.005;  // maxima printed to two decimals

struct Item {
    std::string_view label, value, continuation;
    std::uint64_t line = 0;
};

struct Header {
    std::vector<Item> items;
    const Item* find(std::string_view start) const {
        for (const auto& item : items) {
            if (item.label.starts_with(start)) return &item;
        }
        return nullptr;
    }
};

// "/N00E/N90E/V": the channels' values.
std::vector<std::string_view> per_channel(std::string_view value) {
    std::vector<std::string_view> parts;
    value = trim(value);
    if (value.starts_with('/')) value.remove_prefix(1);
    for (std::size_t slash = value.find('/');; slash = value.find('/')) {
        parts.push_back(trim(value.substr(0, slash)));
        if (slash == std::string_view::npos) break;
        value.remove_prefix(slash + 1);
    }
    return parts;
}

// "18.567007 LAT. N" or "101.977162 LONG. W": the signed degrees.
std::optional<double> lettered_degrees(std::string_view value) {
    const auto degrees = leading_number(value);
    const std::string_view text = trim(value);
    if (!degrees || text.empty()) return std::nullopt;
    const char letter = static_cast<char>(text.back() & ~0x20);
    return letter == 'S' || letter == 'W' ? -*degrees : *degrees;
}

std::optional<std::int64_t> date_and_time(const Item* date, const Item* time) {
    if (!date || !time) return std::nullopt;
    const std::string text = std::string(trim(date->value)) + " " + std::string(trim(time->value));
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    if (std::sscanf(text.c_str(), "%d/%d/%d %d:%d:%lf", &year, &month, &day, &hour, &minute, &second) != 6)
        return std::nullopt;
    return time_from_parts(year, month, day, hour, minute, second);
}

}  // namespace

bool looks_like_unam(std::string_view content) {
    return nth_line(content, 6).find("ARCHIVO ESTANDAR DE ACELERACION") != std::string_view::npos &&
           nth_line(content, 7).find("VERSION DEL FORMATO") != std::string_view::npos;
}

Result<Reading> read_unam(std::string_view text, const std::string& name) {
    TextLines lines(text);
    Header header;
    std::string_view line;
    bool data = false;
    while (!data && lines.next(line)) {
        if (line.size() > colon_column && line[colon_column] == ':') {
            const std::string_view label = trim(line.substr(0, colon_column));
            const std::string_view value = line.size() > value_column ? trim(line.substr(value_column)) : "";
            if (label.empty() && !header.items.empty()) {
                header.items.back().continuation = value;
            } else {
                header.items.push_back({label, value, {}, lines.number()});
            }
        }
        data = trim(line).starts_with("DATOS DE ACELERACION:");
    }
    if (!data) return Problem{name, lines.number() + 1, "the line 'DATOS DE ACELERACION:' is missing"};
    const Item* counts_item = header.find("NUM. TOTAL DE MUESTRAS");
    const Item* intervals_item = header.find("INTERVALO DE MUESTREO");
    const Item* units_item = header.find("UNIDADES DE LOS DATOS");
    const Item* format_item = header.find("FORMATO DATOS");
    const Item* orientation_item = header.find("ORIENTACION");
    if (!counts_item || !intervals_item || !units_item || !format_item || !orientation_item) {
        return Problem{
            name, lines.number(),
            "the header lacks one of NUM. TOTAL DE MUESTRAS, INTERVALO DE MUESTREO, UNIDADES DE LOS "
            "DATOS, FORMATO DATOS, ORIENTACION"};
    }
    const auto counts = per_channel(counts_item->value);
    const auto intervals = per_channel(intervals_item->value);
    const auto orientations = per_channel(orientation_item->value);
    if (counts.size() != 3 || intervals.size() != 3 || orientations.size() != 3)
        return Problem{name, counts_item->line,
                       "the header does not give three channels' counts, intervals and orientations"};
    const auto count = companion::parse_number(counts[0]);
    if (!count || !is_sample_count(*count) || *count < 1 || counts[1] != counts[0] || counts[2] != counts[0])
        return Problem{name, counts_item->line, "the channels' sample counts are not one count"};
    const auto interval = companion::parse_number(intervals[0]);
    if (!interval || !(*interval > 0) || intervals[1] != intervals[0] || intervals[2] != intervals[0])
        return Problem{name, intervals_item->line,
                       "the channels' sampling intervals are not one positive interval"};
    std::string_view units_text = units_item->value;
    const std::string units(take_word(units_text));
    const auto factor = factor_to_gal(units);
    if (!factor)
        return Problem{name, units_item->line,
                       "UNIDADES DE LOS DATOS " + quoted(units) + " are not units of acceleration"};
    const auto layout = parse_field_layout(format_item->value);
    if (!layout || layout->per_line != 3)
        return Problem{name, format_item->line,
                       "FORMATO DATOS " + quoted(format_item->value) + " is not three fields a row"};
    for (std::size_t k = 0; k < title_lines; ++k) {
        if (!lines.next(line)) return Problem{name, lines.number() + 1, "the data's title lines end early"};
    }
    const auto rows = static_cast<std::size_t>(*count);
    auto values = read_values(lines, 3 * rows, *layout, name, "rows' values");
    if (!values) return values.problem();
    if (lines.next_filled(line))
        return Problem{name, lines.number(),
                       "more rows than the " + std::to_string(rows) + " the header states"};

    Reading reading;
    const Item* station = header.find("CLAVE DE LA ESTACION");
    const Item* site = header.find("COORDENADAS DE LA ESTACION");
    const Item* altitude = header.find("ALTITUD");
    const Item* epicentre = header.find("COORDENADAS DEL EPICENTRO");
    const Item* depth = header.find("PROFUNDIDAD FOCAL");
    const Item* magnitude = header.find("MAGNITUD");
    const Item* date = header.find("FECHA DEL SISMO");
    const Item* maxima = header.find("ACEL. MAX.(Gal)");
    const auto stated = maxima ? per_channel(maxima->value) : std::vector<std::string_view>();
    for (std::size_t k = 0; k < 3; ++k) {
        Component component;
        component.source = name;
        component.units = "cm/s/s";
        component.interval = *interval;
        component.name = std::string(orientations[k]);
        if (const auto azimuth = bearing_azimuth(orientations[k])) {
            component.azimuth = *azimuth;
            component.dip = 0.0;
        } else if (lower_case(orientations[k]) == "v") {
            component.dip = -90.0;
        }
        component.samples.reserve(rows);
        for (std::size_t i = 0; i < rows; ++i) component.samples.push_back((*values)[3 * i + k] * *factor);
        if (station) component.station = std::string(station->value);
        if (site) {
            component.site.latitude = lettered_degrees(site->value);
            component.site.longitude = lettered_degrees(site->continuation);
        }
        if (altitude) component.site.elevation = leading_number(altitude->value);
        if (epicentre) {
            component.origin.latitude = lettered_degrees(epicentre->value);
            component.origin.longitude = lettered_degrees(epicentre->continuation);
        }
        if (depth) component.origin.depth = leading_number(depth->value);
        if (magnitude) component.origin.magnitude = number_following(magnitude->value, "=");
        component.origin.time = date_and_time(date, header.find("HORA EPICENTRO"));
        component.start = date_and_time(date, header.find("HORA DE LA PRIMERA MUESTRA"));
        if (k < stated.size()) {
            check_stated_peak(name + ": channel " + std::to_string(k + 1), "acceleration",
                              companion::parse_number(stated[k]), component.samples, maximum_resolution,
                              false, reading.warnings);
        }
        reading.components.push_back(std::move(component));
    }
    return reading;
}

}  // namespace smwave::table

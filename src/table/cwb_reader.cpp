#include "table/cwb_reader.hpp"

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

// The item whose label starts with `start` ("#StartTime" for "#StartTime(GMT+08)").
const LabelledHeader::Item* starting(const LabelledHeader& header, std::string_view start) {
    for (const auto& item : header.items) {
        if (item.label.starts_with(start)) return &item;
    }
    return nullptr;
}

std::optional<double> number_of(const LabelledHeader& header, std::string_view start) {
    const auto* item = starting(header, start);
    return item ? companion::parse_number(item->value) : std::nullopt;
}

// The offset of a label's zone, "(GMT+08)", in microseconds; nothing when the label names none.
std::optional<std::int64_t> zone_of(std::string_view label) {
    const std::size_t at = label.find("GMT");
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = label.substr(at + 3);
    if (rest.ends_with(')')) rest.remove_suffix(1);
    if (rest.empty()) return 0;
    const auto hours = companion::parse_number(rest);
    if (!hours || std::abs(*hours) > 14) return std::nullopt;
    return static_cast<std::int64_t>(*hours * 3600) * microseconds_per_second;
}

// "2018/02/06-23:50:29.000" in the label's zone, made UTC.
std::optional<std::int64_t> local_time(const LabelledHeader::Item* item) {
    if (!item) return std::nullopt;
    const auto zone = zone_of(item->label);
    int year = 0, month = 0, day = 0, hour = 0, minute = 0;
    double second = 0;
    const std::string value(item->value);
    if (!zone ||
        std::sscanf(value.c_str(), "%d/%d/%d-%d:%d:%lf", &year, &month, &day, &hour, &minute, &second) != 6)
        return std::nullopt;
    const auto time = time_from_parts(year, month, day, hour, minute, second);
    if (!time) return std::nullopt;
    return *time - *zone;
}

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

}  // namespace

bool looks_like_cwb(std::string_view content) {
    return content.starts_with("#Earthquake Information") &&
           content.substr(0, 4096).find("#StationCode:") != std::string_view::npos;
}

Result<Reading> read_cwb(std::string_view text, const std::string& name) {
    TextLines lines(text);
    LabelledHeader header;
    std::string_view line;
    // Header lines start with '#'; an empty line may stand among them. `lines` stops before the first row.
    for (TextLines ahead = lines; ahead.next(line) && (line.empty() || line.front() == '#'); lines = ahead) {
        if (!line.empty()) header.take(line.substr(1), ahead.number());
    }
    const auto* units = starting(header, "AmplitudeUnit");
    std::string_view unit_word;
    if (units) {
        std::string_view value = units->value;
        unit_word = take_word(value);
        if (unit_word.ends_with('.')) unit_word.remove_suffix(1);
    }
    const auto factor = unit_word.empty() ? std::nullopt : factor_to_gal(unit_word);
    if (!factor) {
        return Problem{
            name, units ? units->line : 0,
            "#AmplitudeUnit does not name units of acceleration (gal, cm/s/s, g): " + quoted(unit_word)};
    }
    const auto rate = number_of(header, "SampleRate");
    if (!rate || !(*rate > 0)) return Problem{name, 0, "#SampleRate(Hz) is not a positive rate"};
    const auto length = number_of(header, "RecordLength");
    if (!length || !(*length > 0) || *length * *rate > 1e9)
        return Problem{name, 0, "#RecordLength(sec) is not a positive length"};
    const auto* layout_item = header.find("Data");
    const auto layout = layout_item ? parse_field_layout(layout_item->value) : std::nullopt;
    if (!layout || layout->per_line != 4)
        return Problem{name, layout_item ? layout_item->line : 0,
                       "#Data does not give a layout of four fields (4F10.3)"};
    // "#DataSequence: Time U(+); N(+); E(+)": the order of the columns after time.
    std::string order = "UNE";
    if (const auto* sequence = starting(header, "DataSequence")) {
        std::string found;
        for (const char c : sequence->value) {
            if ((c == 'U' || c == 'N' || c == 'E') && found.find(c) == std::string::npos) found += c;
        }
        if (found.size() == 3) order = found;
    }
    const auto rows = static_cast<std::size_t>(std::llround(*length * *rate));
    auto values = read_values(lines, rows * 4, *layout, name, "rows");
    if (!values) return values.problem();
    if (lines.next_filled(line))
        return Problem{name, lines.number(),
                       "rows beyond the " + std::to_string(rows) + " of #RecordLength x #SampleRate"};

    Reading reading;
    for (std::size_t k = 0; k < 3; ++k) {
        Component component;
        component.source = name;
        component.interval = 1.0 / *rate;
        component.units = "cm/s/s";
        const auto* code = starting(header, "StationCode");
        component.station = code ? std::string(code->value) : std::string();
        component.name = std::string(1, order[k]);
        component.azimuth = order[k] == 'E' ? 90.0 : 0.0;
        component.dip = order[k] == 'U' ? -90.0 : 0.0;
        component.site.latitude = number_of(header, "StationLatitude");
        component.site.longitude = number_of(header, "StationLongitude");
        component.start = local_time(starting(header, "StartTime"));
        component.origin.time = local_time(starting(header, "Origin Time"));
        component.origin.latitude = number_of(header, "EpicenterLatitude");
        component.origin.longitude = number_of(header, "EpicenterLongitude");
        component.origin.depth = number_of(header, "Depth");
        component.origin.magnitude = number_of(header, "Magnitude");
        component.samples.reserve(rows);
        double largest = -HUGE_VAL, smallest = HUGE_VAL;
        for (std::size_t i = 0; i < rows; ++i) {
            const double value = (*values)[i * 4 + 1 + k] * *factor;
            largest = std::max(largest, value);
            smallest = std::min(smallest, value);
            component.samples.push_back(value);
        }
        // "#AmplitudeMAX. U:    0.658~   -0.837": the column's largest and smallest values.
        if (const auto* stated = starting(header, std::string("AmplitudeMAX. ") + order[k])) {
            const std::string_view value = stated->value;
            const std::size_t tilde = value.find('~');
            const auto high = companion::parse_number(value.substr(0, tilde));
            const auto low = tilde == std::string_view::npos
                                 ? std::nullopt
                                 : companion::parse_number(value.substr(tilde + 1));
            for (const auto& [said, found] : {std::pair{high, largest}, std::pair{low, smallest}}) {
                if (!said) continue;
                const double difference = std::abs(found - *said);
                if (difference > 0.001 * std::abs(*said) && difference > 0.0005) {
                    reading.warnings.push_back(
                        name + ": component " + component.name + ": the samples reach " + number_text(found) +
                        " gal but #AmplitudeMAX. states " + number_text(*said) +
                        " (more than 0.1 % apart); the agency's processing may explain a "
                        "difference");
                }
            }
        }
        reading.components.push_back(std::move(component));
    }
    return reading;
}

}  // namespace smwave::table

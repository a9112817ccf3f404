#include "table/csmip_reader.hpp"

#include <algorithm>
#include <cmath>

#include "table/agency_header.hpp"
#include "table/civil_time.hpp"
#include "table/physical_units.hpp"
#include "table/volume_blocks.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr BlockLayout corrected_layout{25, 7, {16, 5}, 13, {8, 10}};
constexpr BlockLayout uncorrected_layout{13, 7, {16, 5}, 7, {8, 10}};
constexpr FieldLayout corrected_data{8, 10};
constexpr FieldLayout digital_data{8, 9};
constexpr FieldLayout film_pairs{10, 7};
constexpr double film_time_resolution = 0.0015;  // times printed to 0.001 s
constexpr double peak_resolution = 5e-4;         // peaks printed to three decimals

std::string upper_case(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

bool is_corrected_block(std::string_view line) {
    return upper_case(trim(line)).starts_with("CORRECTED ACCELEROGRAM");
}

// A data block's header line: "15050 points of accel data equally spaced at .020 sec, in cm/sec2.
// (8f10.6)" or "3251 POINTS OF ACCEL DATA EQUALLY SPACED AT .020 SEC. (UNITS: CM/SEC/SEC)".
struct DataHeader {
    std::size_t count = 0;
    std::string quantity;
    std::optional<double> interval;
    std::string units;
    FieldLayout layout;
};

std::optional<DataHeader> parse_data_header(std::string_view line, const FieldLayout& usual) {
    const std::string upper = upper_case(line);
    const auto count = leading_number(line);
    if (!count || !is_sample_count(*count) || upper.find("POINTS OF") == std::string::npos ||
        upper.find("DATA") == std::string::npos)
        return std::nullopt;
    DataHeader header;
    header.count = static_cast<std::size_t>(*count);
    header.quantity = upper.find("ACCEL") != std::string::npos   ? "acceleration"
                      : upper.find("VELOC") != std::string::npos ? "velocity"
                      : upper.find("DISPL") != std::string::npos ? "displacement"
                                                                 : "data";
    header.interval = number_following(line, "SPACED AT");
    header.layout = usual;
    for (std::size_t open = line.find('('); open != std::string_view::npos; open = line.find('(', open + 1)) {
        const std::size_t close = line.find(')', open);
        const std::string_view inside =
            line.substr(open + 1, close == std::string_view::npos ? close : close - open - 1);
        if (upper.compare(open + 1, 6, "UNITS:") == 0) {
            header.units = std::string(trim(inside.substr(6)));
        } else if (const auto layout = parse_field_layout(inside)) {
            header.layout = *layout;
        }
    }
    if (const std::size_t in = upper.find(", IN "); header.units.empty() && in != std::string::npos) {
        std::string_view rest = line.substr(in + 5);
        std::string_view word = take_word(rest);
        while (word.ends_with('.') || word.ends_with(',')) word.remove_suffix(1);
        header.units = std::string(word);
    }
    return header;
}

// The channel's orientation from "Chan  1:  90 Deg", "CHAN  2: UP" or RENADIC's "CHAN  1: EW".
void orient(Component& component, std::string_view line, std::optional<double> slot, std::size_t index) {
    const std::string upper = upper_case(line);
    std::string word;
    if (const std::size_t chan = upper.find("CHAN"); chan != std::string::npos) {
        const std::size_t colon = upper.find(':', chan);
        if (colon != std::string::npos) {
            std::string_view rest = std::string_view(upper).substr(colon + 1);
            word = std::string(take_word(rest));
        }
    }
    const auto degrees = leading_number(word);
    if (degrees && word.find_first_not_of("0123456789.+-") == std::string::npos) {
        component.name = "H" + word;
        component.azimuth = std::fmod(std::fmod(*degrees, 360.0) + 360.0, 360.0);
        component.dip = 0.0;
        return;
    }
    if (word == "UP" || word == "DOWN" || word == "Z" || word == "V" || word == "UD" || word == "VERT") {
        component.name = word;
        component.dip = -90.0;
        return;
    }
    if (word == "EW" || word == "NS") {
        component.name = word;
        component.azimuth = word == "EW" ? 90.0 : 0.0;
        component.dip = 0.0;
        return;
    }
    if (slot && *slot == 500) {
        component.name = "UP";
        component.dip = -90.0;
    } else if (slot && *slot != 0) {
        component.name = "H" + number_text(*slot);
        component.azimuth = std::fmod(std::fmod(*slot, 360.0) + 360.0, 360.0);
        component.dip = 0.0;
    } else {
        component.name = word.empty() ? "chan" + std::to_string(index) : word;
    }
}

// Station, position, times and epicentre from the text lines.
void describe(Component& component, const BlockHeader& header, std::size_t station_line) {
    const std::string_view station = header.text[station_line - 1];
    for (const std::string_view label : {"STATION NO.", "STATION ID.", "STATION"}) {
        component.station = word_following(station, label);
        if (!component.station.empty()) break;
    }
    const Position site = hemisphere_position(station);
    component.site.latitude = site.latitude;
    component.site.longitude = site.longitude;
    for (std::size_t k = 0; k < header.text.size(); ++k) {
        const std::string_view line = header.text[k];
        const std::string upper = upper_case(line);
        if (const std::size_t at = upper.find("START TIME:"); at != std::string::npos && !component.start)
            component.start = us_date_time(line.substr(at + 11));
        if (const std::size_t at = upper.find("TRIGGER TIME:"); at != std::string::npos) {
            if (const auto trigger = us_date_time(line.substr(at + 13)))
                component.stated.add("trigger", format_utc(*trigger));
        }
        if (const std::size_t at = upper.find("(ORIGIN"); at != std::string::npos && !component.origin.time) {
            const std::size_t colon = upper.find(':', at);
            if (colon != std::string::npos) component.origin.time = us_date_time(line.substr(colon + 1));
        }
        if (const std::size_t at = upper.find("HYPOCENTER"); at != std::string::npos && k > 0) {
            const std::size_t colon = upper.find(':', at);
            const std::string_view rest = line.substr(colon == std::string::npos ? at : colon + 1);
            const Position epicentre = hemisphere_position(rest);
            component.origin.latitude = epicentre.latitude;
            component.origin.longitude = epicentre.longitude;
            component.origin.depth = number_following(rest, "H=");
            for (const std::string_view magnitude : {"MW=", "ML=", "MS="}) {
                component.origin.magnitude = number_following(rest, magnitude);
                if (component.origin.magnitude) break;
            }
        }
    }
}

companion::Status refuse_sentinel(const std::vector<double>& values, std::uint64_t first_line,
                                  std::size_t per_line, const std::string& name) {
    const auto sentinel = std::find(values.begin(), values.end(), -999.0);
    if (sentinel == values.end()) return std::nullopt;
    const auto index = static_cast<std::size_t>(sentinel - values.begin());
    return Problem{name, first_line + index / per_line,
                   "the unknown-value sentinel -999 stands for sample " + std::to_string(index + 1) +
                       ": the record has missing values"};
}

Result<Component> read_corrected(TextLines& lines, const std::string& name, std::size_t block,
                                 std::vector<std::string>& warnings) {
    auto header = read_block_header(lines, corrected_layout, name);
    if (!header) return header.problem();
    Component component;
    const std::string where = name + ": channel block " + std::to_string(block);
    std::vector<double> acceleration;
    std::string_view line;
    const char* quantities[] = {"acceleration", "velocity", "displacement"};
    const std::size_t peaks[] = {66, 68, 70};
    for (std::size_t q = 0; q < 3; ++q) {
        if (!lines.next(line))
            return Problem{name, lines.number() + 1,
                           std::string("the ") + quantities[q] + " data are missing"};
        const std::uint64_t header_line = lines.number();
        const auto data = parse_data_header(line, corrected_data);
        if (!data || data->quantity != quantities[q]) {
            return Problem{name, header_line,
                           std::string("expected the ") + quantities[q] +
                               " data's header line ('N points of ... data equally spaced at ...')"};
        }
        if (const auto stated = header->integers.at(53);
            stated && *stated != static_cast<double>(data->count)) {
            return Problem{
                name, header_line,
                std::to_string(data->count) + " points, but integer 53 states " + number_text(*stated)};
        }
        auto values =
            read_values(lines, data->count, data->layout, name, std::string(quantities[q]) + " data");
        if (!values) return values.problem();
        check_stated_peak(where, quantities[q], header->reals.at(peaks[q]), *values, peak_resolution, true,
                          warnings);
        if (q > 0) continue;
        if (auto problem = refuse_sentinel(*values, header_line + 1, data->layout.per_line, name))
            return *problem;
        const auto factor = factor_to_gal(data->units);
        if (!factor) {
            return Problem{name, header_line,
                           "the acceleration units (" + quoted(data->units) +
                               ") are not units of acceleration known here (cm/sec2, g)"};
        }
        const auto interval = data->interval ? data->interval : header->reals.at(61);
        if (!interval || !(*interval > 0))
            return Problem{name, header_line, "the sample interval ('spaced at', real 61) is not stated"};
        component.interval = *interval;
        acceleration = std::move(*values);
        for (double& value : acceleration) value *= *factor;
    }
    if (auto problem = read_end_line(lines, name)) return *problem;
    component.samples = std::move(acceleration);
    orient(component, header->text[0], header->integers.at(27), block);
    describe(component, *header, 6);
    component.stated.add("level", "V2");
    const auto high_pass = header->reals.at(72), low_pass = header->reals.at(73);
    if (high_pass || low_pass) {
        component.stated.add("filter", (high_pass ? number_text(*high_pass) : "-") + "," +
                                           (low_pass ? number_text(*low_pass) : "-"));
    }
    return component;
}

Result<Component> read_uncorrected(TextLines& lines, const std::string& name, std::size_t block,
                                   std::vector<std::string>& warnings) {
    auto header = read_block_header(lines, uncorrected_layout, name);
    if (!header) return header.problem();
    auto count = stated_count(number_following(header->text[10], "POINTS ="), header->integers.at(28), 28,
                              header->line_of(11), name);
    if (!count) return count.problem();
    Component component;
    // A digital record's evenly spaced values follow a header line; a film record's pairs follow at once.
    TextLines ahead = lines;
    std::string_view line;
    const auto data = ahead.next(line) ? parse_data_header(line, digital_data) : std::nullopt;
    std::string units;
    std::vector<double> values;
    if (data) {
        lines = ahead;
        if (data->count != *count) {
            return Problem{
                name, lines.number(),
                std::to_string(data->count) + " points, but the header states " + std::to_string(*count)};
        }
        auto read = read_values(lines, data->count, data->layout, name, "acceleration data");
        if (!read) return read.problem();
        if (!data->interval || !(*data->interval > 0))
            return Problem{name, lines.number(), "the sample interval ('spaced at') is not stated"};
        values = std::move(*read);
        component.interval = *data->interval;
        units = data->units;
    } else {
        auto pairs = read_pairs(lines, *count, film_pairs, film_time_resolution, name);
        if (!pairs) return pairs.problem();
        values = std::move(pairs->values);
        component.interval = pairs->interval;
    }
    const std::string units_line = upper_case(header->text[11]);
    double to_g = 0;
    if (!units.empty()) {
        to_g = lower_case(units) == "g" ? 1.0 : 0.0;
    } else if (units_line.find("G/10") != std::string::npos) {
        to_g = 0.1;
    } else if (units_line.find(" IS G") != std::string::npos ||
               units_line.find("AND G.") != std::string::npos) {
        to_g = 1.0;
    }
    if (to_g == 0) {
        return Problem{name, header->line_of(12),
                       "the units of the data cannot be told (line 12 says neither G/10 nor G, nor does a "
                       "data header line)"};
    }
    if (auto problem = read_end_line(lines, name)) return *problem;
    for (double& value : values) value *= to_g;
    check_stated_peak(name + ": channel block " + std::to_string(block), "acceleration (g)",
                      header->reals.at(7), values, peak_resolution, false, warnings);
    for (double& value : values) value *= standard_gravity;
    component.samples = std::move(values);
    orient(component, header->text[6], header->integers.at(27), block);
    describe(component, *header, 5);
    component.stated.add("level", "V1");
    return component;
}

}  // namespace

bool looks_like_csmip(std::string_view content) {
    const std::string first = upper_case(trim(nth_line(content, 0)));
    if (first.starts_with("CORRECTED ACCELEROGRAM"))
        return upper_case(nth_line(content, 1)).starts_with("UNCORRECTED ACCELEROGRAM DATA");
    if (!first.starts_with("UNCORRECTED ACCELEROGRAM DATA") || looks_like_renadic(content)) return false;
    const std::string_view integers = nth_line(content, 13);
    if (integers.size() < 80) return false;
    for (std::size_t at = 0; at < 80; at += 5) {
        if (!leading_number(integers.substr(at, 5)) ||
            trim(integers.substr(at, 5)).find(' ') != std::string_view::npos)
            return false;
    }
    return true;
}

bool looks_like_renadic(std::string_view content) {
    return upper_case(trim(nth_line(content, 0))).starts_with("UNCORRECTED ACCELEROGRAM DATA") &&
           upper_case(nth_line(content, 7)).find("RENADIC") != std::string::npos;
}

Result<Reading> read_csmip(std::string_view text, const std::string& name) {
    TextLines lines(text);
    Reading reading;
    std::size_t block = 0;
    while (lines.skip_blank_lines()) {
        TextLines ahead = lines;
        std::string_view line;
        ahead.next(line);
        ++block;
        if (!is_corrected_block(line) && !upper_case(trim(line)).starts_with("UNCORRECTED ACCELEROGRAM")) {
            return Problem{name, ahead.number(),
                           "expected a channel's first line ('Corrected accelerogram' or 'UNCORRECTED "
                           "ACCELEROGRAM DATA')"};
        }
        auto component = is_corrected_block(line) ? read_corrected(lines, name, block, reading.warnings)
                                                  : read_uncorrected(lines, name, block, reading.warnings);
        if (!component) return component.problem();
        component->source = name;
        component->units = "cm/s/s";
        reading.components.push_back(std::move(*component));
    }
    if (reading.components.empty()) return Problem{name, lines.number(), "no channel in the file"};
    return reading;
}

}  // namespace smwave::table

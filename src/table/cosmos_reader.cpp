#include "table/cosmos_reader.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"
#include "table/physical_units.hpp"
#include "table/text_values.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr std::size_t shortest_text_header = 13;

// A header of integer or real values as its count line announces them.
struct Values {
    std::vector<double> values;
    double sentinel = -999;
    // Value `slot` (from 1), or nothing when absent or the unknown-value sentinel.
    std::optional<double> at(std::size_t slot) const {
        if (slot == 0 || slot > values.size()) return std::nullopt;
        const double value = values[slot - 1];
        if (value == sentinel || value == -999) return std::nullopt;
        return value;
    }
};

Result<Values> read_header_values(TextLines& lines, const std::string& name, std::string_view kind) {
    std::string_view line;
    if (!lines.next(line))
        return Problem{name, lines.number() + 1, "the " + std::string(kind) + " header is missing"};
    std::string_view rest = line;
    const auto count = companion::parse_number(take_word(rest));
    const std::size_t format_at = line.find("Format=");
    const auto layout =
        format_at == std::string_view::npos ? std::nullopt : parse_field_layout(line.substr(format_at + 7));
    if (!count || !is_sample_count(*count) || *count > 10000 || !layout ||
        line.find(kind == "integer" ? "Integer-header" : "Real-header") == std::string_view::npos) {
        return Problem{name, lines.number(),
                       "expected the " + std::string(kind) + " header's count line ('N " +
                           (kind == "integer" ? "Integer" : "Real") +
                           "-header values follow on ... Format=')"};
    }
    auto values = read_values(lines, static_cast<std::size_t>(*count), *layout, name,
                              std::string(kind) + " header values");
    if (!values) return values.problem();
    return Values{std::move(*values)};
}

// "2018/11/30 17:29:29", "2018/11/30 17:29:39.137" or "06/16/2005, 20:53:26.1" at the start of `text`.
std::optional<std::int64_t> parse_time(std::string_view text) {
    const std::string copy(trim(text));
    int a = 0, b = 0, c = 0, hour = 0, minute = 0;
    double second = 0;
    int year = 0, month = 0, day = 0;
    if (std::sscanf(copy.c_str(), "%d/%d/%d %d:%d:%lf", &a, &b, &c, &hour, &minute, &second) == 6 && a > 31) {
        year = a, month = b, day = c;
    } else if (std::sscanf(copy.c_str(), "%d/%d/%d, %d:%d:%lf", &a, &b, &c, &hour, &minute, &second) == 6) {
        month = a, day = b, year = c;
    } else {
        return std::nullopt;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || !(second >= 0 && second < 61) || year < 1800 || year > 2200)
        return std::nullopt;
    const std::int64_t days = days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return (days * 86400 + hour * 3600 + minute * 60) * microseconds_per_second + std::llround(second * 1e6);
}

// The record start from integer slots 40-45 (year, day of year, month, day, hour, minute) and real
// slot 30 (seconds).
std::optional<std::int64_t> start_from_slots(const Values& integers, const Values& reals) {
    const auto year = integers.at(40), day_of_year = integers.at(41), month = integers.at(42),
               day = integers.at(43), hour = integers.at(44), minute = integers.at(45);
    const auto second = reals.at(30);
    if (!year || !hour || !minute || !second || *year < 1800 || *year > 2200) return std::nullopt;
    std::int64_t days = 0;
    if (month && day && *month >= 1 && *month <= 12 && *day >= 1 && *day <= 31) {
        days = days_from_civil(static_cast<std::int64_t>(*year), static_cast<unsigned>(*month),
                               static_cast<unsigned>(*day));
    } else if (day_of_year && *day_of_year >= 1 && *day_of_year <= 366) {
        days = days_from_civil(static_cast<std::int64_t>(*year), 1, 1) +
               static_cast<std::int64_t>(*day_of_year) - 1;
    } else {
        return std::nullopt;
    }
    if (*hour < 0 || *hour > 23 || *minute < 0 || *minute > 59 || !(*second >= 0 && *second < 61))
        return std::nullopt;
    return (days * 86400 + static_cast<std::int64_t>(*hour) * 3600 +
            static_cast<std::int64_t>(*minute) * 60) *
               microseconds_per_second +
           std::llround(*second * 1e6);
}

// A data section's header line: "42000 acceleration pts, approx 210 secs, units=cm/sec2(04),Format=(1E15.6)".
struct Section {
    std::size_t count = 0;
    std::string quantity;  // "acceleration", "velocity", "displacement"
    std::string units;     // as written before the "(NN)" code
    int code = -1;
    FieldLayout layout;
};

std::optional<Section> parse_section(std::string_view line) {
    std::string_view rest = line;
    const auto count = companion::parse_number(take_word(rest));
    const std::size_t pts = line.find("pts");
    const std::size_t units_at = line.find("units=");
    const std::size_t format_at = line.find("Format=");
    if (!count || !is_sample_count(*count) || pts == std::string_view::npos ||
        units_at == std::string_view::npos || format_at == std::string_view::npos)
        return std::nullopt;
    const auto layout = parse_field_layout(line.substr(format_at + 7));
    if (!layout) return std::nullopt;
    Section section;
    section.count = static_cast<std::size_t>(*count);
    section.layout = *layout;
    const std::string words = lower_case(line.substr(0, pts));
    if (words.find("accel") != std::string::npos) section.quantity = "acceleration";
    if (words.find("veloc") != std::string::npos) section.quantity = "velocity";
    if (words.find("displ") != std::string::npos) section.quantity = "displacement";
    std::string_view units = line.substr(units_at + 6);
    units = units.substr(0, units.find(','));
    const std::size_t open = units.find('(');
    if (open != std::string_view::npos) {
        if (const auto code = companion::parse_number(units.substr(open + 1, units.find(')') - open - 1)))
            section.code = static_cast<int>(*code);
        units = units.substr(0, open);
    }
    section.units = std::string(trim(units));
    return section;
}

bool is_end_line(std::string_view line) {
    const std::string text = lower_case(trim(line));
    return text.starts_with("end-of-data") || text.starts_with("/&") || text.starts_with("end of data");
}

double peak_of(const std::vector<double>& values) {
    double peak = 0;
    for (const double value : values) peak = std::max(peak, std::abs(value));
    return peak;
}

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

// The stated peak against the samples' (signs are dropped in some files: magnitudes are compared).
void check_peak(const std::string& name, std::size_t block, const std::string& quantity,
                std::optional<double> stated, const std::vector<double>& values, bool processed,
                std::vector<std::string>& warnings) {
    if (!stated) return;
    const double peak = peak_of(values);
    const double difference = std::abs(peak - std::abs(*stated));
    if (difference <= 0.001 * std::abs(*stated) || difference <= 5e-7) return;
    warnings.push_back(
        name + ": channel block " + std::to_string(block) + ": the peak " + quantity + " is " +
        number_text(peak) + " but the real header (value 64) states " + number_text(*stated) +
        " (more than 0.1 % apart)" +
        (processed ? "; the agency's filtering may explain a difference" : ": check the file"));
}

// What the text header and comments say about the station and channel.
struct Identity {
    std::string network, station, channel, location;
    std::optional<double> azimuth;  // from the orientation line ("340 deg")
    bool up = false;                // the orientation line says "Up"
};

void take_code_line(std::string_view line, Identity& identity) {
    const std::size_t code = line.find("Code:");
    if (code == std::string_view::npos) return;
    std::string_view rest = line.substr(code + 5);
    const std::string_view word = take_word(rest);
    const std::size_t dash = word.find('-');
    if (dash == std::string_view::npos) {
        identity.station = std::string(word);
        return;
    }
    const std::string_view network = word.substr(0, dash);
    if (network != "--") identity.network = std::string(network);
    identity.station = std::string(word.substr(dash + 1));
}

void take_orientation_line(std::string_view line, Identity& identity) {
    const std::string text = lower_case(line);
    const std::size_t deg = text.find("deg");
    if (deg != std::string::npos) {
        std::size_t first = deg;
        while (first > 0 && (text[first - 1] == ' ' || (text[first - 1] >= '0' && text[first - 1] <= '9') ||
                             text[first - 1] == '.' || text[first - 1] == '-'))
            --first;
        identity.azimuth = companion::parse_number(text.substr(first, deg - first));
    }
    if (text.find(" up") != std::string::npos || text.find(":up") != std::string::npos) identity.up = true;
}

// "|<SCNL>BMR.BNZ.AK.--": station, channel, network, location.
void take_scnl(std::string_view line, Identity& identity) {
    const std::size_t at = line.find("<SCNL>");
    if (at == std::string_view::npos) return;
    std::string_view rest = line.substr(at + 6);
    const std::string_view code = take_word(rest);
    std::vector<std::string_view> parts;
    std::size_t begin = 0;
    for (std::size_t dot = code.find('.');; dot = code.find('.', begin)) {
        parts.push_back(
            code.substr(begin, dot == std::string_view::npos ? std::string_view::npos : dot - begin));
        if (dot == std::string_view::npos) break;
        begin = dot + 1;
    }
    if (parts.size() < 2) return;
    if (identity.station.empty()) identity.station = std::string(parts[0]);
    identity.channel = std::string(parts[1]);
    if (parts.size() > 2 && parts[2] != "--" && identity.network.empty())
        identity.network = std::string(parts[2]);
    if (parts.size() > 3 && parts[3] != "--") identity.location = std::string(parts[3]);
}

void orient(Component& component, const Identity& identity, const Values& integers, std::size_t block) {
    const bool vertical_code =
        identity.channel.size() == 3 && (identity.channel[2] == 'Z' || identity.channel[2] == 'z');
    const auto slot = integers.at(54);
    if (vertical_code || identity.up || (slot && *slot == 500)) {
        component.dip = -90.0;
        component.azimuth = 0.0;
    } else if (slot || identity.azimuth) {
        component.azimuth = std::fmod(std::fmod(slot ? *slot : *identity.azimuth, 360.0) + 360.0, 360.0);
        component.dip = 0.0;
    }
    if (!identity.channel.empty()) {
        component.name = identity.channel;
    } else if (component.dip && *component.dip == -90) {
        component.name = "UP";
    } else if (component.azimuth) {
        component.name = "H" + number_text(*component.azimuth);
    } else {
        component.name = "chan" + std::to_string(block);
    }
}

struct Block {
    std::vector<std::string_view> text;
    Values integers, reals;
    Identity identity;
};

}  // namespace

bool looks_like_cosmos(std::string_view content) {
    std::string_view first = content.substr(0, std::min<std::size_t>(content.size(), 200));
    first = first.substr(0, first.find('\n'));
    return first.find("(Format v01.2") != std::string_view::npos &&
           first.find("text lines)") != std::string_view::npos;
}

Result<Reading> read_cosmos(std::string_view text, const std::string& name) {
    TextLines lines(text);
    Reading reading;
    std::string_view line;
    std::size_t block_number = 0;
    while (lines.next(line)) {
        if (trim(line).empty()) continue;
        ++block_number;
        Block block;
        const std::uint64_t first_line = lines.number();
        const auto count = number_after(line, "with");
        if (line.find("(Format v") == std::string_view::npos || !count || !is_sample_count(*count) ||
            *count < shortest_text_header || *count > 1000)
            return Problem{name, first_line,
                           "expected a channel block's first line '... (Format v01.20 with 13 text lines)'"};
        block.text.push_back(line);
        for (std::size_t k = 1; k < static_cast<std::size_t>(*count); ++k) {
            if (!lines.next(line)) return Problem{name, lines.number() + 1, "the text header ends early"};
            block.text.push_back(line);
        }
        auto integers = read_header_values(lines, name, "integer");
        if (!integers) return integers.problem();
        auto reals = read_header_values(lines, name, "real");
        if (!reals) return reals.problem();
        block.integers = std::move(*integers);
        block.reals = std::move(*reals);
        // Line 13: "Values used when parameter or data value is unknown/unspecified:   -999, -999.00".
        const std::string_view sentinels = block.text[12];
        if (const std::size_t colon = sentinels.find("unspecified:"); colon != std::string_view::npos) {
            std::string_view rest = sentinels.substr(colon + 12);
            std::string_view integer_word = take_word(rest);
            if (integer_word.ends_with(',')) integer_word.remove_suffix(1);
            if (const auto value = companion::parse_number(integer_word)) block.integers.sentinel = *value;
            if (const auto value = companion::parse_number(take_word(rest))) block.reals.sentinel = *value;
        }
        take_code_line(block.text[4], block.identity);
        take_orientation_line(block.text[8], block.identity);

        if (!lines.next(line)) return Problem{name, lines.number() + 1, "the comment count line is missing"};
        std::string_view rest = line;
        const auto comments = companion::parse_number(take_word(rest));
        if (!comments || !is_sample_count(*comments) || line.find("Comment") == std::string_view::npos)
            return Problem{name, lines.number(),
                           "expected the comment count line ('N Comment line(s) follow')"};
        for (std::size_t k = 0; k < static_cast<std::size_t>(*comments); ++k) {
            if (!lines.next(line)) return Problem{name, lines.number() + 1, "the comments end early"};
            take_scnl(line, block.identity);
        }

        const bool processed = block.integers.at(1).value_or(0) >= 2;
        // A block holds one data section, or several (a corrected record's acceleration, velocity
        // and displacement), each header line following the values of the one before.
        bool pending = false;
        bool ended = false;
        bool first_section = true;
        std::uint64_t header_line = 0;
        while (!ended) {
            if (!pending && !lines.next(line))
                return Problem{name, lines.number() + 1, "the data section is missing"};
            header_line = lines.number();
            pending = false;
            const auto section = parse_section(line);
            if (!section) {
                return Problem{name, header_line,
                               "expected a data header line ('N acceleration pts, ... units=...(NN), "
                               "Format=(...)')"};
            }
            auto values = read_values(lines, section->count, section->layout, name,
                                      section->quantity.empty() ? "data" : section->quantity + " data");
            if (!values) return values.problem();
            if (!lines.next(line))
                return Problem{name, lines.number() + 1, "the end-of-data line is missing"};
            ended = is_end_line(line);
            if (!ended) {
                if (!parse_section(line)) {
                    return Problem{name, lines.number(),
                                   "more data than the " + std::to_string(section->count) +
                                       " values of the data header line (line " +
                                       std::to_string(header_line) + "), or no end-of-data line"};
                }
                pending = true;
            }

            std::string units = section->units;
            const bool counts = is_counts(units) || (units.empty() && section->code == 50);
            std::optional<double> factor = counts ? std::optional<double>(1.0) : factor_to_gal(units);
            if (!factor && units.empty() && section->code == 4) factor = 1.0;
            // The real header's peak is that of the block's first section, the quantity it is of.
            const std::optional<double> stated_peak = block.reals.at(first_section ? 64 : 0);
            first_section = false;
            if (section->quantity != "acceleration") {
                check_peak(name, block_number, section->quantity, stated_peak, *values, processed,
                           reading.warnings);
                continue;
            }
            if (!factor) {
                return Problem{name, header_line,
                               "the units= of the data header line (" + quoted(units) +
                                   ") are not units of acceleration known here (cm/sec2, g, counts)"};
            }
            if (!counts) {
                const auto sentinel = std::find(values->begin(), values->end(), block.reals.sentinel);
                if (sentinel != values->end()) {
                    const auto index = static_cast<std::size_t>(sentinel - values->begin());
                    return Problem{name, header_line + 1 + index / section->layout.per_line,
                                   "the unknown-value sentinel " + number_text(block.reals.sentinel) +
                                       " stands for sample " + std::to_string(index + 1) +
                                       " of the data: the record has missing values"};
                }
            }
            check_peak(name, block_number, "acceleration", stated_peak, *values, processed, reading.warnings);
            const auto interval = block.reals.at(62);
            if (!interval || !(*interval > 0))
                return Problem{name, first_line,
                               "the sample interval (real header value 62, ms) is not stated"};
            Component component;
            component.source = name;
            component.interval = *interval / 1000.0;
            component.units = counts ? "counts" : "cm/s/s";
            component.samples = std::move(*values);
            if (*factor != 1.0) {
                for (double& value : component.samples) value *= *factor;
            }
            component.network = block.identity.network;
            component.station = block.identity.station;
            component.location = block.identity.location;
            orient(component, block.identity, block.integers, block_number);
            component.site.latitude = block.reals.at(1);
            component.site.longitude = block.reals.at(2);
            component.site.elevation = block.reals.at(3);
            component.origin.latitude = block.reals.at(10);
            component.origin.longitude = block.reals.at(11);
            component.origin.depth = block.reals.at(12);
            component.origin.magnitude = block.reals.at(13);
            const std::string_view origin = block.text[3];
            if (const std::size_t colon = origin.find(':'); colon != std::string_view::npos)
                component.origin.time = parse_time(origin.substr(colon + 1));
            component.start = start_from_slots(block.integers, block.reals);
            if (!component.start && block.text[7].size() > 16)
                component.start = parse_time(block.text[7].substr(16));
            const auto level = block.integers.at(1);
            if (level && *level >= 0 && *level <= 3) component.stated.add("level", "V" + number_text(*level));
            const auto high_pass = block.reals.at(54), low_pass = block.reals.at(57);
            if (high_pass || low_pass) {
                component.stated.add("filter", (high_pass ? number_text(*high_pass) : "-") + "," +
                                                   (low_pass ? number_text(*low_pass) : "-"));
            }
            reading.components.push_back(std::move(component));
        }
    }
    if (reading.components.empty()) return Problem{name, lines.number(), "no acceleration data in the file"};
    return reading;
}

}  // namespace smwave::table

#include "table/sac_reader.hpp"

#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <functional>

#include "companion/number_text.hpp"
#include "portable/float_chars.hpp"
#include "table/civil_time.hpp"
#include "table/text_lines.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

constexpr std::size_t header_bytes = 632;
constexpr std::size_t footer_bytes = 22 * 8;
constexpr std::size_t float_words = 70, int_words = 40, char_bytes = 192;
constexpr std::size_t version_byte = 304;
constexpr float undefined_float = -12345.0f;
constexpr std::int32_t undefined_int = -12345;

// Word numbers of the header fields read here (bytes = 4 x word).
enum Word {
    delta_word = 0,
    begin_word = 5,
    origin_word = 7,
    station_latitude_word = 31,
    station_longitude_word = 32,
    station_elevation_word = 33,
    event_latitude_word = 35,
    event_longitude_word = 36,
    event_depth_word = 38,
    magnitude_word = 39,
    azimuth_word = 57,
    inclination_word = 58,
    year_word = 70,
    day_word = 71,
    hour_word = 72,
    minute_word = 73,
    second_word = 74,
    millisecond_word = 75,
    version_word = 76,
    count_word = 79,
    type_word = 85,
    dependent_word = 86,
    even_word = 105,
};
constexpr std::size_t station_char = 0, location_char = 24, component_char = 160, network_char = 168;
// Places of the footer's double-precision copies of float fields (version 7).
constexpr std::size_t footer_origin = 3, footer_event_longitude = 16, footer_event_latitude = 17,
                      footer_station_longitude = 18, footer_station_latitude = 19;

struct Header {
    std::array<float, float_words> floats{};
    std::array<std::int32_t, int_words> ints{};
    std::array<char, char_bytes> chars{};
    std::array<double, 22> footer{};  // version 7 only
};

std::int32_t int_at(const Header& header, int word) {
    return header.ints[static_cast<std::size_t>(word) - float_words];
}

// A problem with the header field of `word`, located as the format locates it (byte or line).
using Locate = std::function<Problem(int word, std::string what)>;

// The decimal a single-precision value was written from: its shortest text read as a double.
double decimal_of(float value) {
    const double exact = value;
    if (std::abs(exact) < 1e7 && exact == std::trunc(exact)) return exact;  // whole numbers, counts above all
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    double result = 0;
    portable::from_chars(text, end, result);
    return result;
}

std::string char_field(const Header& header, std::size_t at, std::size_t length) {
    std::string text(header.chars.data() + at, length);
    const std::size_t zero = text.find('\0');
    if (zero != std::string::npos) text.resize(zero);
    text = std::string(trim(text));
    return text == "-12345" ? std::string() : text;
}

std::string units_of(std::int32_t dependent) {
    switch (dependent) {
        case 6:
            return "nm";
        case 7:
            return "nm/s";
        case 8:
            return "nm/s/s";
        case 50:
            return "volts";
        case 5:
        case undefined_int:
            return "unknown";
        default:
            return "SI (IDEP " + std::to_string(dependent) + ")";
    }
}

std::optional<std::int64_t> start_of(const Header& header, double begin) {
    const std::int32_t year = int_at(header, year_word), day = int_at(header, day_word),
                       hour = int_at(header, hour_word), minute = int_at(header, minute_word),
                       second = int_at(header, second_word), millisecond = int_at(header, millisecond_word);
    if (year < 1 || year > 9999 || day < 1 || day > 366 || hour < 0 || hour > 23 || minute < 0 ||
        minute > 59 || second < 0 || second > 60 || millisecond < 0 || millisecond > 999 ||
        !(std::abs(begin) < 1e9)) {
        return std::nullopt;
    }
    const std::int64_t seconds =
        (days_from_civil(year, 1, 1) + day - 1) * 86400 + hour * 3600 + minute * 60 + second;
    return seconds * microseconds_per_second + millisecond * 1000 + std::llround(begin * 1e6);
}

// A float field, or nothing when undefined; version 7 takes the footer's copy where it has one.
std::optional<double> defined(const Header& header, int word, std::optional<std::size_t> footer = {}) {
    const float value = header.floats[static_cast<std::size_t>(word)];
    if (value == undefined_float || !std::isfinite(value)) return std::nullopt;
    if (footer && int_at(header, version_word) == 7) {
        const double precise = header.footer[*footer];
        if (precise == undefined_float) return std::nullopt;
        return precise;
    }
    return decimal_of(value);
}

// The station's place, the orientation and the earthquake the header states.
void take_site_and_origin(const Header& header, Component& component) {
    component.site.latitude = defined(header, station_latitude_word, footer_station_latitude);
    component.site.longitude = defined(header, station_longitude_word, footer_station_longitude);
    component.site.elevation = defined(header, station_elevation_word);
    component.azimuth = defined(header, azimuth_word);
    if (const auto inclination = defined(header, inclination_word)) component.dip = *inclination - 90.0;
    component.origin.latitude = defined(header, event_latitude_word, footer_event_latitude);
    component.origin.longitude = defined(header, event_longitude_word, footer_event_longitude);
    component.origin.depth = defined(header, event_depth_word);
    component.origin.magnitude = defined(header, magnitude_word);
    const auto origin = defined(header, origin_word, footer_origin);
    const auto reference = start_of(header, 0.0);
    if (origin && reference && std::abs(*origin) < 1e9)
        component.origin.time = *reference + std::llround(*origin * 1e6);
}

// The checks and the meaning shared by both forms; `samples` are the data section's values.
Result<Reading> interpret(const Header& header, std::vector<double> samples, const std::string& name,
                          const Locate& locate) {
    const std::int32_t version = int_at(header, version_word);
    if (int_at(header, type_word) != 1) {
        return locate(type_word, "IFTYPE " + std::to_string(int_at(header, type_word)) +
                                     ": only time series (IFTYPE 1) are read");
    }
    if (int_at(header, even_word) != 1)
        return locate(even_word, "LEVEN is not true: only evenly sampled series are read");
    const double delta = version == 7 ? header.footer[0] : decimal_of(header.floats[delta_word]);
    if (!(delta > 0) || !std::isfinite(delta) || header.floats[delta_word] == undefined_float) {
        return locate(delta_word, "DELTA is undefined or not positive");
    }
    const double begin = version == 7 ? header.footer[1] : decimal_of(header.floats[begin_word]);
    Component component;
    component.samples = std::move(samples);
    component.interval = delta;
    if (header.floats[begin_word] != undefined_float) component.start = start_of(header, begin);
    component.station = char_field(header, station_char, 8);
    component.network = char_field(header, network_char, 8);
    component.location = char_field(header, location_char, 8);
    take_site_and_origin(header, component);
    component.name = char_field(header, component_char, 8);
    component.units = units_of(int_at(header, dependent_word));
    component.source = name;
    Reading reading;
    reading.components.push_back(std::move(component));
    return reading;
}

std::uint32_t word_at(std::string_view content, std::size_t byte, bool swapped) {
    std::uint32_t word = 0;
    std::memcpy(&word, content.data() + byte, 4);
    return swapped ? __builtin_bswap32(word) : word;
}

// Whether the header must be byte-swapped, or nothing when neither order gives version 6 or 7.
std::optional<bool> byte_order(std::string_view content) {
    if (content.size() < header_bytes) return std::nullopt;
    for (const bool swapped : {false, true}) {
        const std::uint32_t version = word_at(content, version_byte, swapped);
        if (version == 6 || version == 7) return swapped;
    }
    return std::nullopt;
}

float float_from(std::uint32_t word) {
    float value = 0;
    std::memcpy(&value, &word, 4);
    return value;
}

}  // namespace

bool looks_like_sac_binary(std::string_view content) { return byte_order(content).has_value(); }

Result<Reading> read_sac_binary(std::string_view content, const std::string& name) {
    const Locate locate = [&](int word, std::string what) {
        return Problem{name, static_cast<std::uint64_t>(word) * 4, std::move(what), true};
    };
    if (content.size() < header_bytes) {
        return Problem{name, content.size(), "the file ends within the 632-byte SAC header", true};
    }
    const auto swapped = byte_order(content);
    if (!swapped)
        return locate(version_word, "not a SAC file: no header version 6 or 7 in either byte order");
    Header header;
    for (std::size_t i = 0; i < float_words; ++i)
        header.floats[i] = float_from(word_at(content, 4 * i, *swapped));
    for (std::size_t i = 0; i < int_words; ++i) {
        header.ints[i] = static_cast<std::int32_t>(word_at(content, 4 * (float_words + i), *swapped));
    }
    std::memcpy(header.chars.data(), content.data() + 4 * (float_words + int_words), char_bytes);
    const std::int32_t count = int_at(header, count_word);
    if (count < 0) return locate(count_word, "NPTS is negative");
    const std::int32_t version = int_at(header, version_word);
    const std::size_t data_end = header_bytes + 4 * static_cast<std::size_t>(count);
    const std::size_t expected = data_end + (version == 7 ? footer_bytes : 0);
    if (content.size() < expected) {
        return Problem{name, content.size(),
                       "the file ends early: NPTS " + std::to_string(count) + " needs " +
                           std::to_string(expected) + " bytes",
                       true};
    }
    if (content.size() > expected && int_at(header, even_word) == 1) {
        return Problem{name, expected, "bytes after the end of the data (NPTS " + std::to_string(count) + ")",
                       true};
    }
    if (version == 7 && int_at(header, even_word) == 1) {
        for (std::size_t i = 0; i < header.footer.size(); ++i) {
            std::uint64_t bits = 0;
            std::memcpy(&bits, content.data() + data_end + 8 * i, 8);
            if (*swapped) bits = __builtin_bswap64(bits);
            std::memcpy(&header.footer[i], &bits, 8);
        }
    }
    std::vector<double> samples;
    if (int_at(header, even_word) == 1 && int_at(header, type_word) == 1) {
        samples.reserve(static_cast<std::size_t>(count));
        for (std::size_t i = 0; i < static_cast<std::size_t>(count); ++i) {
            const float sample = float_from(word_at(content, header_bytes + 4 * i, *swapped));
            if (!std::isfinite(sample)) {
                return Problem{name, header_bytes + 4 * i,
                               "sample " + std::to_string(i + 1) + " is not a finite number", true};
            }
            samples.push_back(decimal_of(sample));
        }
    }
    return interpret(header, std::move(samples), name, locate);
}

namespace {

constexpr std::size_t float_width = 15, int_width = 10;
constexpr int float_lines = 14, int_lines = 8;

// The fixed-width fields of a line, blank ones at its end dropped.
std::vector<std::string_view> fixed_fields(std::string_view line, std::size_t width) {
    std::vector<std::string_view> fields;
    for (std::size_t at = 0; at < line.size(); at += width) fields.push_back(trim(line.substr(at, width)));
    while (!fields.empty() && fields.back().empty()) fields.pop_back();
    return fields;
}

template <typename Number>
std::optional<Number> field_value(std::string_view field);

template <>
std::optional<double> field_value<double>(std::string_view field) {
    return companion::parse_number(field);
}

template <>
std::optional<std::int32_t> field_value<std::int32_t>(std::string_view field) {
    if (!field.empty() && field.front() == '+') field.remove_prefix(1);
    std::int32_t value = 0;
    const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
    if (error != std::errc() || end != field.data() + field.size()) return std::nullopt;
    return value;
}

// Reads `lines_wanted` lines of five fixed-width numbers into `values`.
template <typename Number>
companion::Status read_number_lines(TextLines& lines, int lines_wanted, std::size_t width, Number* values,
                                    const std::string& name) {
    std::string_view line;
    for (int row = 0; row < lines_wanted; ++row) {
        if (!lines.next(line)) return Problem{name, lines.number() + 1, "the SAC header ends early"};
        const auto fields = fixed_fields(line, width);
        if (fields.size() != 5) {
            return Problem{name, lines.number(),
                           "a header line of five numbers was expected, found " +
                               std::to_string(fields.size()) + " fields"};
        }
        for (std::size_t k = 0; k < 5; ++k) {
            const auto value = field_value<Number>(fields[k]);
            if (!value) return Problem{name, lines.number(), quoted(fields[k]) + " is not a number"};
            values[row * 5 + static_cast<int>(k)] = static_cast<Number>(*value);
        }
    }
    return std::nullopt;
}

}  // namespace

bool looks_like_sac_ascii(std::string_view content) {
    TextLines lines(content);
    std::string_view line;
    for (int number = 1; number <= 16; ++number) {
        if (!lines.next(line)) return false;
        if (number <= float_lines && fixed_fields(line, float_width).size() != 5) return false;
    }
    const auto fields = fixed_fields(line, int_width);
    return fields.size() == 5 && (fields[1] == "6" || fields[1] == "7");
}

Result<Reading> read_sac_ascii(std::string_view content, const std::string& name) {
    TextLines lines(content);
    Header header;
    std::array<double, float_words> floats{};
    if (auto problem = read_number_lines<double>(lines, float_lines, float_width, floats.data(), name))
        return *problem;
    for (std::size_t i = 0; i < float_words; ++i) header.floats[i] = static_cast<float>(floats[i]);
    if (auto problem = read_number_lines<std::int32_t>(lines, int_lines, int_width, header.ints.data(), name))
        return *problem;
    // Line 23 holds KSTNM and KEVNM (8 + 16 characters), lines 24-30 three 8-character fields each.
    header.chars.fill(' ');
    std::string_view line;
    for (std::size_t row = 0; row < 8; ++row) {
        if (!lines.next(line)) return Problem{name, lines.number() + 1, "the SAC header ends early"};
        const std::string_view text = line.substr(0, std::min<std::size_t>(line.size(), 24));
        std::memcpy(header.chars.data() + 24 * row, text.data(), text.size());
    }
    const Locate locate = [&](int word, std::string what) {
        const int line_number = word < static_cast<int>(float_words)
                                    ? 1 + word / 5
                                    : 15 + (word - static_cast<int>(float_words)) / 5;
        return Problem{name, static_cast<std::uint64_t>(line_number), std::move(what)};
    };
    const std::int32_t version = int_at(header, version_word);
    if (version != 6 && version != 7)
        return locate(version_word, "NVHDR " + std::to_string(version) + ": versions 6 and 7 are read");
    const std::int32_t count = int_at(header, count_word);
    if (count < 0) return locate(count_word, "NPTS is negative");
    // The data, five values a line, then the 22 values of version 7's footer; nothing else but blank lines.
    const std::size_t wanted = static_cast<std::size_t>(count) + (version == 7 ? header.footer.size() : 0);
    std::vector<double> values;
    values.reserve(std::min(wanted, content.size() / 2));
    while (lines.next(line)) {
        const auto fields = values.size() < static_cast<std::size_t>(count)
                                ? fixed_fields(line, float_width)
                                : std::vector<std::string_view>{trim(line)};
        for (const auto field : fields) {
            if (field.empty()) continue;
            if (values.size() == wanted)
                return Problem{name, lines.number(),
                               "values after the end of the data (NPTS " + std::to_string(count) + ")"};
            const auto value = companion::parse_number(field);
            if (!value) return Problem{name, lines.number(), quoted(field) + " is not a number"};
            values.push_back(*value);
        }
    }
    if (values.size() < wanted) {
        return Problem{name, lines.number(),
                       "the file ends after " + std::to_string(values.size()) + " of " +
                           std::to_string(wanted) + " values (NPTS " + std::to_string(count) + ")"};
    }
    for (std::size_t i = 0; i + static_cast<std::size_t>(count) < values.size(); ++i)
        header.footer[i] = values[static_cast<std::size_t>(count) + i];
    values.resize(static_cast<std::size_t>(count));
    return interpret(header, std::move(values), name, locate);
}

}  // namespace smwave::table

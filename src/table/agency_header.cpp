#include "table/agency_header.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"
#include "table/text_lines.hpp"

namespace smwave::table {

namespace {

bool is_number_character(char c) { return (c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+'; }

std::string upper_case(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    }
    return result;
}

// The hemisphere letter just after a number that ends at `end` in `text` (blanks between allowed);
// 0 when none follows.
char hemisphere_after(std::string_view text, std::size_t& end) {
    std::size_t at = end;
    while (at < text.size() && text[at] == ' ') ++at;
    if (at >= text.size()) return 0;
    const char letter = static_cast<char>(text[at] & ~0x20);
    const bool alone = at + 1 >= text.size() || !std::isalpha(static_cast<unsigned char>(text[at + 1]));
    if ((letter == 'N' || letter == 'S' || letter == 'E' || letter == 'W') && alone) {
        end = at + 1;
        return letter;
    }
    return 0;
}

}  // namespace

std::optional<double> leading_number(std::string_view text) {
    text = trim(text);
    std::size_t end = 0;
    while (end < text.size() && is_number_character(text[end])) ++end;
    while (end > 0 && (text[end - 1] == '.' || text[end - 1] == '-' || text[end - 1] == '+') &&
           !companion::parse_number(text.substr(0, end)))
        --end;
    return companion::parse_number(text.substr(0, end));
}

std::optional<double> number_following(std::string_view line, std::string_view label) {
    const std::size_t at = upper_case(line).find(upper_case(label));
    if (at == std::string::npos) return std::nullopt;
    return leading_number(line.substr(at + label.size()));
}

std::string word_following(std::string_view line, std::string_view label) {
    const std::size_t at = upper_case(line).find(upper_case(label));
    if (at == std::string::npos) return {};
    std::string_view rest = line.substr(at + label.size());
    std::string_view word = take_word(rest);
    while (word.ends_with(',')) word.remove_suffix(1);
    return std::string(word);
}

Position hemisphere_position(std::string_view text) {
    Position position;
    std::size_t at = 0;
    while (at < text.size() && !(position.latitude && position.longitude)) {
        if (!(text[at] >= '0' && text[at] <= '9') && text[at] != '.') {
            ++at;
            continue;
        }
        std::size_t end = at;
        while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) ++end;
        const auto value = companion::parse_number(text.substr(at, end - at));
        const char letter = hemisphere_after(text, end);
        if (value && (letter == 'N' || letter == 'S') && !position.latitude)
            position.latitude = letter == 'S' ? -*value : *value;
        if (value && (letter == 'E' || letter == 'W') && position.latitude && !position.longitude)
            position.longitude = letter == 'W' ? -*value : *value;
        at = end;
    }
    if (!position.latitude || !position.longitude || (*position.latitude == 0 && *position.longitude == 0))
        return {};
    return position;
}

std::optional<std::int64_t> zone_offset(std::string_view word) {
    static constexpr std::pair<std::string_view, int> zones[] = {
        {"UTC", 0},  {"GMT", 0},  {"UT", 0},   {"Z", 0},    {"PDT", -7}, {"PST", -8},
        {"MDT", -6}, {"MST", -7}, {"CDT", -5}, {"CST", -6}, {"EDT", -4}, {"EST", -5}};
    const std::string upper = upper_case(trim(word));
    for (const auto& [name, hours] : zones) {
        if (upper == name) return static_cast<std::int64_t>(hours) * 3600 * microseconds_per_second;
    }
    return std::nullopt;
}

std::optional<std::int64_t> us_date_time(std::string_view text) {
    const std::string copy(trim(text));
    int month = 0, day = 0, year = 0, hour = 0, minute = 0, used = 0;
    double second = 0;
    if (std::sscanf(copy.c_str(), "%d/%d/%d%*[, ]%d:%d:%lf%n", &month, &day, &year, &hour, &minute, &second,
                    &used) != 6)
        return std::nullopt;
    std::string_view rest = std::string_view(copy).substr(static_cast<std::size_t>(used));
    std::string_view zone = take_word(rest);
    while (zone.ends_with(')') || zone.ends_with(',') || zone.ends_with('.')) zone.remove_suffix(1);
    const auto offset = zone_offset(zone);
    if (!offset) return std::nullopt;
    if (year < 100) year += year < 30 ? 2000 : 1900;
    const auto local = time_from_parts(year, month, day, hour, minute, second);
    if (!local) return std::nullopt;
    return *local - *offset;
}

std::optional<double> bearing_azimuth(std::string_view bearing) {
    const std::string text = upper_case(trim(bearing));
    if (text.size() < 3) return std::nullopt;
    const char from = text.front(), toward = text.back();
    const auto angle = companion::parse_number(std::string_view(text).substr(1, text.size() - 2));
    if (!angle || *angle < 0 || *angle > 90 || (from != 'N' && from != 'S') ||
        (toward != 'E' && toward != 'W'))
        return std::nullopt;
    const double azimuth =
        from == 'N' ? (toward == 'E' ? *angle : 360 - *angle) : (toward == 'E' ? 180 - *angle : 180 + *angle);
    return std::fmod(azimuth, 360.0);
}

double peak_of(const std::vector<double>& values) {
    double peak = 0;
    for (const double value : values) peak = std::max(peak, std::abs(value));
    return peak;
}

void check_stated_peak(const std::string& where, const std::string& quantity, std::optional<double> stated,
                       const std::vector<double>& values, double resolution, bool processed,
                       std::vector<std::string>& warnings) {
    if (!stated) return;
    const double peak = peak_of(values);
    const double difference = std::abs(peak - std::abs(*stated));
    if (difference <= 0.001 * std::abs(*stated) || difference <= resolution) return;
    warnings.push_back(
        where + ": the peak " + quantity + " is " + number_text(peak) + " but the header states " +
        number_text(*stated) + " (more than 0.1 % apart)" +
        (processed ? "; the agency's filtering may explain a difference" : ": check the file"));
}

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

}  // namespace smwave::table

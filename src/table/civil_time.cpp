#include "table/civil_time.hpp"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace smwave::table {

std::int64_t days_from_civil(std::int64_t year, unsigned month, unsigned day) {
    const std::chrono::year_month_day date{std::chrono::year{static_cast<int>(year)}, std::chrono::month{month},
                                           std::chrono::day{day}};
    return std::chrono::sys_days{date}.time_since_epoch().count();
}

namespace {

// Reads an unsigned number of exactly `width` digits at `at`, moving past it.
std::optional<unsigned> take_digits(std::string_view text, std::size_t& at, std::size_t width) {
    if (at + width > text.size()) return std::nullopt;
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data() + at, text.data() + at + width, value);
    if (error != std::errc() || end != text.data() + at + width) return std::nullopt;
    at += width;
    return value;
}

bool take(std::string_view text, std::size_t& at, char expected) {
    if (at >= text.size() || text[at] != expected) return false;
    ++at;
    return true;
}

unsigned days_in_month(std::int64_t year, unsigned month) {
    const std::chrono::year_month_day_last last{std::chrono::year{static_cast<int>(year)},
                                                std::chrono::month_day_last{std::chrono::month{month}}};
    return static_cast<unsigned>(last.day());
}

}  // namespace

std::optional<std::int64_t> parse_slashed_date_time(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
    while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r'))
        text.remove_suffix(1);
    std::size_t at = 0;
    const auto year = take_digits(text, at, 4);
    if (!year || !take(text, at, '/')) return std::nullopt;
    const auto month = take_digits(text, at, 2);
    if (!month || !take(text, at, '/')) return std::nullopt;
    const auto day = take_digits(text, at, 2);
    if (!day || !take(text, at, ' ')) return std::nullopt;
    while (at < text.size() && text[at] == ' ') ++at;
    const auto hour = take_digits(text, at, 2);
    if (!hour || !take(text, at, ':')) return std::nullopt;
    const auto minute = take_digits(text, at, 2);
    if (!minute || !take(text, at, ':')) return std::nullopt;
    const auto second = take_digits(text, at, 2);
    if (!second || at != text.size()) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > days_in_month(*year, *month) || *hour > 23 ||
        *minute > 59 || *second > 60) {
        return std::nullopt;
    }
    const std::int64_t seconds =
        days_from_civil(*year, *month, *day) * 86400 + *hour * 3600 + *minute * 60 + *second;
    return seconds * microseconds_per_second;
}

std::optional<std::int64_t> time_from_parts(int year, int month, int day, int hour, int minute,
                                            double second) {
    if (year < 1800 || year > 2200 || month < 1 || month > 12 || day < 1 ||
        day > static_cast<int>(days_in_month(year, static_cast<unsigned>(month))) || hour < 0 || hour > 23 ||
        minute < 0 || minute > 59 || !(second >= 0 && second < 61))
        return std::nullopt;
    const std::int64_t days = days_from_civil(year, static_cast<unsigned>(month), static_cast<unsigned>(day));
    return (days * 86400 + hour * 3600 + minute * 60) * microseconds_per_second + std::llround(second * 1e6);
}

std::optional<std::int64_t> parse_iso_date_time(std::string_view text) {
    while (!text.empty() && (text.front() == ' ' || text.front() == '\t' || text.front() == '\n'))
        text.remove_prefix(1);
    while (!text.empty() &&
           (text.back() == ' ' || text.back() == '\t' || text.back() == '\n' || text.back() == '\r'))
        text.remove_suffix(1);
    std::size_t at = 0;
    const auto year = take_digits(text, at, 4);
    if (!year || !take(text, at, '-')) return std::nullopt;
    const auto month = take_digits(text, at, 2);
    if (!month || !take(text, at, '-')) return std::nullopt;
    const auto day = take_digits(text, at, 2);
    if (!day || *month < 1 || *month > 12 || *day < 1 || *day > days_in_month(*year, *month))
        return std::nullopt;
    std::int64_t seconds = days_from_civil(*year, *month, *day) * 86400;
    if (at == text.size()) return seconds * microseconds_per_second;
    if (!take(text, at, 'T')) return std::nullopt;
    const auto hour = take_digits(text, at, 2);
    if (!hour || !take(text, at, ':')) return std::nullopt;
    const auto minute = take_digits(text, at, 2);
    if (!minute || !take(text, at, ':')) return std::nullopt;
    const auto second = take_digits(text, at, 2);
    if (!second || *hour > 24 || *minute > 59 || *second > 60) return std::nullopt;
    seconds += *hour * 3600 + *minute * 60 + *second;
    std::int64_t micro = 0;
    if (at < text.size() && text[at] == '.') {
        ++at;
        std::int64_t scale = 100000;
        if (at >= text.size() || text[at] < '0' || text[at] > '9') return std::nullopt;
        while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
            micro += (text[at] - '0') * scale;
            scale /= 10;
            ++at;
        }
    }
    if (at < text.size() && text[at] == 'Z') {
        ++at;
    } else if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
        const int sign = text[at] == '+' ? 1 : -1;
        ++at;
        const auto offset_hours = take_digits(text, at, 2);
        if (!offset_hours || !take(text, at, ':')) return std::nullopt;
        const auto offset_minutes = take_digits(text, at, 2);
        if (!offset_minutes) return std::nullopt;
        seconds -= sign * (*offset_hours * 3600 + *offset_minutes * 60);
    }
    if (at != text.size()) return std::nullopt;
    return seconds * microseconds_per_second + micro;
}

std::string format_utc(std::int64_t microseconds) {
    std::int64_t seconds = microseconds / microseconds_per_second;
    std::int64_t fraction = microseconds % microseconds_per_second;
    if (fraction < 0) {
        fraction += microseconds_per_second;
        --seconds;
    }
    std::int64_t days = seconds / 86400;
    std::int64_t second_of_day = seconds % 86400;
    if (second_of_day < 0) {
        second_of_day += 86400;
        --days;
    }
    const std::chrono::year_month_day date{std::chrono::sys_days{std::chrono::days{days}}};
    char text[64];
    int length = std::snprintf(text, sizeof text, "%04d-%02u-%02uT%02lld:%02lld:%02lld",
                               static_cast<int>(date.year()), static_cast<unsigned>(date.month()),
                               static_cast<unsigned>(date.day()), static_cast<long long>(second_of_day / 3600),
                               static_cast<long long>(second_of_day / 60 % 60),
                               static_cast<long long>(second_of_day % 60));
    std::string result(text, static_cast<std::size_t>(length));
    if (fraction != 0) {
        std::snprintf(text, sizeof text, ".%06lld", static_cast<long long>(fraction));
        std::string digits(text);
        while (digits.back() == '0') digits.pop_back();
        result += digits;
    }
    return result + 'Z';
}

}  // namespace smwave::table

#pragma once
// Calendar dates and times as microseconds since 1970-01-01 00:00:00 UTC.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace smwave::table {

constexpr std::int64_t microseconds_per_second = 1'000'000;

// Days from 1970-01-01 to the given date of the proleptic Gregorian calendar (negative before).
std::int64_t days_from_civil(std::int64_t year, unsigned month, unsigned day);

// Reads "yyyy/mm/dd hh:mm:ss" (blanks around allowed) as microseconds since 1970, or nothing when the
// text is not such a date or names an impossible one.
std::optional<std::int64_t> parse_slashed_date_time(std::string_view text);

// Reads an ISO 8601 date and time as XML files write it, "2024-03-05T03:34:05Z", with a fraction of
// the second ("...05.25Z"), an offset ("+09:00") or none (taken as UTC), or a date alone (its
// midnight); nothing for other text or impossible dates.
std::optional<std::int64_t> parse_iso_date_time(std::string_view text);

// The time of a date and a time of day with fractional seconds, as microseconds since 1970; nothing
// for an impossible date or time, or a year outside 1800-2200.
std::optional<std::int64_t> time_from_parts(int year, int month, int day, int hour, int minute,
                                            double second);

// "2024-03-05T03:34:05Z", with the fraction of the second when it is not whole ("...05.25Z").
std::string format_utc(std::int64_t microseconds);

}  // namespace smwave::table

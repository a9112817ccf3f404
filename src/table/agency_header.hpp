#pragma once
// Pieces of the free-text header lines of the older agency formats (California's volumes, USC, RENADIC,
// BHRC, SMC, AFAD): numbers after words, hemisphere-lettered coordinates, US-style dates with their
// time-zone word, and the check of a stated peak against the samples read.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace smwave::table {

// The number at the start of `text` ("6.4(CIT)" gives 6.4, "7KM." gives 7); nothing when it does not
// start with one.
std::optional<double> leading_number(std::string_view text);

// The number that starts after `label` in `line`, compared without regard to case, blanks after the
// label skipped ("MW=6.4(CIT)" after "MW="); nothing when the label or the number is missing.
std::optional<double> number_following(std::string_view line, std::string_view label);

// The word after `label` in `line` (compared without regard to case), without a trailing comma.
std::string word_following(std::string_view line, std::string_view label);

struct Position {
    std::optional<double> latitude, longitude;  // degrees north and east
};

// The first latitude and longitude written with hemisphere letters in `text`: "34.009N, 117.951W",
// "37.485 N 45.891 E" or "37.87470N-27.59223E" (the dash there separates, it is no sign). South and
// west are made negative; 0N 0E (an unknown position in some files) gives nothing.
Position hemisphere_position(std::string_view text);

// The offset from UTC of a time-zone word (UTC, GMT, UT: 0; PDT -7; PST -8; ...), in microseconds.
std::optional<std::int64_t> zone_offset(std::string_view word);

// "m/d/yy, hh:mm:ss.s ZONE" or "m/d/yyyy h:mm:ss.sss ZONE" at the start of `text` (two-digit years
// from 1930 to 2029), made UTC from the zone word; nothing for other text or an unknown zone.
std::optional<std::int64_t> us_date_time(std::string_view text);

// The azimuth of a compass bearing ("N28W" 332, "S62W" 242, "N00E" 0, "N90E" 90), in degrees
// clockwise from north; nothing for other text.
std::optional<double> bearing_azimuth(std::string_view bearing);

// The largest magnitude among the values.
double peak_of(const std::vector<double>& values);

// Warns when the stated peak (its magnitude: some files drop the sign) differs from the values' by
// more than 0.1 % and more than `resolution` (half the last printed digit of the stated value). For
// processed records the warning says that the agency's filtering may explain the difference.
void check_stated_peak(const std::string& where, const std::string& quantity, std::optional<double> stated,
                       const std::vector<double>& values, double resolution, bool processed,
                       std::vector<std::string>& warnings);

// The value as the metadata and messages print it (shortest exact form).
std::string number_text(double value);

}  // namespace smwave::table

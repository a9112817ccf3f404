#include "table/physical_units.hpp"

#include <string>

namespace smwave::table {

namespace {

// Lower case without blanks, "sec" written as "s", "**2", "^2" and "s2" written as "/s".
std::string plain(std::string_view units) {
    std::string text;
    for (const char c : units) {
        if (c == ' ' || c == '\t') continue;
        text += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    }
    for (std::size_t at = text.find("sec"); at != std::string::npos; at = text.find("sec", at + 1))
        text.replace(at, 3, "s");
    for (const std::string_view square : {"**2", "^2"}) {
        if (text.ends_with(square)) text.replace(text.size() - square.size(), square.size(), "/s");
    }
    if (text.ends_with("/s2")) text.replace(text.size() - 1, 1, "/s");
    return text;
}

}  // namespace

std::optional<double> factor_to_gal(std::string_view units) {
    const std::string text = plain(units);
    // After plain(): "m/s**2" is "m/s/s"; "m/s2" is "m/s/s".
    if (text == "m/s/s" || text == "meter/s/s" || text == "meters/s/s") return 100.0;
    if (text == "cm/s/s" || text == "gal") return 1.0;
    if (text == "mm/s/s") return 0.1;
    if (text == "nm/s/s") return 1e-7;
    if (text == "g") return standard_gravity;
    return std::nullopt;
}

bool is_counts(std::string_view units) {
    const std::string text = plain(units);
    return text == "count" || text == "counts";
}

bool is_metres_per_second(std::string_view units) { return plain(units) == "m/s"; }

}  // namespace smwave::table

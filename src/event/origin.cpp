#include "event/origin.hpp"

#include <cmath>
#include <numbers>
#include <sstream>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"

namespace smwave::event {

using companion::Problem;

namespace {

double radians(double degrees) { return degrees * std::numbers::pi / 180; }

bool differs(const EventOrigin& a, const EventOrigin& b) {
    return std::llabs(a.time - b.time) > 1'000'000 || std::fabs(a.latitude - b.latitude) > 0.01 ||
           std::fabs(a.longitude - b.longitude) > 0.01 || std::fabs(a.depth - b.depth) > 1;
}

}  // namespace

std::string origin_id(std::int64_t time) {
    std::string id;
    for (const char c : table::format_utc(time).substr(0, 19)) {
        if (std::isdigit(static_cast<unsigned char>(c))) id += c;
    }
    return id;
}

companion::Result<EventOrigin> parse_origin(const std::string& text) {
    std::istringstream words(text);
    std::vector<std::string> items;
    for (std::string word; words >> word;) items.push_back(word);
    const Problem usage{"", 0, "--origin takes \"TIME LAT LON DEPTH_KM [MAG]\", such as \"2024-03-05T03:34:05Z "
                               "35.1 139.2 10 6.1\", not \"" + text + "\""};
    if (items.size() != 4 && items.size() != 5) return usage;
    const auto time = table::parse_iso_date_time(items[0]);
    std::vector<double> numbers;
    for (std::size_t at = 1; at < items.size(); ++at) {
        const auto number = companion::parse_number(items[at]);
        if (!number) return usage;
        numbers.push_back(*number);
    }
    if (!time || std::fabs(numbers[0]) > 90 || std::fabs(numbers[1]) > 360) return usage;
    EventOrigin origin;
    origin.time = *time;
    origin.latitude = numbers[0];
    origin.longitude = numbers[1];
    origin.depth = numbers[2];
    if (numbers.size() == 4) origin.magnitude = numbers[3];
    origin.id = origin_id(origin.time);
    return origin;
}

companion::Result<std::optional<EventOrigin>> origin_of_records(const Download& download) {
    std::optional<EventOrigin> found;
    std::string found_in;
    for (const EventRecord& record : download.records) {
        for (const std::size_t file : record.files) {
            const table::Origin& stated = download.files[file].component.origin;
            if (!stated.time || !stated.latitude || !stated.longitude || !stated.depth) continue;
            EventOrigin origin;
            origin.time = *stated.time;
            origin.latitude = *stated.latitude;
            origin.longitude = *stated.longitude;
            origin.depth = *stated.depth;
            origin.magnitude = stated.magnitude;
            origin.id = origin_id(origin.time);
            if (!found) {
                found = origin;
                found_in = download.files[file].path;
            } else if (differs(*found, origin)) {
                return Problem{download.files[file].path, 0,
                               "states an origin (" + table::format_utc(origin.time) +
                                   ") that differs from the one of " + found_in + " (" +
                                   table::format_utc(found->time) +
                                   ") by more than 1 s, 0.01 degrees or 1 km; give the event with --origin"};
            }
        }
    }
    return found;
}

Distances distances_to(const EventOrigin& origin, double latitude, double longitude) {
    const double phi1 = radians(latitude), phi2 = radians(origin.latitude);
    const double dphi = phi2 - phi1, dlambda = radians(origin.longitude - longitude);
    const double a = std::sin(dphi / 2) * std::sin(dphi / 2) +
                     std::cos(phi1) * std::cos(phi2) * std::sin(dlambda / 2) * std::sin(dlambda / 2);
    Distances d;
    d.epicentral = 2 * earth_radius_km * std::asin(std::min(1.0, std::sqrt(a)));
    d.hypocentral = std::hypot(d.epicentral, origin.depth);
    const double azimuth = std::atan2(std::sin(dlambda) * std::cos(phi2),
                                      std::cos(phi1) * std::sin(phi2) - std::sin(phi1) * std::cos(phi2) * std::cos(dlambda));
    d.back_azimuth = std::fmod(azimuth * 180 / std::numbers::pi + 360, 360);
    return d;
}

}  // namespace smwave::event

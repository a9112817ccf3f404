#pragma once
// The earthquake of an event and the distances of its stations.
//
// Distances are taken on a sphere of radius 6371 km: the epicentral distance is the great-circle
// distance from the epicentre to the station, the hypocentral distance adds the depth below the
// epicentre (sqrt(epicentral^2 + depth^2); the station's elevation is not counted), and the back
// azimuth is the direction from the station to the epicentre, degrees clockwise from north in [0, 360).
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "event/scan.hpp"

namespace smwave::event {

inline constexpr double earth_radius_km = 6371.0;

struct EventOrigin {
    std::int64_t time = 0;  // microseconds since 1970 UTC
    double latitude = 0, longitude = 0, depth = 0;  // degrees north, east; km
    std::optional<double> magnitude;
    std::string magnitude_type;
    std::string id;  // the origin time as yyyymmddhhmmss
};

// The id of an event known by its origin alone: the origin time as yyyymmddhhmmss (UTC).
std::string origin_id(std::int64_t time);

// Reads --origin "TIME LAT LON DEPTH_KM [MAG]" (TIME as 2024-03-05T03:34:05Z).
companion::Result<EventOrigin> parse_origin(const std::string& text);

// The origin the records' files state, nothing when none states one; a Problem when two of them
// differ by more than 1 s in time, 0.01 degrees in place or 1 km in depth.
companion::Result<std::optional<EventOrigin>> origin_of_records(const Download& download);

struct Distances {
    double epicentral = 0, hypocentral = 0, back_azimuth = 0;  // km, km, degrees
};

Distances distances_to(const EventOrigin& origin, double latitude, double longitude);

}  // namespace smwave::event

#pragma once
// A component as a reader gives it: the samples of one channel with what is known about them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "companion/table_metadata.hpp"

namespace smwave::table {

// Where a station stands; each part is absent when the file does not say.
struct Site {
    std::optional<double> latitude;   // degrees north
    std::optional<double> longitude;  // degrees east
    std::optional<double> elevation;  // metres above sea level
};

// The earthquake as a record's file states it; each part is absent when the file does not say.
struct Origin {
    std::optional<std::int64_t> time;  // microseconds since 1970 UTC
    std::optional<double> latitude;    // degrees north
    std::optional<double> longitude;   // degrees east
    std::optional<double> depth;       // km
    std::optional<double> magnitude;
};

// Which of a KiK-net site's two sensors a file comes from; records of other agencies have none.
enum class Sensor { unknown, borehole, surface };

struct Component {
    std::vector<double> samples;
    double interval = 0;                // sampling interval in seconds
    std::optional<std::int64_t> start;  // time of the first sample, microseconds since 1970 UTC
    std::string network;                // network code, empty when the file gives none
    std::string station;                // station code, empty when the file gives none
    std::string location;               // location code, often empty
    std::string name;                   // direction or channel code ("EW", "HNZ")
    std::string units;                  // units of the samples ("gal", "nm/s/s", "unknown")
    std::string source;                 // the file it was read from
    Sensor sensor = Sensor::unknown;
    std::optional<double> azimuth;  // degrees clockwise from north
    std::optional<double> dip;      // degrees down from horizontal (vertical up: -90)
    Site site;
    Origin origin;
    std::string correction = "none";    // how counts became physical units: "sensitivity", "full", "units"
    std::optional<double> sensitivity;  // counts per input unit, where divided by
    bool tapered = false;               // tapered already, before its response was divided out
    bool absent = false;                // not recorded: zeros standing in for a missing component
    // What the file states beyond the fields above, for the metadata line ("level=V2", "filter=...").
    companion::TableMetadata stated;
};

// What a reader gives: one or more components, and remarks for the user that do not stop the work.
struct Reading {
    std::vector<Component> components;
    std::vector<std::string> warnings;
};

}  // namespace smwave::table

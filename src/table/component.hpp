#pragma once
// A component as a reader gives it: the samples of one channel with what is known about them.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace smwave::table {

// Which of a KiK-net site's two sensors a file comes from; records of other agencies have none.
enum class Sensor { unknown, borehole, surface };

struct Component {
    std::vector<double> samples;
    double interval = 0;                // sampling interval in seconds
    std::optional<std::int64_t> start;  // time of the first sample, microseconds since 1970 UTC
    std::string station;                // station code, empty when the file gives none
    std::string name;                   // direction or channel code ("EW", "HNZ")
    std::string units;                  // units of the samples ("gal", "nm/s/s", "unknown")
    std::string source;                 // the file it was read from
    Sensor sensor = Sensor::unknown;
};

// What a reader gives: one or more components, and remarks for the user that do not stop the work.
struct Reading {
    std::vector<Component> components;
    std::vector<std::string> warnings;
};

}  // namespace smwave::table

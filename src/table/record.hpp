#pragma once
// Three components made into one record: the table's content.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// The largest record smwave transforms.
constexpr std::size_t transform_limit = 131072;

struct Record {
    std::string station;
    std::array<std::string, 3> names;
    std::array<std::vector<double>, 3> samples;  // all of one length
    double interval = 0;
    std::optional<std::int64_t> start;  // microseconds since 1970 UTC
    std::string units;
    std::vector<std::string> sources;
    std::string scale;  // the factors applied, as text
};

struct AssemblyOptions {
    std::vector<double> scale;         // none, one factor for all, or one per component
    std::optional<std::size_t> limit;  // keep only the first samples
    bool allow_mixed_sensors = false;  // KiK-net borehole and surface files in one record
};

// Makes the record of components 1, 2, 3 (in that order): refuses different intervals (more than
// 1e-6 relative apart), starts more than half a sample apart, mixed KiK-net sensors, values that are
// not finite and records of fewer than two samples; pads shorter components with zeros, applies the
// scale and the limit, and adds a warning for each padding, and for a record longer than smwave
// transforms.
companion::Result<Record> assemble_record(std::vector<Component> components, const AssemblyOptions& options,
                                          std::vector<std::string>& warnings);

// Puts the components a file holds in the order of `wanted` (channel or column names, compared without
// regard to case); empty `wanted`: east, north, vertical by the last letter or digit of the names
// (E or 1, N or 2, Z or 3). A name that matches none or several: a Problem naming the file.
companion::Result<std::vector<Component>> order_channels(std::vector<Component> components,
                                                         const std::vector<std::string>& wanted);

}  // namespace smwave::table

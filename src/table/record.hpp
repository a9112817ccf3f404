#pragma once
// Three components made into one record: the table's content.
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "companion/table_metadata.hpp"
#include "table/baseline.hpp"
#include "table/component.hpp"

namespace smwave::table {

// The largest record smwave transforms.
constexpr std::size_t transform_limit = 131072;

struct Record {
    std::string network, station, location;
    std::array<std::string, 3> names;
    std::array<std::optional<double>, 3> azimuths, dips;
    std::array<bool, 3> absent{};  // components the record lacks, zeros in the table
    std::array<std::vector<double>, 3> samples;  // all of one length
    double interval = 0;
    std::optional<std::int64_t> start;  // microseconds since 1970 UTC
    std::string units;
    Site site;
    Origin origin;
    std::vector<std::string> sources;
    // What the files state beyond the fields above (processing level, filter corners, event name).
    companion::TableMetadata stated;
    // What was done to the samples, as the metadata items that say so ("baseline", "taper", ...).
    companion::TableMetadata processing;
};

struct AssemblyOptions {
    std::vector<double> scale;         // none, one factor for all, or one per component
    std::optional<std::size_t> limit;  // keep only the first samples
    bool allow_mixed_sensors = false;  // KiK-net borehole and surface files in one record
    Baseline baseline = Baseline::mean;
    double taper = 0;   // the fraction of the record tapered at each end
    bool trim = false;  // cut components of different starts to their common time span
    companion::TableMetadata correction_notes;  // how counts were corrected: inventory, prefilter, ...
};

// Makes the record of components 1, 2, 3 (in that order): refuses different intervals (more than
// 1e-6 relative apart), starts more than half a sample apart (unless `trim`, which cuts the three to
// their common span and warns how many samples each lost), mixed KiK-net sensors, values that are
// not finite and records of fewer than two samples. Applies the limit and the scale, removes the
// baseline and tapers each component over its own samples, then pads shorter components with zeros;
// warns of each padding, of samples still in counts (unless scaled), and of a record longer than smwave
// transforms.
companion::Result<Record> assemble_record(std::vector<Component> components, const AssemblyOptions& options,
                                          std::vector<std::string>& warnings);

// Puts the components a file holds in the order of `wanted` (channel or column names, compared without
// regard to case); empty `wanted`: east, north, vertical by the last letter or digit of the names
// (E or 1, N or 2, Z or 3). A name that matches none or several: a Problem naming the file.
companion::Result<std::vector<Component>> order_channels(std::vector<Component> components,
                                                         const std::vector<std::string>& wanted);

// Orders the components of an archive's files by their orientation: the horizontal whose azimuth is
// nearer east (then the one clockwise of the other) as component 1, the other horizontal as 2, the
// vertical as 3. Two horizontals alone get a vertical of zeros marked absent. Components whose
// orientation is not known keep their order; other sets than 2 or 3 are left as they are.
std::vector<Component> order_by_azimuth(std::vector<Component> components);

}  // namespace smwave::table

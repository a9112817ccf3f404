#pragma once
// Counts made physical: each component divided by its channel's sensitivity from a StationXML
// inventory, or multiplied by the factor of the units the user states, and given in cm/s/s.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "companion/table_metadata.hpp"
#include "table/baseline.hpp"
#include "table/component.hpp"
#include "table/response_removal.hpp"

namespace smwave::table {

struct CorrectionOptions {
    std::optional<std::filesystem::path> inventory;  // a StationXML file or a folder of them
    std::string units;                               // the samples' units as the user states them
    bool full_response = false;                      // divide by the whole response, not the sensitivity
    std::optional<Prefilter> prefilter;              // default: default_prefilter of the interval
    double water_level_db = 60;
    Baseline baseline = Baseline::mean;  // taken off, and the taper applied, before the response is
    double taper = 0;                    // divided out
};

// With `units`: every component is multiplied by the factor from those units to cm/s/s (a unit
// that is not an acceleration is a Problem). Otherwise the components in counts (or of unknown units)
// are corrected with the inventory (without one: the files NET.STA.xml beside the records, when there
// are any): the channel's epoch at the record's start is chosen, and before dividing by
// InstrumentSensitivity/Value and converting its input units to cm/s/s these must hold, or a Problem
// names the channel and the check: the units are acceleration over counts, the product of the stage
// gains lies within 10 % of the sensitivity, the channel's sample rate is the data's. The channel's
// orientation and place fill what the record's file left unknown. With `full_response` the whole
// response is divided out instead (remove_response, after the baseline and the taper), which serves
// velocity sensors (m/s) too; it needs the channel's stages, none of them a response list or
// polynomial, and every pole, zero and coefficient a number. Returns the metadata items of what was
// used (inventory, prefilter, water_level).
companion::Result<companion::TableMetadata> correct_components(std::vector<Component>& components,
                                                               const CorrectionOptions& options);

}  // namespace smwave::table

#pragma once
// Counts made physical: each component divided by its channel's sensitivity from a StationXML
// inventory, or multiplied by the factor of the units the user states, and given in cm/s/s.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

struct CorrectionOptions {
    std::optional<std::filesystem::path> inventory;  // a StationXML file or a folder of them
    std::string units;                               // the samples' units as the user states them
};

// With `units`: every component is multiplied by the factor from those units to cm/s/s (a unit
// that is not an acceleration is a Problem). Otherwise the components in counts (or of unknown units)
// are corrected with the inventory (without one: the files NET.STA.xml beside the records, when there
// are any): the channel's epoch at the record's start is chosen, and before dividing by
// InstrumentSensitivity/Value and converting its input units to cm/s/s these must hold, or a Problem
// names the channel and the check: the units are acceleration over counts, the product of the stage
// gains lies within 10 % of the sensitivity, the channel's sample rate is the data's. The channel's
// orientation and place fill what the record's file left unknown. Returns the inventory files used.
companion::Result<std::string> correct_components(std::vector<Component>& components,
                                                  const CorrectionOptions& options);

}  // namespace smwave::table

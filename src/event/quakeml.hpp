#pragma once
// The event of a QuakeML file (Basic Event Description 1.2): its preferred origin and magnitude.
#include <filesystem>

#include "companion/problem.hpp"
#include "event/origin.hpp"

namespace smwave::event {

// Reads the file's one event: the origin named by preferredOriginID (else the first), the magnitude
// named by preferredMagnitudeID (else the first, if any), the event's publicID as its id. A Problem for
// a file that is no QuakeML, holds no event or more than one, or whose origin lacks its time, place or
// depth.
companion::Result<EventOrigin> read_quakeml(const std::filesystem::path& file);

}  // namespace smwave::event

#pragma once
// The work of smwave-measures from checked options to the committed measures file.
#include "measures/settings.hpp"

namespace smwave::measures {

// Checks the settings, reads the record (and its velocity and displacement when given), computes every
// measure and writes the measures file through a temporary name. Returns 0; a problem ends the tool
// through companion::refuse.
int run_measures(const Settings& settings);

}  // namespace smwave::measures

#pragma once
// The work of smwave-measures from checked options to the committed measures file.
#include "companion/problem.hpp"
#include "measures/settings.hpp"

namespace smwave::measures {

// Checks the settings, reads the record (and its velocity and displacement when given), computes every
// measure and writes the measures file through a temporary name. Gives the exit status 0, or the
// problem that stopped it.
companion::Result<int> run_measures(const Settings& settings);

}  // namespace smwave::measures

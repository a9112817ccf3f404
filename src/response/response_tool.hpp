#pragma once
// The work of smwave-response from checked options to the committed output file.
#include "companion/problem.hpp"
#include "response/settings.hpp"

namespace smwave::response {

// Checks the settings, reads the record, computes the spectra on every core and writes the response
// file through a temporary name. Gives the exit status 0, or the problem that stopped it.
companion::Result<int> run_response(const Settings& settings);

}  // namespace smwave::response

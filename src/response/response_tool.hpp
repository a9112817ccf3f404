#pragma once
// The work of smwave-response from checked options to the committed output file.
#include "response/settings.hpp"

namespace smwave::response {

// Checks the settings, reads the record, computes the spectra on every core and writes the response
// file through a temporary name. Returns 0; a problem ends the tool through companion::refuse.
int run_response(const Settings& settings);

}  // namespace smwave::response

#pragma once
// The Mexican accelerograph network's standard acceleration files (Instituto de Ingenieria, UNAM,
// "ARCHIVO ESTANDAR DE ACELERACION", version 2.0): one station, three channels in columns.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Line 7 "ARCHIVO ESTANDAR DE ACELERACION:", line 8 "VERSION DEL FORMATO".
bool looks_like_unam(std::string_view content);

// Reads the header (label in columns 1-39, ':' in column 40, value from column 42; continuation
// lines with an empty label; per-channel values written "/v1/v2/v3") up to "DATOS DE ACELERACION:",
// skips its four title lines, then reads the rows in the stated data format. The channels' counts
// must agree, the units must be gal, and the stated maxima are checked. Orientations are compass
// bearings ("N00E") or V; the start is the earthquake's date with the first sample's time.
companion::Result<Reading> read_unam(std::string_view text, const std::string& name);

}  // namespace smwave::table

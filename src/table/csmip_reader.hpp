#pragma once
// The California Strong Motion Instrumentation Program's volumes (CSMIP, formerly CDMG): Volume 1
// uncorrected and Volume 2 corrected records, every channel of a station in one file; and RENADIC's
// (Chile) uncorrected records, which follow the Volume 1 layout.
#include <string>
#include <string_view>

#include "companion/problem.hpp"
#include "table/component.hpp"

namespace smwave::table {

// Volume 2: line 1 "Corrected accelerogram", line 2 "Uncorrected Accelerogram Data" (any case).
// Volume 1: line 1 "UNCORRECTED ACCELEROGRAM DATA" and line 14 of 16 five-character integers,
// without RENADIC on line 8.
bool looks_like_csmip(std::string_view content);

// Line 1 "UNCORRECTED ACCELEROGRAM DATA" and RENADIC on line 8.
bool looks_like_renadic(std::string_view content);

// Reads every channel block. Volume 2 blocks: 25 text lines, 100 integers (16I5), 100 reals (8F10),
// then acceleration, velocity and displacement blocks, each after its header line ("15050 points of
// accel data equally spaced at .020 sec, in cm/sec2. (8f10.6)"), and the end line "/&". Volume 1
// blocks: 13 text lines, 100 integers, 50 reals, then (time, value) pairs in tenths of g (10F7.3),
// or evenly spaced values after a header line ("(UNITS: G)", 8F9.6), and the end line. Acceleration
// becomes cm/s/s; the stated peaks (reals 66, 68, 70; Volume 1's 7, in g) are checked. A count
// that differs from the header, a truncated block, a -999 inside the data, a field that is not a
// number or undeterminable units: a Problem naming the line.
companion::Result<Reading> read_csmip(std::string_view text, const std::string& name);

}  // namespace smwave::table

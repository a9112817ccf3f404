#pragma once
// The summary's RotD50 PSA and measures columns, from the record's response file (made with --rotd)
// and the measures file of smwave-measures.
#include <filesystem>
#include <string>

#include "batch/summary.hpp"

namespace smwave::batch {

// The measures file smwave-measures writes beside the waveform file by default: "velocity.csv" gives
// "velocity-measures.csv".
std::string measures_file_name(const std::string& waveform_name);

// Fills the three RotD50 PSA columns from the response file's psa_rotd50 at periods 0.3, 1 and 3 s.
void read_rotated_response(const std::filesystem::path& response, Row& row);

// Fills the measures columns from the measures file; marks the record failed when it is unreadable.
void read_measures(const std::filesystem::path& measures, Row& row);

}  // namespace smwave::batch

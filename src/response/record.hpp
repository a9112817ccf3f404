#pragma once
// The ground acceleration record a response spectrum is computed from: the three components of a
// waveform file or of fort.99, and their sampling interval.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "companion/suite_file.hpp"

namespace smwave::response {

struct GroundRecord {
    std::array<std::vector<double>, 3> components;  // equal lengths, at least 2 samples
    double dt = 0;                                  // seconds
    bool dt_from_time_column = true;                // false: given by the user
};

// Reads `file` (a waveform file or fort.99). The interval is `given_dt` when there is one, else the time
// column's whole span over its intervals; that column must then be evenly spaced within the precision
// it is printed with. Refuses other kinds of file, gaps (fields without a number), fewer than two
// samples and an uneven time column, naming the line.
companion::Result<GroundRecord> load_record(const std::filesystem::path& file,
                                            std::optional<double> given_dt);

// The same for a table already read; `name` is the file name its problems show.
companion::Result<GroundRecord> record_from_table(companion::SuiteTable table, const std::string& name,
                                                  std::optional<double> given_dt);

}  // namespace smwave::response

#pragma once
// What a record's figures say about it: the station, its channels, the start time, the units and the
// band, read from the metadata line of the record's table (smwave-table's table.txt beside the data
// file, or the table --table names) and from the record's answers.
#include <array>
#include <filesystem>
#include <optional>
#include <string>

#include "companion/problem.hpp"
#include "companion/table_metadata.hpp"

namespace smwave::plot {

struct RecordLabels {
    std::string station;                 // empty: unknown
    std::string network;                 // empty: unknown
    std::array<std::string, 3> channels;  // the components' codes; empty where unknown
    std::string start;                   // the first sample's time as the table gives it (UTC)
    std::string units;                   // the table's units, such as "cm/s/s"
    std::optional<double> start_after_origin;  // seconds from the origin to the first sample
};

// The labels of a metadata line.
RecordLabels labels_of(const companion::TableMetadata& metadata);

// The labels of the record a data file belongs to: from `table` when given (a Problem when it cannot
// be read), else from table.txt beside the file when that holds a metadata line, else nothing.
companion::Result<std::optional<RecordLabels>> labels_for(const std::filesystem::path& data_file,
                                                          const std::filesystem::path& table);

// What a waveform or spectrum file of the suite holds, from its name (acceleration.csv,
// amp3-velocity.csv, ...): "acceleration", "velocity", "displacement", or empty.
std::string quantity_of(const std::filesystem::path& file);

// The units of `quantity` for a record in `acceleration_units` ("cm/s/s" gives "cm/s/s", "cm/s",
// "cm"); empty when either is unknown.
std::string quantity_units(const std::string& quantity, const std::string& acceleration_units);

// The band-pass corners of the run that wrote `data_file`: the fourth line of answers-QUANTITY.txt
// (else answers-acceleration.txt) beside it, when that holds four numbers.
std::optional<std::array<double, 4>> band_beside(const std::filesystem::path& data_file);

// "AOM005 (K-NET)", "AOM005", or `fallback` when the station is unknown.
std::string station_name(const RecordLabels& labels, const std::string& fallback);

// "AOM005 (K-NET) — 2018-01-24 10:51:28 UTC — acceleration, band 0.1-0.2-20-25 Hz".
std::string record_title(const RecordLabels& labels, const std::string& what,
                         const std::optional<std::array<double, 4>>& band);

// Seconds from `from` to `to`, both "YYYY-MM-DDTHH:MM:SS[.fff]Z"; nothing when either is no such time.
std::optional<double> seconds_between(const std::string& from, const std::string& to);

}  // namespace smwave::plot

#pragma once
// The event's flatfile: one row per record, and the columns' names, units and definitions.
//
// Every column is declared once, in flatfile.cpp, with its units and definition; a row is filled by
// column name, so the order of the columns is the order of their declaration. Numbers are written in
// the shortest text that reads back to the same double; a value that does not exist is empty.
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "event/origin.hpp"
#include "event/record_work.hpp"
#include "event/scan.hpp"

namespace smwave::event {

struct FlatfileColumn {
    std::string name, units, definition;
};

// The columns for the flatfile's periods.
std::vector<FlatfileColumn> flatfile_columns(const std::vector<double>& periods);

// The text of flatfile-columns.csv.
std::string columns_text(const std::vector<FlatfileColumn>& columns);

// A record's values by column name.
using FlatfileRow = std::map<std::string, std::string>;

// The row of one record: what the scan, the event and its run give, and the numbers read from the
// record's psa.csv and measures.csv (a record whose files cannot be read is marked failed).
FlatfileRow record_row(const Download& download, std::size_t record, const std::optional<EventOrigin>& origin,
                       RecordRun run, const std::filesystem::path& folder, const ProcessingSettings& settings);

// The flatfile's text: the header, then the rows by epicentral distance (records without one last),
// then station, then record name.
std::string flatfile_text(const std::vector<FlatfileColumn>& columns, std::vector<FlatfileRow> rows);

// Reads a flatfile (or a shard's) written by flatfile_text: its column names and rows; a Problem for
// a file that cannot be read or is no flatfile.
companion::Result<std::pair<std::vector<FlatfileColumn>, std::vector<FlatfileRow>>> read_flatfile(
    const std::filesystem::path& file);

// The text of inputs.csv.
std::string inputs_text(const std::vector<InputEntry>& inputs);

// One CSV line of `fields` (quoted where a field holds a comma, a quote or a line end).
std::string csv_line(const std::vector<std::string>& fields);

}  // namespace smwave::event

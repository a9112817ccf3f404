#pragma once
// The batch summary: one CSV row per record, in input order.
//
//     name,table,status,exit_status,message,rows,dt,nf,peak1,time1,peak2,time2,peak3,time3,waveform,spectrum
//
// and, when the batch computes response spectra, nine more columns psa0.3_1 ... psa3.0_3; with the
// measures too, the horizontals' RotD50 PSA at the same periods and the measures (measure_names). A
// field that holds a comma, a quote, a blank or a line end is quoted, quotes doubled.
#include <cstddef>
#include <filesystem>
#include <iterator>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"

namespace smwave::batch {

using Row = std::vector<std::string>;

// The columns of a row, by place.
enum Column : std::size_t {
    name_column,
    table_column,
    status_column,
    exit_status_column,
    message_column,
    rows_column,
    dt_column,
    nf_column,
    peak1_column,  // peak k at peak1_column + 2 (k - 1), its time after it
    waveform_column = peak1_column + 6,
    spectrum_column,
    psa_first_column,  // psa at period p (0.3, 1.0, 3.0) of component k: psa_first_column + 3 p + k - 1
    rotd50_first_column = psa_first_column + 9,  // RotD50 psa at period p: rotd50_first_column + p
    measures_first_column = rotd50_first_column + 3,
};

// The measures' columns: each a measure of smwave-measures' file and the column it is taken from.
struct MeasureColumn {
    const char* name;     // in the summary's header
    const char* measure;  // the row of the measures file
    const char* column;   // its column
};
inline constexpr MeasureColumn measure_columns[] = {
    {"pga_rotd50", "pga", "rotd50"},
    {"arias_1", "arias", "comp1"},
    {"arias_2", "arias", "comp2"},
    {"arias_3", "arias", "comp3"},
    {"d5-95_1", "d5-95", "comp1"},
    {"d5-95_2", "d5-95", "comp2"},
    {"d5-95_3", "d5-95", "comp3"},
    {"cav_1", "cav", "comp1"},
    {"cav_2", "cav", "comp2"},
    {"cav_3", "cav", "comp3"},
    {"housner_si_1", "housner_si", "comp1"},
    {"housner_si_2", "housner_si", "comp2"},
    {"housner_si_3", "housner_si", "comp3"},
    {"jma_intensity", "jma_intensity", "comp1"},
    {"jma_grade", "jma_grade", "comp1"},
};

inline constexpr std::size_t plain_columns = psa_first_column;
inline constexpr std::size_t response_columns = psa_first_column + 9;
inline constexpr std::size_t measures_columns = measures_first_column + std::size(measure_columns);

// The header's column names for rows of `columns` fields.
std::vector<std::string> summary_header(std::size_t columns);

// An empty row of `columns` fields for a record.
Row empty_row(std::size_t columns, const std::string& name, const std::string& table);

// The CSV text of one row (with its line end).
std::string csv_line(const Row& row);

// Splits CSV text into rows of fields; a Problem (naming `name` and the line) for a quote left open or
// text after a closing quote.
companion::Result<std::vector<Row>> parse_csv(std::string_view text, const std::string& name);

// The whole summary: the header, then the rows.
std::string summary_text(const std::vector<Row>& rows, std::size_t columns);

// Reads a summary written by this tool: its rows, after checking the header; `columns` receives the
// number of fields per row.
companion::Result<std::vector<Row>> read_summary(const std::filesystem::path& file, std::size_t& columns);

// "summary.csv", or "summary-K-of-N.csv" for shard K of N.
std::string summary_file_name(std::size_t shard, std::size_t shards);

// Joins the shard summaries of `folder` into its summary.csv, in record order. A Problem naming any
// missing shard, shards of different counts or columns, or shards whose lengths do not fit together.
// `not_ok` receives the number of records whose status is not ok.
companion::Status merge_shards(const std::filesystem::path& folder, std::size_t& records,
                               std::size_t& not_ok);

}  // namespace smwave::batch

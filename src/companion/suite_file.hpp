#pragma once
// The one reader of the files the suite writes, for every companion tool:
//
//   waveform file   " time(s),comp1, comp2, comp3", then rows "   0.010,  0.1234E+00, ...,"
//   amp3.csv        " frequency(Hz),comp1, comp2, comp3", then rows "  0.0122,  0.1234E+00, ...,"
//   fort.99         rows of four blank-separated numbers: time and the three raw components
//   response file   "# ..." comment lines, "damping,period(s),sd1,...", then rows of numbers
//
// The kind is recognised from the content, never from the name. A field that holds no number (the
// asterisks of a value too wide for its field) reads as NaN and is counted; a row with a wrong number
// of fields, a file cut within a row, an empty file or a file of no known kind is a Problem naming
// the file and the line.
//
//     auto table = read_suite_file("velocity.csv");
//     if (!table) return table.problem();
//     const std::vector<double>& time = table->columns[0];
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"
#include "companion/table_metadata.hpp"

namespace smwave::companion {

enum class SuiteFileKind { waveform, spectrum, echo, response };

// "waveform file", "amp3.csv", "fort.99", "response file".
std::string_view kind_name(SuiteFileKind kind);

struct SuiteTable {
    SuiteFileKind kind = SuiteFileKind::waveform;
    std::vector<std::string> names;  // one per column, as the header gives them (echo: time, comp1..3)
    std::vector<std::vector<double>> columns;  // columns[c][row]; NaN where a field held no number
    std::vector<std::uint32_t> lines;          // the file's line of each row, from 1
    std::vector<std::string> comments;         // the response file's "#" lines, without the "#"
    std::uint64_t non_numeric = 0;             // fields that held no number
    std::uint32_t first_non_numeric_line = 0;  // the line of the first of them, or 0

    std::size_t rows() const { return lines.size(); }
};

// Reads and recognises a whole file.
Result<SuiteTable> read_suite_file(const std::filesystem::path& file);

// The same for text already in memory; `name` is the file name its problems show.
Result<SuiteTable> parse_suite_text(std::string_view text, const std::string& name);

// The first two lines of smwave's input table: the header words ("STATION EW NS UD") and the second
// line, parsed when it is the metadata smwave-table writes (an older table's free text is kept as it
// is, with no metadata). A file without two lines is a Problem.
struct TableHead {
    std::vector<std::string> words;
    std::string second_line;
    std::optional<TableMetadata> metadata;
};
Result<TableHead> read_table_head(const std::filesystem::path& file);
Result<TableHead> parse_table_head(std::string_view text, const std::string& name);

// Reads a whole file into memory: a Problem when it cannot be opened or read, or is a folder.
Result<std::string> read_whole_file(const std::filesystem::path& file);

}  // namespace smwave::companion

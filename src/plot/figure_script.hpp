#pragma once
// The gnuplot script of a figure. It reads the suite's files as they are (commas, trailing commas,
// fields without a number) and holds everything else the figure shows: the peaks and their times,
// labels, ranges. Run in the figure's folder, `gnuplot NAME.gp` draws the figure again; run with
// `-e "figure='-'"` it writes the figure to standard output.
#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "companion/suite_file.hpp"
#include "plot/plot_options.hpp"
#include "plot/table_summary.hpp"

namespace smwave::plot {

// A file the figure shows: its table, its summary and its name as the script refers to it.
struct FigureInput {
    const companion::SuiteTable* table;
    TableSummary summary;
    std::string name;       // the record's name in titles and keys (station, else folder and file name)
    std::string data_path;  // the file relative to the figure's folder (absolute when given so)
    std::array<std::string, 3> components{};  // the components' names in keys; empty: the settings' labels
    double time_offset = 0;  // seconds added to the time column (the first sample after the origin)
};

// Everything a figure's script depends on.
struct FigureRequest {
    std::vector<FigureInput> inputs;  // one, or several of one kind (--overlay)
    std::string figure_name;          // the figure's file name, written when run without `figure`
    FigureFormat format = FigureFormat::png;
    Settings settings;
    std::string title;  // empty: the inputs' names
    std::string units;
    std::string time_label = "time (s)";
};

// Response files with fewer periods than this are drawn as points.
inline constexpr std::size_t fewest_periods_as_lines = 10;

// The column (from 1) of the pseudo-spectral acceleration of `component` (0 to 2) in a response file,
// or 0 when its header has none.
std::size_t psa_column(const companion::SuiteTable& table, std::size_t component);

// The gnuplot terminal of a figure of `format`, `width` x `height` pixels (a PDF takes 100 pixels an
// inch), and the file name extension of the format.
std::string terminal_of(FigureFormat format, int width, int height);
std::string extension_of(FigureFormat format);

// A gnuplot string in single quotes (a quote doubled, control characters as blanks).
std::string gnuplot_string(std::string_view text);
// The shortest text that reads back to `value`.
std::string exact(double value);
// Four significant digits, as the suite's files hold.
std::string shown(double value);
// Column `c` (from 1) of `input` in a using expression: "$c", or field(c) for wide exponents.
std::string value_of(const FigureInput& input, std::size_t c);
// Column `c` as a using entry: the plain column, or an expression whose empty fields break the line.
std::string column_entry(const FigureInput& input, std::size_t c);
// Column `c` where above zero, else NaN (for log axes).
std::string positive_entry(const FigureInput& input, std::size_t c);
// The gnuplot functions that value_of's field(c) needs.
std::string wide_number_functions();

// The whole script.
std::string figure_script(const FigureRequest& request);

// The path by which a script in `figure_folder` finds `input`: relative when `input` is.
std::string data_path_from(const std::filesystem::path& figure_folder, const std::filesystem::path& input);

// Rows drawn by one plot element: long traces are drawn in pieces, which the renderer strokes far
// faster than one path.
inline constexpr std::size_t rows_per_piece = 16384;

}  // namespace smwave::plot

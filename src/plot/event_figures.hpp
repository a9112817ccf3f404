#pragma once
// The figures of a whole event from its flatfile.csv: the RotD50 peaks against epicentral and
// hypocentral distance, the stations' map coloured by RotD50 PGA, and, for records with a JMA
// intensity, the map coloured by JMA class. One script draws them all; the values it shows are
// written into it, so it needs no other file.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "companion/problem.hpp"
#include "plot/plot_options.hpp"

namespace smwave::plot {

// A flatfile's header and rows as text.
struct Flatfile {
    std::vector<std::string> names;
    std::vector<std::vector<std::string>> rows;

    // The field of `row` in column `name`; empty when there is no such column.
    std::string field(std::size_t row, std::string_view name) const;
    // That field read as a finite number.
    std::optional<double> number(std::size_t row, std::string_view name) const;
    bool ok(std::size_t row) const { return field(row, "status") == "ok"; }
};

// Reads a CSV file (quoted fields may hold commas, quotes and line ends); a Problem for a file that
// cannot be read, lacks the columns `record` and `status`, or has a row of another length.
companion::Result<Flatfile> read_flatfile(const std::filesystem::path& file);

// The event's figures, in the order the script draws them (the JMA map only when some record has a class).
std::vector<std::string> event_figure_names(const Flatfile& flatfile);

// The script that draws event_figure_names() into its folder as NAME.EXT (NAME.EXT.part with
// -e "part='.part'").
std::string event_script(const Flatfile& flatfile, FigureFormat format);

// The stations (indexes into `points`, given as x, y in one scale) that get a label: from the first
// on, each one not within `spacing` of one labelled before.
std::vector<std::size_t> uncrowded(const std::vector<std::array<double, 2>>& points, double spacing);

}  // namespace smwave::plot

#pragma once
// Running gnuplot on a figure's script.
#include <filesystem>
#include <optional>
#include <string>

#include "companion/output_file.hpp"
#include "companion/problem.hpp"

namespace smwave::plot {

// The gnuplot executable found on PATH, or a Problem naming the package that provides it.
companion::Result<std::filesystem::path> find_gnuplot();

// Runs `gnuplot` in `folder` on `script` (given on its standard input, shown in its messages as
// `script_name`) with the figure sent to standard output, which goes into `figure`. gnuplot's warnings
// are passed on; a failure is a Problem with gnuplot's message. gnuplot ends with this process.
companion::Status render_figure(const std::filesystem::path& gnuplot, const std::filesystem::path& folder,
                                const std::string& script, const std::string& script_name,
                                companion::OutputFile& figure);

}  // namespace smwave::plot

#pragma once
// smwave-plot's work: read the files, plan the figures, write each figure's script and have gnuplot
// draw it, both renamed into place only when whole.
#include "plot/plot_options.hpp"

namespace smwave::plot {

// Draws the figures the options ask for; returns the exit status (problems are refused: status 2).
int draw_figures(const PlotOptions& options);

}  // namespace smwave::plot

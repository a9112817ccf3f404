#pragma once
// smwave-plot's work: read the files, plan the figures, write each figure's script and have gnuplot
// draw it, both renamed into place only when whole.
#include "companion/problem.hpp"
#include "plot/plot_options.hpp"

namespace smwave::plot {

// Draws the figures the options ask for; gives the exit status, or the problem that stopped it.
companion::Result<int> draw_figures(const PlotOptions& options);

}  // namespace smwave::plot

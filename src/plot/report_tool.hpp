#pragma once
// smwave-plot's figures of smwave-event's folders: --summary on a record folder, --report on an event
// folder (its figures in DIR/figures/ and its page DIR/report.html).
#include <cstddef>
#include <filesystem>

#include "companion/problem.hpp"

namespace smwave::plot {

// Draws the summary figures of `record` into `figures` (default: the record folder); gives the status,
// or the problem that stopped it.
companion::Result<int> draw_summary(const std::filesystem::path& record, const std::filesystem::path& figures);

// Draws the event's figures and every ok record's summary, `jobs` gnuplot processes at a time (0: one per
// core), and writes DIR/report.html; gives 0, or 1 when some figure could not be drawn, or the problem
// that stopped it.
companion::Result<int> draw_report(const std::filesystem::path& event, std::size_t jobs);

}  // namespace smwave::plot

#pragma once
// smwave-event --report: the event folder's page and figures, drawn by smwave-plot --report run as a
// separate process once the records are done.
#include <cstddef>
#include <filesystem>

namespace smwave::event {

// Runs `smwave-plot --report FOLDER` (with --jobs when `jobs` is not 0) and gives `status` when it
// succeeds, else at least 1 (the page or a figure is missing); smwave-plot's messages pass through.
int run_report(const std::filesystem::path& folder, std::size_t jobs, int status);

}  // namespace smwave::event

#pragma once
// The summary figures of one record folder of smwave-event: its three waveforms in a 3 x 3 grid on
// one time axis, its Fourier amplitude spectra with the band shaded, and its pseudo-spectral
// acceleration with the usable period range shaded and the flatfile's periods marked. One gnuplot
// script draws all three, so one gnuplot process serves a record.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"
#include "companion/suite_file.hpp"
#include "plot/figure_script.hpp"
#include "plot/record_labels.hpp"

namespace smwave::plot {

// The files of a record folder that its summary shows.
struct RecordFiles {
    std::filesystem::path folder;
    std::array<companion::SuiteTable, 3> waveforms;  // acceleration, velocity, displacement
    companion::SuiteTable spectrum;                  // amp3-acceleration.csv
    companion::SuiteTable response;                  // spectra.csv
    std::optional<companion::SuiteTable> periods;    // psa.csv, the flatfile's periods
    RecordLabels labels;
    std::optional<std::array<double, 4>> band;
};

inline constexpr std::array<const char*, 3> waveform_files = {"acceleration.csv", "velocity.csv",
                                                              "displacement.csv"};
inline constexpr std::array<const char*, 3> summary_figures = {"waveforms", "spectra", "psa"};

// Reads a record folder; a Problem names the first file that is missing or unreadable.
companion::Result<RecordFiles> read_record_folder(const std::filesystem::path& folder);

// The script that draws `figures`/waveforms.EXT, spectra.EXT and psa.EXT of `record` (EXT from
// `format`); run with `-e "part='.part'"` it writes each to its name with .part added.
std::string summary_script(const RecordFiles& record, const std::filesystem::path& figures, FigureFormat format);

}  // namespace smwave::plot

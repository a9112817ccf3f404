#include "plot/plot_tool.hpp"

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>

#include "companion/messages.hpp"
#include "companion/output_file.hpp"
#include "companion/suite_file.hpp"
#include "plot/figure_script.hpp"
#include "plot/gnuplot_run.hpp"
#include "plot/record_labels.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;
using companion::Problem;
using companion::Result;
using companion::Status;
using companion::SuiteFileKind;
using companion::SuiteTable;

namespace {

// The line where a file's rows should have begun: after its comments and header.
std::uint64_t first_row_line(const SuiteTable& table) {
    return table.comments.size() + (table.kind == SuiteFileKind::echo ? 1 : 2);
}

// Whether some row has a value above zero in column `x` and in one of `values`: a point on log axes.
bool has_logarithmic_point(const SuiteTable& table, std::size_t x, const std::vector<std::size_t>& values) {
    for (std::size_t row = 0; row < table.rows(); ++row) {
        if (!(table.columns[x][row] > 0)) continue;
        for (const std::size_t c : values) {
            if (table.columns[c][row] > 0) return true;
        }
    }
    return false;
}

// The problem of a file that would leave a panel without a single point.
Status nothing_to_draw(const fs::path& file, const SuiteTable& table) {
    const std::string name = file.string();
    switch (table.kind) {
        case SuiteFileKind::waveform:
        case SuiteFileKind::echo:
            for (std::size_t c = 1; c < 4; ++c) {
                if (std::none_of(table.columns[c].begin(), table.columns[c].end(),
                                 [](double value) { return !std::isnan(value); })) {
                    return Problem{name, 0, "component " + std::to_string(c) + " holds no number to draw"};
                }
            }
            break;
        case SuiteFileKind::spectrum:
            if (!has_logarithmic_point(table, 0, {1, 2, 3})) {
                return Problem{name, 0,
                               "holds no amplitude above zero at a frequency above zero to draw on log axes"};
            }
            break;
        case SuiteFileKind::response:
            if (!has_logarithmic_point(
                    table, 1,
                    {psa_column(table, 0) - 1, psa_column(table, 1) - 1, psa_column(table, 2) - 1})) {
                return Problem{name, 0,
                               "holds no acceleration above zero at a period above zero to draw on log axes"};
            }
            break;
    }
    return std::nullopt;
}

// A file of the suite with what a figure needs of it; the problem of one no figure can show.
Result<SuiteTable> read_input(const fs::path& file) {
    auto read = companion::read_suite_file(file);
    if (!read) return read.problem();
    SuiteTable& table = *read;
    if (table.rows() == 0) {
        return Problem{file.string(), first_row_line(table),
                       "expected rows of numbers, found the end of the file"};
    }
    if (table.kind == SuiteFileKind::response) {
        for (std::size_t k = 0; k < 3; ++k) {
            if (psa_column(table, k) == 0) {
                return Problem{file.string(), first_row_line(table) - 1,
                               "expected the columns psa1, psa2 and psa3 in the response file's header"};
            }
        }
    }
    if (auto problem = nothing_to_draw(file, table)) return *problem;
    if (table.non_numeric > 0) {
        companion::warn(file.string() + ":" + std::to_string(table.first_non_numeric_line) + ": " +
                        std::to_string(table.non_numeric) +
                        (table.non_numeric == 1 ? " field holds" : " fields hold") +
                        " no number (the first on this line); drawn as gaps");
    }
    return std::move(table);
}

Status mixed_kinds(const PlotOptions& options, const std::vector<SuiteTable>& tables) {
    for (std::size_t i = 1; i < tables.size(); ++i) {
        if (tables[i].kind != tables[0].kind) {
            return Problem{options.inputs[i].string(), 0,
                           "is a " + std::string(companion::kind_name(tables[i].kind)) + " but " +
                               options.inputs[0].string() + " is a " +
                               std::string(companion::kind_name(tables[0].kind)) +
                               ": --overlay draws files of one kind"};
        }
    }
    return std::nullopt;
}

// The units of a file's values for a record whose table is in `units`.
std::string units_of(const fs::path& file, SuiteFileKind kind, const std::string& units) {
    const std::string quantity = quantity_of(file);
    if (kind == SuiteFileKind::response) return quantity_units("acceleration", units);
    if (kind != SuiteFileKind::spectrum) return quantity_units(quantity, units);
    // A Fourier amplitude is the quantity's units times seconds.
    const std::string length = quantity_units("displacement", units);
    if (length.empty() || quantity.empty()) return "";
    return quantity == "acceleration" ? length + "/s" : quantity == "velocity" ? length : length + "·s";
}

// What a file's figure shows, in its title.
std::string what_of(const fs::path& file, SuiteFileKind kind) {
    const std::string quantity = quantity_of(file);
    switch (kind) {
        case SuiteFileKind::spectrum:
            return "Fourier amplitude" + (quantity.empty() ? "" : " of the " + quantity);
        case SuiteFileKind::response:
            return "pseudo-spectral acceleration";
        default:
            return quantity;
    }
}

Status draw(const fs::path& gnuplot, const FigurePlan& plan, const PlotOptions& options,
            const Settings& settings, const std::vector<SuiteTable>& tables) {
    const fs::path folder = plan.figure.parent_path();
    FigureRequest request{{},           plan.figure.filename().string(), plan.format, settings, options.title,
                          options.units};
    const bool own_labels = options.labels != default_labels;
    for (const std::size_t i : plan.inputs) {
        const fs::path& input = options.inputs[i];
        auto found_labels = labels_for(input, options.table);
        if (!found_labels) return found_labels.problem();
        const auto& labels = *found_labels;
        const std::string folder_name = fs::absolute(input).parent_path().filename().string();
        const std::string fallback = plan.inputs.size() > 1 && !folder_name.empty()
                                         ? folder_name + "/" + input.filename().string()
                                         : input.filename().string();
        FigureInput shown{&tables[i], summarise(tables[i]), fallback, data_path_from(folder, input)};
        if (labels) {
            shown.name = station_name(*labels, fallback);
            if (!own_labels) shown.components = labels->channels;
            if (request.units.empty()) request.units = units_of(input, tables[i].kind, labels->units);
            const bool waveform =
                tables[i].kind != SuiteFileKind::spectrum && tables[i].kind != SuiteFileKind::response;
            if (waveform && labels->start_after_origin) {
                shown.time_offset = *labels->start_after_origin;
                request.time_label = "time after the origin (s)";
            }
            if (options.title.empty() && plan.inputs.size() == 1) {
                const auto band = settings.band ? settings.band : band_beside(input);
                request.title = record_title(*labels, what_of(input, tables[i].kind), band);
            }
        }
        request.inputs.push_back(std::move(shown));
    }
    const std::string script = figure_script(request);
    auto script_file = companion::OutputFile::open(plan.script);
    if (!script_file) return script_file.problem();
    auto figure_file = companion::OutputFile::open(plan.figure);
    if (!figure_file) return figure_file.problem();
    script_file->write(script);
    if (auto problem = render_figure(gnuplot, folder, script, plan.script.string(), *figure_file))
        return *problem;
    if (auto problem = figure_file->commit()) return *problem;
    if (auto problem = script_file->commit()) {
        ::unlink(plan.figure.c_str());
        return *problem;
    }
    return std::nullopt;
}

}  // namespace

Result<int> draw_figures(const PlotOptions& options) {
    const auto settings_read = parse_settings(options);
    if (!settings_read) return settings_read.problem();
    const Settings& settings = *settings_read;
    const auto plans = plan_figures(options);
    if (!plans) return plans.problem();
    const auto gnuplot = find_gnuplot();
    if (!gnuplot) return gnuplot.problem();
    std::vector<SuiteTable> tables;
    for (const auto& input : options.inputs) {
        auto table = read_input(input);
        if (!table) return table.problem();
        tables.push_back(std::move(*table));
    }
    if (options.overlay) {
        if (auto problem = mixed_kinds(options, tables)) return *problem;
    }
    if (settings.band) {
        for (std::size_t i = 0; i < tables.size(); ++i) {
            if (tables[i].kind != SuiteFileKind::spectrum) {
                companion::warn(options.inputs[i].string() +
                                ": --band applies to amp3.csv only; not drawn here");
            }
        }
    }
    // A gnuplot that ends early must not end this process by its closed pipe.
    ::signal(SIGPIPE, SIG_IGN);
    for (const auto& plan : *plans) {
        if (auto problem = draw(*gnuplot, plan, options, settings, tables)) return *problem;
    }
    return 0;
}

}  // namespace smwave::plot

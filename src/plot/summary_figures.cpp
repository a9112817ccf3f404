#include "plot/summary_figures.hpp"

#include <algorithm>
#include <cmath>

#include "companion/messages.hpp"
#include "plot/table_summary.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;
using companion::Problem;
using companion::SuiteFileKind;
using companion::SuiteTable;

namespace {

constexpr const char* colours[] = {"#1f77b4", "#d62728", "#2ca02c"};
constexpr const char* shade = " behind fillcolor rgb '#e4e4e4' fillstyle solid 1.0 noborder";

companion::Result<SuiteTable> read_kind(const fs::path& file, std::initializer_list<SuiteFileKind> kinds) {
    auto table = companion::read_suite_file(file);
    if (!table) return table.problem();
    if (std::find(kinds.begin(), kinds.end(), table->kind) == kinds.end() || table->rows() == 0) {
        return Problem{file.string(), 0, "is no " + std::string(companion::kind_name(*kinds.begin())) + " with rows"};
    }
    return table;
}

std::string column_name(const SuiteTable& table, std::size_t c) {
    return c < table.names.size() ? table.names[c] : "";
}

// The column (from 1) named `name`, or 0.
std::size_t named_column(const SuiteTable& table, const std::string& name) {
    const auto at = std::find(table.names.begin(), table.names.end(), name);
    return at == table.names.end() ? 0 : static_cast<std::size_t>(at - table.names.begin()) + 1;
}

class SummaryWriter {
  public:
    SummaryWriter(const RecordFiles& record, const fs::path& figures, FigureFormat format)
        : record_(record), figures_(figures), format_(format), inputs_(inputs()) {}

    std::string write() {
        line("# Drawn by smwave-plot " + std::string(companion::version()) + " from the record folder " +
             record_.folder.filename().string() + ".");
        line("# In this folder, `gnuplot " + std::string("summary.gp") +
             "` draws its figures again; with -e \"part='.part'\" each goes to its name with .part added.");
        line("if (!exists(\"part\")) part = ''");
        line("set datafile separator comma");
        line("set grid");
        if (any_wide()) text_ += wide_number_functions();
        waveforms();
        spectra();
        response();
        line("unset output");
        return std::move(text_);
    }

  private:
    void line(const std::string& text) { text_ += text + '\n'; }

    // Each file the figures read, summarised once.
    std::vector<FigureInput> inputs() const {
        std::vector<FigureInput> all;
        const auto add = [&](const SuiteTable& table, const std::string& file) {
            all.push_back({&table, summarise(table), file, data_path_from(figures_, record_.folder / file)});
        };
        for (std::size_t q = 0; q < 3; ++q) add(record_.waveforms[q], waveform_files[q]);
        add(record_.spectrum, "amp3-acceleration.csv");
        add(record_.response, "spectra.csv");
        if (record_.periods) add(*record_.periods, "psa.csv");
        return all;
    }

    bool any_wide() const {
        return std::any_of(inputs_.begin(), inputs_.end(), [](const FigureInput& in) {
            return std::any_of(in.summary.columns.begin(), in.summary.columns.end(),
                               [](const ColumnSummary& c) { return c.reading == ColumnReading::wide; });
        });
    }

    void start_figure(const std::string& name, int width, int height) {
        line("set terminal " + terminal_of(format_, width, height));
        line("set output " + gnuplot_string(name + extension_of(format_)) + " . part");
    }

    std::string component(std::size_t k) const {
        return record_.labels.channels[k].empty() ? "comp" + std::to_string(k + 1) : record_.labels.channels[k];
    }

    std::string source(const FigureInput& in) const {
        const std::size_t skip = in.summary.lines_before_rows;
        return gnuplot_string(in.data_path) + (skip == 0 ? "" : " skip " + std::to_string(skip));
    }

    // Acceleration, velocity and displacement (rows) of the three components (columns) on one time axis.
    void waveforms() {
        start_figure(summary_figures[0], 1500, 1000);
        const double offset = record_.labels.start_after_origin.value_or(0);
        double first = INFINITY, last = -INFINITY;
        for (const double time : record_.waveforms[0].columns[0]) {
            if (std::isnan(time)) continue;
            first = std::min(first, time + offset);
            last = std::max(last, time + offset);
        }
        line("set multiplot layout 3,3 title " +
             gnuplot_string(record_title(record_.labels, "", record_.band)) +
             " margins 0.06,0.99,0.07,0.91 spacing 0.05,0.06");
        if (first < last) line("set xrange [" + exact(first) + ":" + exact(last) + "]");
        line("unset key");
        const std::string time = offset == 0 ? "1" : "($1 + " + exact(offset) + ")";
        for (std::size_t q = 0; q < 3; ++q) {
            const std::string quantity = fs::path(waveform_files[q]).stem().string();
            const FigureInput& in = inputs_[q];
            const std::string units = quantity_units(quantity, record_.labels.units);
            for (std::size_t k = 0; k < 3; ++k) {
                line("set title " + gnuplot_string(component(k) + " " + quantity + ": peak " +
                                                   shown(std::fabs(in.summary.columns[k + 1].peak)) +
                                                   (units.empty() ? "" : " " + units)));
                line(k == 0 ? "set ylabel " + gnuplot_string(units.empty() ? quantity : quantity + " (" + units + ")")
                            : "unset ylabel");
                line(q == 2 ? "set xlabel " + gnuplot_string(offset == 0 ? "time (s)" : "time after the origin (s)")
                            : "unset xlabel");
                line("plot " + source(in) + " using " + time + ":" + column_entry(in, k + 2) +
                     " with lines linewidth 1 linecolor rgb '" + colours[k] + "' notitle");
            }
        }
        line("unset multiplot");
        line("set xrange [*:*]");
        line("unset xlabel");
    }

    void shade_between(int number, double from, double to) {
        line("set object " + std::to_string(number) + " rectangle from first " + exact(from) +
             ", graph 0 to first " + exact(to) + ", graph 1" + shade);
    }

    // The Fourier amplitude spectra of the acceleration with the band-pass ramps shaded.
    void spectra() {
        start_figure(summary_figures[1], 1000, 650);
        const FigureInput& in = inputs_[3];
        line("set title " + gnuplot_string(record_title(record_.labels, "Fourier amplitude of the acceleration",
                                                        record_.band)));
        line("set logscale xy");
        line("set format y '%g'");
        line("set xlabel 'frequency (Hz)'");
        const std::string length = quantity_units("displacement", record_.labels.units);
        line("set ylabel " + gnuplot_string(length.empty() ? "Fourier amplitude" : "Fourier amplitude (" + length + "/s)"));
        line("set key top right opaque box width 1");
        if (record_.band) {
            const auto& band = *record_.band;
            shade_between(1, band[0], band[1]);
            shade_between(2, band[2], band[3]);
        }
        std::string plot = "plot ";
        for (std::size_t k = 0; k < 3; ++k) {
            plot += (k == 0 ? "" : ", \\\n     ") + source(in) + " using " + positive_entry(in, 1) + ":" +
                    positive_entry(in, k + 2) + " with lines linewidth 1 linecolor rgb '" + colours[k] +
                    "' title " + gnuplot_string(component(k));
        }
        line(plot);
        line("unset object 1");
        line("unset object 2");
        line("unset logscale xy");
    }

    // PSA against period (the first damping), the usable range 1/f3 to 1/f2 shaded, the flatfile's periods
    // marked by points.
    void response() {
        start_figure(summary_figures[2], 1000, 650);
        const FigureInput& in = inputs_[4];
        const double damping = record_.response.columns[0][0];
        line("set title " + gnuplot_string(record_title(record_.labels, "PSA, damping " + shown(damping), std::nullopt)));
        line("set logscale xy");
        line("set format y '%g'");
        line("set xlabel 'period (s)'");
        const std::string units = quantity_units("acceleration", record_.labels.units);
        line("set ylabel " + gnuplot_string(units.empty() ? "PSA" : "PSA (" + units + ")"));
        line("set key top right opaque box width 1");
        if (record_.band && (*record_.band)[1] > 0 && (*record_.band)[2] > 0) {
            shade_between(1, 1 / (*record_.band)[2], 1 / (*record_.band)[1]);
            line("set label 1 'usable periods' at first " + exact(std::sqrt(1 / (*record_.band)[2] / (*record_.band)[1])) +
                 ", graph 0.05 center textcolor rgb '#404040'");
        }
        std::vector<std::pair<std::string, std::size_t>> curves;
        for (std::size_t k = 0; k < 3; ++k) curves.push_back({component(k), psa_column(record_.response, k)});
        if (const std::size_t rotd = named_column(record_.response, "psa_rotd50")) curves.push_back({"RotD50", rotd});
        const std::string period = "(" + value_of(in, 1) + " == " + exact(damping) + " && " + value_of(in, 2) +
                                   " > 0 ? " + value_of(in, 2) + " : NaN)";
        std::string plot = "plot ";
        for (std::size_t c = 0; c < curves.size(); ++c) {
            plot += (c == 0 ? "" : ", \\\n     ") + source(in) + " using " + period + ":" +
                    positive_entry(in, curves[c].second) + " with lines linewidth " + (c == 3 ? "2" : "1") +
                    " linecolor rgb '" + (c == 3 ? "#000000" : colours[c]) + "' title " +
                    gnuplot_string(curves[c].first);
        }
        if (record_.periods) {
            const FigureInput& marks = inputs_[5];
            const std::size_t column =
                std::max(named_column(*record_.periods, "psa_rotd50"), psa_column(*record_.periods, 0));
            if (column > 0) {
                plot += ", \\\n     " + source(marks) + " using (" + value_of(marks, 1) + " == " + exact(damping) +
                        " && " + value_of(marks, 2) + " > 0 ? " + value_of(marks, 2) + " : NaN):" +
                        positive_entry(marks, column) +
                        " with points pointtype 6 pointsize 1.2 linecolor rgb '#000000' title " +
                        gnuplot_string("flatfile periods (" + column_name(*record_.periods, column - 1) + ")");
            }
        }
        line(plot);
    }

    const RecordFiles& record_;
    fs::path figures_;
    FigureFormat format_;
    std::vector<FigureInput> inputs_;  // acceleration, velocity, displacement, amp3, spectra[, psa]
    std::string text_;
};

}  // namespace

companion::Result<RecordFiles> read_record_folder(const fs::path& folder) {
    RecordFiles record;
    record.folder = folder;
    for (std::size_t q = 0; q < 3; ++q) {
        auto table = read_kind(folder / waveform_files[q], {SuiteFileKind::waveform});
        if (!table) return table.problem();
        record.waveforms[q] = std::move(*table);
    }
    auto spectrum = read_kind(folder / "amp3-acceleration.csv", {SuiteFileKind::spectrum});
    if (!spectrum) return spectrum.problem();
    record.spectrum = std::move(*spectrum);
    auto response = read_kind(folder / "spectra.csv", {SuiteFileKind::response});
    if (!response) return response.problem();
    for (std::size_t k = 0; k < 3; ++k) {
        if (psa_column(*response, k) == 0) return Problem{(folder / "spectra.csv").string(), 0, "has no psa1, psa2, psa3"};
    }
    record.response = std::move(*response);
    if (auto periods = read_kind(folder / "psa.csv", {SuiteFileKind::response})) record.periods = std::move(*periods);
    auto labels = labels_for(folder / waveform_files[0], folder / "table.txt");
    if (!labels) return labels.problem();
    if (*labels) record.labels = **labels;
    if (record.labels.station.empty()) record.labels.station = fs::absolute(folder).lexically_normal().filename().string();
    record.band = band_beside(folder / waveform_files[0]);
    return record;
}

std::string summary_script(const RecordFiles& record, const fs::path& figures, FigureFormat format) {
    return SummaryWriter(record, figures, format).write();
}

}  // namespace smwave::plot

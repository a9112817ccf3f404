#include "plot/figure_script.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "companion/messages.hpp"
#include "companion/number_text.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;
using companion::SuiteFileKind;

namespace {

constexpr const char* component_colours[] = {"#1f77b4", "#d62728", "#2ca02c"};
constexpr const char* file_colours[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e",
                                        "#9467bd", "#8c564b", "#e377c2", "#7f7f7f"};

std::string with_units(const std::string& what, const std::string& units) {
    return units.empty() ? what : what + " (" + units + ")";
}

std::size_t pieces_of(const FigureInput& input) {
    if (!input.summary.rows_consecutive) return 1;
    return std::max<std::size_t>(1, (input.table->rows() + rows_per_piece - 1) / rows_per_piece);
}

bool any_wide(const FigureRequest& request) {
    return std::any_of(request.inputs.begin(), request.inputs.end(), [](const FigureInput& input) {
        return std::any_of(input.summary.columns.begin(), input.summary.columns.end(),
                           [](const ColumnSummary& c) { return c.reading == ColumnReading::wide; });
    });
}

// The name of component `k` of `input`: its own, else the settings' label.
std::string component_name(const FigureInput& input, const Settings& settings, std::size_t k) {
    return input.components[k].empty() ? settings.labels[k] : input.components[k];
}

// The time column in a using entry, shifted to seconds after the origin when that is known.
std::string time_entry(const FigureInput& input) {
    if (input.time_offset == 0) return "1";
    return "($1 + " + exact(input.time_offset) + ")";
}

std::string data_variable(std::size_t index) { return "data" + std::to_string(index + 1); }

class ScriptWriter {
  public:
    explicit ScriptWriter(const FigureRequest& request) : request_(request) {}

    std::string write() {
        preamble();
        switch (request_.inputs.front().table->kind) {
            case SuiteFileKind::waveform:
            case SuiteFileKind::echo:
                stacked_panels();
                break;
            case SuiteFileKind::spectrum:
                spectra();
                break;
            case SuiteFileKind::response:
                response_panels();
                break;
        }
        return std::move(text_);
    }

  private:
    void line(const std::string& text) { text_ += text + '\n'; }

    std::string names() const {
        std::string text;
        for (const auto& input : request_.inputs) text += (text.empty() ? "" : ", ") + input.name;
        return text;
    }

    std::string title() const { return request_.title.empty() ? names() : request_.title; }

    std::array<int, 2> size() const {
        if (request_.settings.size) return *request_.settings.size;
        switch (request_.inputs.front().table->kind) {
            case SuiteFileKind::spectrum:
                return {1000, 700};
            case SuiteFileKind::response:
                return {1000, std::max(500, 320 * static_cast<int>(dampings().size()) + 100)};
            default:
                return {1200, 900};
        }
    }

    std::string terminal() const {
        const auto [width, height] = size();
        return terminal_of(request_.format, width, height);
    }

    void preamble() {
        const auto kind = request_.inputs.front().table->kind;
        line("# Drawn by smwave-plot " + std::string(companion::version()) + " from the " +
             std::string(companion::kind_name(kind)) + " " + names() + ".");
        line("# In this folder, `gnuplot " +
             fs::path(request_.figure_name).replace_extension(".gp").string() + "` draws " +
             request_.figure_name + " again; with -e \"figure='-'\" it goes to standard output.");
        line("if (!exists(\"figure\")) figure = " + gnuplot_string(request_.figure_name));
        line("set terminal " + terminal());
        line("if (figure eq '-') { set output } else { set output figure }");
        line(kind == SuiteFileKind::echo ? "set datafile separator whitespace"
                                         : "set datafile separator comma");
        line("set grid");
        if (any_wide(request_)) text_ += wide_number_functions();
        for (std::size_t i = 0; i < request_.inputs.size(); ++i) {
            line(data_variable(i) + " = " + gnuplot_string(request_.inputs[i].data_path));
        }
    }

    std::string skip(const FigureInput& input) const {
        const std::size_t lines = input.summary.lines_before_rows;
        return lines == 0 ? "" : " skip " + std::to_string(lines);
    }

    // Room around stacked panels for the titles, tick labels and axis labels, which keep their size
    // in pixels whatever the figure's size.
    std::string margins() const {
        const auto [width, height] = size();
        const auto fraction = [](double pixels, int whole) { return shown(pixels / whole); };
        return " margins " + fraction(80, width) + "," + shown(1 - 25.0 / width) + "," +
               fraction(50, height) + "," + shown(1 - 70.0 / height) + " spacing 0.08," +
               fraction(65, height);
    }

    // Three panels over one time axis, one per component, each with its peak marked.
    void stacked_panels() {
        const bool overlay = request_.inputs.size() > 1;
        line("set multiplot layout 3,1 title " + gnuplot_string(title()) + margins());
        if (auto range = time_range())
            line("set xrange [" + exact((*range)[0]) + ":" + exact((*range)[1]) + "]");
        line(overlay ? "set key top right opaque box width 1" : "unset key");
        for (std::size_t k = 0; k < 3; ++k) {
            const std::string own = component_name(request_.inputs[0], request_.settings, k);
            line("# " + own);
            line("set title " + gnuplot_string(overlay ? own : own + ": " + peak_text(request_.inputs[0], k)));
            line("set ylabel " + gnuplot_string(with_units(own, request_.units)));
            if (k == 2) line("set xlabel " + gnuplot_string(request_.time_label));
            std::string plot = "plot ";
            for (std::size_t i = 0; i < request_.inputs.size(); ++i) {
                const auto& input = request_.inputs[i];
                const auto& column = input.summary.columns[k + 1];
                if (!std::isnan(column.peak)) {
                    line("set label " + std::to_string(i + 1) + " '' at " +
                         exact(input.table->columns[0][column.peak_row] + input.time_offset) + "," +
                         exact(column.peak) +
                         " point pointtype 7 pointsize 0.9 linecolor rgb '#000000' front");
                }
                const std::string colour = overlay ? file_colours[i % 8] : component_colours[k];
                // The panel's title names the component; the key names the record.
                const std::string key = overlay ? input.name + ": " + peak_text(input, k) : "";
                plot += (i == 0 ? "" : ", \\\n     ") +
                        trace(input, i, time_entry(input) + ":" + column_entry(input, k + 2), colour, key);
            }
            line(plot);
            line("unset label");
        }
        line("unset multiplot");
    }

    std::string peak_text(const FigureInput& input, std::size_t k) const {
        const auto& column = input.summary.columns[k + 1];
        if (std::isnan(column.peak)) return "no values";
        const double time = input.table->columns[0][column.peak_row] + input.time_offset;
        std::string units = request_.units.empty() ? "" : " " + request_.units;
        return "peak " + shown(std::fabs(column.peak)) + units + " at " + shown(time) + " s";
    }

    std::optional<std::array<double, 2>> time_range() const {
        double first = INFINITY, last = -INFINITY;
        for (const auto& input : request_.inputs) {
            for (const double time : input.table->columns[0]) {
                if (std::isnan(time)) continue;
                first = std::min(first, time + input.time_offset);
                last = std::max(last, time + input.time_offset);
            }
        }
        if (!(first < last)) return std::nullopt;
        return std::array<double, 2>{first, last};
    }

    // One line through every row of a file, drawn in pieces of rows_per_piece rows that share their ends.
    std::string trace(const FigureInput& input, std::size_t index, const std::string& entries,
                      const std::string& colour, const std::string& key) const {
        const std::size_t pieces = pieces_of(input);
        const std::string style = " with lines linewidth 1 linecolor rgb '" + colour + "'";
        if (pieces == 1) {
            return data_variable(index) + skip(input) + " using " + entries + style +
                   (key.empty() ? " notitle" : " title " + gnuplot_string(key));
        }
        const std::string n = std::to_string(rows_per_piece);
        return "for [piece=0:" + std::to_string(pieces - 1) + "] " + data_variable(index) + skip(input) +
               " every ::piece*" + n + "::(piece+1)*" + n + " using " + entries + style +
               (key.empty() ? " notitle" : " title (piece == 0 ? " + gnuplot_string(key) + " : '')");
    }

    // The three amplitude spectra in one log-log panel, from the first frequency above zero.
    void spectra() {
        const bool overlay = request_.inputs.size() > 1;
        line("set title " + gnuplot_string(title()));
        line("set logscale xy");
        line("set format y '%g'");
        if (auto range = positive_range(0))
            line("set xrange [" + exact((*range)[0]) + ":" + exact((*range)[1]) + "]");
        line("set xlabel 'frequency (Hz)'");
        line("set ylabel " + gnuplot_string(with_units("Fourier amplitude", request_.units)));
        line("set key top right opaque box width 1");
        if (request_.settings.band) band(*request_.settings.band);
        std::string plot = "plot ";
        for (std::size_t i = 0; i < request_.inputs.size(); ++i) {
            const auto& input = request_.inputs[i];
            for (std::size_t k = 0; k < 3; ++k) {
                const std::string label = component_name(input, request_.settings, k);
                plot += (plot.size() == 5 ? "" : ", \\\n     ") + data_variable(i) + skip(input) + " using " +
                        positive_entry(input, 1) + ":" + positive_entry(input, k + 2) +
                        " with lines linewidth 1 linecolor rgb '" + component_colours[k] + "' dashtype " +
                        std::to_string(i % 5 + 1) + " title " +
                        gnuplot_string(overlay ? label + " (" + input.name + ")" : label);
            }
        }
        line(plot);
    }

    // The band-pass ramps shaded and the four corners marked.
    void band(const std::array<double, 4>& corners) {
        const char* shade = " behind fillcolor rgb '#e4e4e4' fillstyle solid 1.0 noborder";
        line("set object 1 rectangle from first " + exact(corners[0]) + ", graph 0 to first " +
             exact(corners[1]) + ", graph 1" + shade);
        line("set object 2 rectangle from first " + exact(corners[2]) + ", graph 0 to first " +
             exact(corners[3]) + ", graph 1" + shade);
        for (std::size_t i = 0; i < 4; ++i) {
            const std::string at = exact(corners[i]);
            const std::string n = std::to_string(i + 1);
            line("set arrow " + n + " from first " + at + ", graph 0 to first " + at +
                 ", graph 1 nohead dashtype 2 linecolor rgb '#606060'");
            line("set label " + n + " " + gnuplot_string("f" + n + " " + shown(corners[i]) + " Hz") +
                 " at first " + at + ", graph 0.03 rotate by 90 left offset -0.7,0 textcolor rgb '#404040'");
        }
    }

    // The smallest value above zero and the largest of column `c` over every input.
    std::optional<std::array<double, 2>> positive_range(std::size_t c) const {
        double first = INFINITY, last = -INFINITY;
        for (const auto& input : request_.inputs) {
            for (const double value : input.table->columns[c]) {
                if (!(value > 0)) continue;
                first = std::min(first, value);
                last = std::max(last, value);
            }
        }
        if (!(first < last)) return std::nullopt;
        return std::array<double, 2>{first, last};
    }

    std::vector<double> dampings() const {
        std::vector<double> values;
        for (const auto& input : request_.inputs) {
            for (const double damping : input.table->columns[0]) {
                if (!std::isnan(damping) &&
                    std::find(values.begin(), values.end(), damping) == values.end()) {
                    values.push_back(damping);
                }
            }
        }
        return values;
    }

    // The fewest periods any input's damping holds.
    std::size_t fewest_periods() const {
        std::size_t fewest = SIZE_MAX;
        for (const auto& input : request_.inputs) {
            std::vector<std::pair<double, std::size_t>> counts;
            for (const double damping : input.table->columns[0]) {
                auto at = std::find_if(counts.begin(), counts.end(), [&](const auto& c) { return c.first == damping; });
                if (at == counts.end()) counts.push_back({damping, 1});
                else ++at->second;
            }
            for (const auto& c : counts) fewest = std::min(fewest, c.second);
        }
        return fewest;
    }

    // Pseudo-spectral acceleration against period, log-log, one panel per damping.
    void response_panels() {
        const bool overlay = request_.inputs.size() > 1;
        const auto values = dampings();
        line("set multiplot layout " + std::to_string(values.size()) + ",1 title " + gnuplot_string(title()) +
             margins());
        line("set logscale xy");
        line("set format y '%g'");
        if (auto range = positive_range(1))
            line("set xrange [" + exact((*range)[0]) + ":" + exact((*range)[1]) + "]");
        line("set ylabel " + gnuplot_string(with_units("PSA", request_.units)));
        line("set key top right opaque box width 1");
        const std::string style = fewest_periods() < fewest_periods_as_lines
                                      ? " with points pointtype 7 pointsize 1"
                                      : " with lines linewidth 1";
        for (std::size_t d = 0; d < values.size(); ++d) {
            const std::string damping = exact(values[d]);
            line("set title " + gnuplot_string("damping " + shown(values[d])));
            if (d + 1 == values.size()) line("set xlabel 'period (s)'");
            std::string plot = "plot ";
            for (std::size_t i = 0; i < request_.inputs.size(); ++i) {
                const auto& input = request_.inputs[i];
                for (std::size_t k = 0; k < 3; ++k) {
                    const std::size_t psa = psa_column(*input.table, k);
                    const std::string label = component_name(input, request_.settings, k);
                    const std::string period = value_of(input, 2);
                    plot += (plot.size() == 5 ? "" : ", \\\n     ") + data_variable(i) + skip(input) +
                            " using (" + value_of(input, 1) + " == " + damping + " && " + period + " > 0 ? " +
                            period + " : NaN):" + positive_entry(input, psa) +
                            style + " linecolor rgb '" + component_colours[k] + "' dashtype " +
                            std::to_string(i % 5 + 1) + " title " +
                            gnuplot_string(overlay ? label + " (" + input.name + ")" : label);
                }
            }
            line(plot);
        }
        line("unset multiplot");
    }

    const FigureRequest& request_;
    std::string text_;
};

}  // namespace

// A gnuplot string in single quotes, where only a quote needs escaping (doubled); control characters
// would end the command and become blanks.
std::string gnuplot_string(std::string_view text) {
    std::string result = "'";
    for (const char c : text) {
        if (c == '\'') {
            result += "''";
        } else {
            result += static_cast<unsigned char>(c) < 0x20 ? ' ' : c;
        }
    }
    return result + "'";
}

std::string exact(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

// Four significant digits, as the suite's files hold.
std::string shown(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.4g", value);
    return text;
}

// The value of column `c` (from 1) in a using expression.
std::string value_of(const FigureInput& input, std::size_t c) {
    const std::string number = std::to_string(c);
    return input.summary.columns[c - 1].reading == ColumnReading::wide ? "field(" + number + ")"
                                                                       : "$" + number;
}

// Column `c` as a using entry: the plain column where gnuplot reads every field, otherwise an
// expression, whose fields without a number break the line.
std::string column_entry(const FigureInput& input, std::size_t c) {
    if (input.summary.columns[c - 1].reading == ColumnReading::plain) return std::to_string(c);
    return "(" + value_of(input, c) + ")";
}

std::string positive_entry(const FigureInput& input, std::size_t c) {
    const std::string value = value_of(input, c);
    return "(" + value + " > 0 ? " + value + " : NaN)";
}

std::string wide_number_functions() {
    return "# Fields written with three exponent digits and no letter E (\"0.1234-101\") read as their value.\n"
           "wide_number(t) = (wide_n = strlen(t), wide_n > 4 && strstrt(\"+-\", t[wide_n-3:wide_n-3]) > 0 && "
           "strstrt(t, \"E\") == 0 ? real(t[1:wide_n-4]) * 10.0**real(t[wide_n-3:wide_n]) : real(t))\n"
           "field(c) = valid(c) ? wide_number(word(strcol(c), 1)) : NaN\n";
}

std::size_t psa_column(const companion::SuiteTable& table, std::size_t component) {
    const std::string name = "psa" + std::to_string(component + 1);
    const auto at = std::find(table.names.begin(), table.names.end(), name);
    return at == table.names.end() ? 0 : static_cast<std::size_t>(at - table.names.begin()) + 1;
}

std::string figure_script(const FigureRequest& request) { return ScriptWriter(request).write(); }

std::string data_path_from(const fs::path& figure_folder, const fs::path& input) {
    if (input.is_absolute()) return input.string();
    const fs::path folder = figure_folder.empty() ? fs::path(".") : figure_folder;
    return fs::proximate(fs::absolute(input), fs::absolute(folder)).string();
}

std::string terminal_of(FigureFormat format, int width, int height) {
    const std::string style = " font 'sans,10' rounded noenhanced";
    const std::string size = std::to_string(width) + "," + std::to_string(height);
    switch (format) {
        case FigureFormat::svg:
            return "svg size " + size + style + " background rgb 'white'";
        case FigureFormat::pdf:
            return "pdfcairo size " + exact(width / 100.0) + "in," + exact(height / 100.0) + "in" + style;
        case FigureFormat::png:
            break;
    }
    return "pngcairo size " + size + style;
}

std::string extension_of(FigureFormat format) {
    return format == FigureFormat::svg ? ".svg" : format == FigureFormat::pdf ? ".pdf" : ".png";
}

}  // namespace smwave::plot

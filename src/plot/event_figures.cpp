#include "plot/event_figures.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "companion/messages.hpp"
#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"
#include "plot/figure_script.hpp"

namespace smwave::plot {

namespace fs = std::filesystem;
using companion::Problem;

namespace {

struct Peak {
    const char* column;
    const char* title;
    const char* units;
};
constexpr Peak peaks[] = {{"pga_rotd50", "PGA", "cm/s/s"},
                          {"pgv_rotd50", "PGV", "cm/s"},
                          {"psa_0.3_rotd50", "PSA 0.3 s", "cm/s/s"},
                          {"psa_1_rotd50", "PSA 1 s", "cm/s/s"},
                          {"psa_3_rotd50", "PSA 3 s", "cm/s/s"}};
constexpr const char* jma_classes[] = {"0", "1", "2", "3", "4", "5-", "5+", "6-", "6+", "7"};
constexpr const char* jma_colours[] = {"#f2f2ff", "#c7d7f5", "#8fb4f0", "#5fd35f", "#f5e33b",
                                       "#f5b43b", "#f07f22", "#e0301e", "#a0102a", "#6a0a5a"};

std::optional<std::size_t> jma_index(const std::string& text) {
    for (std::size_t at = 0; at < std::size(jma_classes); ++at) {
        if (text == jma_classes[at]) return at;
    }
    return std::nullopt;
}

// A record the JMA map shows: ok, with a class, at a station in Japan (20-46 N, 122-154 E).
bool on_jma_map(const Flatfile& flatfile, std::size_t row) {
    const auto latitude = flatfile.number(row, "station_latitude");
    const auto longitude = flatfile.number(row, "station_longitude");
    return flatfile.ok(row) && jma_index(flatfile.field(row, "jma_class")) && latitude && longitude &&
           *latitude >= 20 && *latitude <= 46 && *longitude >= 122 && *longitude <= 154;
}

bool any_jma(const Flatfile& flatfile) {
    for (std::size_t row = 0; row < flatfile.rows.size(); ++row) {
        if (on_jma_map(flatfile, row)) return true;
    }
    return false;
}

// A number in a data block: its shortest text, or NaN (a point gnuplot leaves out).
std::string datum(const std::optional<double>& value) { return value ? exact(*value) : "NaN"; }

// A word in a data block, quoted.
std::string quoted(const std::string& text) {
    std::string word = "\"";
    for (const char c : text) word += c == '"' || static_cast<unsigned char>(c) < 0x20 ? '_' : c;
    return word + "\"";
}

class EventWriter {
  public:
    EventWriter(const Flatfile& flatfile, FigureFormat format) : flatfile_(flatfile), format_(format) {}

    std::string write() {
        line("# Drawn by smwave-plot " + std::string(companion::version()) + " from the event's flatfile.csv, " +
             "whose values it holds.");
        line("# In this folder, `gnuplot event.gp` draws the event's figures again; with -e \"part='.part'\" "
             "each goes to its name with .part added.");
        line("if (!exists(\"part\")) part = ''");
        line("set grid");
        data_blocks();
        for (const char* distance : {"epicentral", "hypocentral"}) peaks_against(distance);
        map(false);
        if (any_jma(flatfile_)) map(true);
        line("unset output");
        return std::move(text_);
    }

  private:
    void line(const std::string& text) { text_ += text + '\n'; }

    void start_figure(const std::string& name, int width, int height) {
        line("set terminal " + terminal_of(format_, width, height));
        line("set output " + gnuplot_string(name + extension_of(format_)) + " . part");
    }

    std::size_t failed() const {
        std::size_t count = 0;
        for (std::size_t row = 0; row < flatfile_.rows.size(); ++row) count += !flatfile_.ok(row);
        return count;
    }

    // The event's epicentre and the ok records' values, one block per kind of sensor.
    void data_blocks() {
        line("# Each ok record: epicentral and hypocentral distance (km), then the RotD50 PGA, PGV and PSA "
             "at 0.3, 1 and 3 s.");
        for (const bool borehole : {false, true}) {
            line(std::string(borehole ? "$borehole" : "$surface") + " << EOD");
            for (std::size_t row = 0; row < flatfile_.rows.size(); ++row) {
                if (!flatfile_.ok(row) || (flatfile_.field(row, "sensor") == "borehole") != borehole) continue;
                std::string values = datum(flatfile_.number(row, "epicentral_distance")) + " " +
                                     datum(flatfile_.number(row, "hypocentral_distance"));
                for (const Peak& peak : peaks) values += " " + datum(flatfile_.number(row, peak.column));
                line(values + " " + quoted(flatfile_.field(row, "record")));
            }
            line("EOD");
        }
    }

    std::string caption(std::size_t shown_records) const {
        const std::size_t left_out = failed();
        return std::to_string(shown_records) + " records" +
               (left_out == 0 ? "" : "; " + std::to_string(left_out) + " not ok left out");
    }

    std::size_t count_ok(bool borehole) const {
        std::size_t count = 0;
        for (std::size_t row = 0; row < flatfile_.rows.size(); ++row) {
            count += flatfile_.ok(row) && (flatfile_.field(row, "sensor") == "borehole") == borehole;
        }
        return count;
    }

    std::string event_text() const {
        if (flatfile_.rows.empty()) return "";
        std::string text = "event " + flatfile_.field(0, "event_id");
        if (const auto magnitude = flatfile_.number(0, "magnitude")) {
            text += ", " + (flatfile_.field(0, "magnitude_type").empty() ? "M" : flatfile_.field(0, "magnitude_type")) +
                    " " + shown(*magnitude);
        }
        return text;
    }

    // Whether some ok record has both values above zero.
    bool any_point(const char* x, const char* y) const {
        for (std::size_t row = 0; row < flatfile_.rows.size(); ++row) {
            const auto a = flatfile_.number(row, x), b = flatfile_.number(row, y);
            if (flatfile_.ok(row) && a && b && *a > 0 && *b > 0) return true;
        }
        return false;
    }

    // The five RotD50 peaks against one distance, log-log, surface and borehole sensors apart.
    void peaks_against(const std::string& distance) {
        const std::size_t surface = count_ok(false), borehole = count_ok(true);
        start_figure("peaks-" + distance, 1500, 900);
        line("set multiplot layout 2,3 title " +
             gnuplot_string("RotD50 peaks against " + distance + " distance \u2014 " + event_text() + " \u2014 " +
                            caption(surface + borehole)));
        line("set logscale xy");
        line("set format x '%g'");
        line("set format y '%g'");
        line("set xlabel " + gnuplot_string(distance + " distance (km)"));
        line("set key bottom left opaque box");
        const int x = distance == "epicentral" ? 1 : 2;
        for (std::size_t p = 0; p < std::size(peaks); ++p) {
            const Peak& peak = peaks[p];
            const std::string column = std::to_string(3 + p);
            line("set title " + gnuplot_string(std::string(peak.title) + " (" + peak.column + ")"));
            line("set ylabel " + gnuplot_string(std::string(peak.title) + " (" + peak.units + ")"));
            std::string plot = "plot ";
            const std::string using_ = " using ($" + std::to_string(x) + " > 0 ? $" + std::to_string(x) + " : NaN):($" +
                                       column + " > 0 ? $" + column + " : NaN)";
            if (surface > 0) {
                plot += "$surface" + using_ + " with points pointtype 7 pointsize 1 linecolor rgb '#1f77b4' title " +
                        gnuplot_string("surface (" + std::to_string(surface) + ")");
            }
            if (borehole > 0) {
                plot += std::string(surface > 0 ? ", " : "") + "$borehole" + using_ +
                        " with points pointtype 9 pointsize 1.2 linecolor rgb '#d62728' title " +
                        gnuplot_string("borehole (" + std::to_string(borehole) + ")");
            }
            if (surface + borehole == 0) plot += "NaN notitle";
            // gnuplot refuses to autoscale a panel without a single point: such a panel gets fixed axes.
            const bool empty = !any_point(x == 1 ? "epicentral_distance" : "hypocentral_distance", peak.column);
            if (empty) line("set xrange [1:1000]; set yrange [0.1:1000]; set label 1 'no values' at graph 0.5,0.5 center");
            line(plot);
            if (empty) line("set xrange [*:*]; set yrange [*:*]; unset label 1");
        }
        line("unset multiplot");
        line("unset logscale xy");
        line("set format x '% h'");
        line("set format y '% h'");
    }

    // The stations, equirectangular with the aspect of the mean latitude, the epicentre a star.
    void map(bool jma) {
        struct Station {
            double longitude, latitude;
            std::optional<double> pga;
            std::optional<std::size_t> jma;
            std::string code;
        };
        std::vector<Station> stations;
        for (std::size_t row = 0; row < flatfile_.rows.size(); ++row) {
            const auto longitude = flatfile_.number(row, "station_longitude");
            const auto latitude = flatfile_.number(row, "station_latitude");
            // A KiK-net site's borehole sensor sits under its surface one: the map shows the surface.
            if (!longitude || !latitude || !flatfile_.ok(row) || flatfile_.field(row, "sensor") == "borehole") continue;
            if (jma && !on_jma_map(flatfile_, row)) continue;
            const auto pga = flatfile_.number(row, "pga_rotd50");
            stations.push_back({*longitude, *latitude, pga && *pga > 0 ? pga : std::nullopt,
                                jma_index(flatfile_.field(row, "jma_class")), flatfile_.field(row, "station")});
        }
        std::optional<std::array<double, 2>> epicentre;
        for (std::size_t row = 0; row < flatfile_.rows.size() && !epicentre; ++row) {
            const auto longitude = flatfile_.number(row, "event_longitude");
            const auto latitude = flatfile_.number(row, "event_latitude");
            if (longitude && latitude) epicentre = std::array<double, 2>{*longitude, *latitude};
        }
        double west = INFINITY, east = -INFINITY, south = INFINITY, north = -INFINITY;
        const auto extend = [&](double longitude, double latitude) {
            west = std::min(west, longitude);
            east = std::max(east, longitude);
            south = std::min(south, latitude);
            north = std::max(north, latitude);
        };
        for (const Station& s : stations) extend(s.longitude, s.latitude);
        if (epicentre) extend((*epicentre)[0], (*epicentre)[1]);
        if (!(west <= east)) extend(0, 0);
        const double middle = (south + north) / 2;
        const double squeeze = std::max(0.05, std::cos(middle * std::numbers::pi / 180));
        double width = std::max((east - west) * squeeze, north - south);
        width = std::max(width, 0.1);
        const double pad = 0.08 * width;
        west -= pad / squeeze;
        east += pad / squeeze;
        south -= pad;
        north += pad;
        start_figure(jma ? "stations-jma" : "stations", 1000, 900);
        line("set title " + gnuplot_string((jma ? "JMA intensity class" : "RotD50 PGA (cm/s/s)") + std::string(" at the ") +
                                           std::to_string(stations.size()) + " surface stations \u2014 " + event_text()));
        line("set xrange [" + exact(west) + ":" + exact(east) + "]");
        line("set yrange [" + exact(south) + ":" + exact(north) + "]");
        line("# Equirectangular: a degree of longitude is cos(" + shown(middle) + "\u00b0) of a degree of latitude.");
        line("set size ratio " + exact((north - south) / ((east - west) * squeeze)));
        line("set xlabel 'longitude (\u00b0E)'");
        line("set ylabel 'latitude (\u00b0N)'");
        line("set key top left opaque box");
        if (jma) {
            std::string palette = "set palette defined (";
            std::string tics = "set cbtics (";
            for (std::size_t at = 0; at < std::size(jma_classes); ++at) {
                palette += (at ? ", " : "") + std::to_string(at) + " '" + jma_colours[at] + "'";
                tics += std::string(at ? ", " : "") + "'" + jma_classes[at] + "' " + std::to_string(at);
            }
            line(palette + ")");
            line("set palette maxcolors " + std::to_string(std::size(jma_classes)));
            line("set cbrange [-0.5:" + exact(std::size(jma_classes) - 0.5) + "]");
            line(tics + ")");
            line("set cblabel 'JMA class'");
        } else {
            line("set palette defined (0 '#2c7bb6', 1 '#abd9e9', 2 '#ffffbf', 3 '#fdae61', 4 '#d7191c')");
            line("set logscale cb");
            line("set format cb '%g'");
            double least = INFINITY, most = 0;
            for (const Station& s : stations) {
                if (s.pga) least = std::min(least, *s.pga), most = std::max(most, *s.pga);
            }
            // Whole decades, so the colour bar has its labelled ticks.
            if (least <= most) {
                line("set cbrange [" + exact(std::pow(10, std::floor(std::log10(least)))) + ":" +
                     exact(std::pow(10, std::ceil(std::log10(most * 1.0000001)))) + "]");
            } else {
                line("set cbrange [1:1000]");
            }
            line("set cblabel 'RotD50 PGA (cm/s/s)'");
        }
        line("$stations << EOD");
        std::vector<std::array<double, 2>> points;
        for (const Station& s : stations) {
            const std::optional<double> colour = jma ? std::optional<double>(static_cast<double>(*s.jma)) : s.pga;
            line(exact(s.longitude) + " " + exact(s.latitude) + " " + datum(colour) + " " + quoted(s.code));
            points.push_back({s.longitude * squeeze, s.latitude});
        }
        line("EOD");
        std::size_t label = 0;
        for (const std::size_t at : uncrowded(points, 0.045 * (north - south))) {
            line("set label " + std::to_string(++label) + " " + gnuplot_string(stations[at].code) + " at " +
                 exact(stations[at].longitude) + "," + exact(stations[at].latitude) +
                 " offset 0.8,0.5 font 'sans,8' front");
        }
        std::string plot = "plot $stations using 1:2:3 with points pointtype 7 pointsize 1.6 linecolor palette title 'station'";
        if (epicentre) {
            plot += ", '+' using (" + exact((*epicentre)[0]) + "):(" + exact((*epicentre)[1]) +
                    ") every ::0::0 with points pointtype 3 pointsize 4 linewidth 3 linecolor rgb '#000000' title "
                    "'epicentre'";
        }
        line(plot);
        line("unset label");
        line(jma ? "set cbtics autofreq" : "unset logscale cb");
        line("set cbrange [*:*]");
        line("set size noratio");
        line("set xrange [*:*]");
        line("set yrange [*:*]");
    }

    const Flatfile& flatfile_;
    FigureFormat format_;
    std::string text_;
};

}  // namespace

std::string Flatfile::field(std::size_t row, std::string_view name) const {
    const auto at = std::find(names.begin(), names.end(), name);
    if (at == names.end()) return "";
    return rows[row][static_cast<std::size_t>(at - names.begin())];
}

std::optional<double> Flatfile::number(std::size_t row, std::string_view name) const {
    const auto value = companion::parse_number(field(row, name));
    if (!value || !std::isfinite(*value)) return std::nullopt;
    return value;
}

companion::Result<Flatfile> read_flatfile(const fs::path& file) {
    auto text = companion::read_whole_file(file);
    if (!text) return text.problem();
    std::vector<std::vector<std::string>> lines;
    std::vector<std::string> fields{""};
    bool quoted_field = false;
    for (std::size_t at = 0; at < text->size(); ++at) {
        const char c = (*text)[at];
        if (quoted_field) {
            if (c == '"' && at + 1 < text->size() && (*text)[at + 1] == '"') fields.back() += (*text)[++at];
            else if (c == '"') quoted_field = false;
            else fields.back() += c;
        } else if (c == '"') {
            quoted_field = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c == '\n') {
            lines.push_back(std::move(fields));
            fields = {""};
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    if (fields.size() > 1 || !fields[0].empty()) lines.push_back(std::move(fields));
    Flatfile flatfile;
    if (lines.empty()) return Problem{file.string(), 1, "is empty: expected the flatfile's header"};
    flatfile.names = std::move(lines[0]);
    for (const char* needed : {"record", "status"}) {
        if (std::find(flatfile.names.begin(), flatfile.names.end(), needed) == flatfile.names.end()) {
            return Problem{file.string(), 1, std::string("expected a flatfile header with the column ") + needed};
        }
    }
    for (std::size_t line = 1; line < lines.size(); ++line) {
        if (lines[line].size() != flatfile.names.size()) {
            return Problem{file.string(), line + 1,
                           "has " + std::to_string(lines[line].size()) + " fields, not " +
                               std::to_string(flatfile.names.size())};
        }
        flatfile.rows.push_back(std::move(lines[line]));
    }
    return flatfile;
}

std::vector<std::string> event_figure_names(const Flatfile& flatfile) {
    std::vector<std::string> names = {"peaks-epicentral", "peaks-hypocentral", "stations"};
    if (any_jma(flatfile)) names.push_back("stations-jma");
    return names;
}

std::string event_script(const Flatfile& flatfile, FigureFormat format) {
    return EventWriter(flatfile, format).write();
}

std::vector<std::size_t> uncrowded(const std::vector<std::array<double, 2>>& points, double spacing) {
    std::vector<std::size_t> labelled;
    for (std::size_t at = 0; at < points.size(); ++at) {
        const bool crowded = std::any_of(labelled.begin(), labelled.end(), [&](std::size_t other) {
            return std::hypot(points[at][0] - points[other][0], points[at][1] - points[other][1]) < spacing;
        });
        if (!crowded) labelled.push_back(at);
    }
    return labelled;
}

}  // namespace smwave::plot

// smwave-plot: figures of the files the suite writes, drawn by gnuplot.
#include "companion/tool.hpp"
#include "plot/plot_tool.hpp"
#include "plot/report_tool.hpp"

int main(int argc, char** argv) {
    CLI::App app{
        "Draws figures of smwave's files (waveform file, amp3.csv, fort.99, response file) with gnuplot,\n"
        "and writes beside each figure the gnuplot script that draws it again."};
    smwave::plot::PlotOptions options;
    app.add_option("FILE", options.inputs, "the files to draw (the kind is recognised from the content)");
    std::filesystem::path summary, report;
    std::size_t jobs = 0;
    app.add_option(
        "--summary", summary,
        "draw the summary figures of smwave-event's record folder DIR (waveforms.png, spectra.png, "
        "psa.png; into -o's folder, default DIR)");
    app.add_option(
        "--report", report,
        "draw the figures of smwave-event's folder DIR into DIR/figures/ and write DIR/report.html");
    app.add_option("--jobs", jobs, "gnuplot processes at once for --report (default: one per core)")
        ->check(CLI::PositiveNumber);
    app.add_option(
        "-o,--output", options.output,
        "the figure (.png, .svg or .pdf); default: beside each FILE, its extension replaced by .png");
    app.add_option("--title", options.title, "the figure's title (default: the file names)");
    app.add_option("--size", options.size, "WIDTHxHEIGHT in pixels (a PDF takes 100 pixels an inch)");
    app.add_option("--labels", options.labels, "the three components' names, such as \"EW,NS,UD\"")
        ->default_str(smwave::plot::default_labels);
    app.add_option("--units", options.units, "the units of the values, such as \"cm/s\"");
    app.add_option("--band", options.band, "band-pass corners f1,f2,f3,f4 in Hz, shaded on amp3.csv");
    app.add_option(
        "--table", options.table,
        "the record's table, whose metadata line titles and labels the figures (default: table.txt "
        "beside each FILE)");
    app.add_flag("--overlay", options.overlay, "draw all FILEs (of one kind) in one figure");
    return smwave::companion::run_tool(
        "smwave-plot", app, argc, argv, [&]() -> smwave::companion::Result<int> {
            using smwave::companion::Problem;
            const int modes = !summary.empty() + !report.empty() + !options.inputs.empty();
            if (modes == 0) return Problem{"", 0, "FILE is required (or --summary DIR, or --report DIR)"};
            if (modes > 1)
                return Problem{"", 0, "give FILEs, --summary DIR or --report DIR, only one of them"};
            if (!summary.empty()) return smwave::plot::draw_summary(summary, options.output);
            if (!report.empty()) return smwave::plot::draw_report(report, jobs);
            return smwave::plot::draw_figures(options);
        });
}

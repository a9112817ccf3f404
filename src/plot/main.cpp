// smwave-plot: figures of the files the suite writes, drawn by gnuplot.
#include "companion/tool.hpp"
#include "plot/plot_tool.hpp"

int main(int argc, char** argv) {
    CLI::App app{
        "Draws figures of smwave's files (waveform file, amp3.csv, fort.99, response file) with gnuplot,\n"
        "and writes beside each figure the gnuplot script that draws it again."};
    smwave::plot::PlotOptions options;
    app.add_option("FILE", options.inputs, "the files to draw (the kind is recognised from the content)")
        ->required();
    app.add_option(
        "-o,--output", options.output,
        "the figure (.png, .svg or .pdf); default: beside each FILE, its extension replaced by .png");
    app.add_option("--title", options.title, "the figure's title (default: the file names)");
    app.add_option("--size", options.size, "WIDTHxHEIGHT in pixels (a PDF takes 100 pixels an inch)");
    app.add_option("--labels", options.labels, "the three components' names, such as \"EW,NS,UD\"")
        ->default_str("comp1,comp2,comp3");
    app.add_option("--units", options.units, "the units of the values, such as \"cm/s\"");
    app.add_option("--band", options.band, "band-pass corners f1,f2,f3,f4 in Hz, shaded on amp3.csv");
    app.add_flag("--overlay", options.overlay, "draw all FILEs (of one kind) in one figure");
    return smwave::companion::run_tool("smwave-plot", app, argc, argv,
                                       [&] { return smwave::plot::draw_figures(options); });
}

// smwave-response: elastic response spectra of a record the suite wrote.
#include <CLI/CLI.hpp>

#include "companion/tool.hpp"
#include "response/response_tool.hpp"

int main(int argc, char** argv) {
    using smwave::response::Settings;
    CLI::App app{
        "Computes the elastic response spectra (SD, PSV, PSA, SA) of the three components of a waveform "
        "file written by smwave or of fort.99."};
    Settings settings;
    double dt = 0;
    app.add_option("FILE", settings.input, "the waveform file or fort.99")->required();
    app.add_option("-o,--output", settings.output,
                   "the response file to write (default: beside FILE, "
                   "NAME.csv giving NAME-response.csv)");
    app.add_option("--damping", settings.dampings, "damping ratios, each in (0, 1), comma-separated")
        ->delimiter(',')
        ->capture_default_str();
    auto* periods =
        app.add_option("--periods", settings.periods, "periods in seconds, comma-separated (0: PGA)")
            ->delimiter(',');
    app.add_option("--from", settings.from, "the first period of the logarithmic grid (s)")
        ->capture_default_str()
        ->excludes(periods);
    app.add_option("--to", settings.to, "the last period of the logarithmic grid (s)")
        ->capture_default_str()
        ->excludes(periods);
    app.add_option("--count", settings.count, "the number of periods of the grid (period 0 is added)")
        ->capture_default_str()
        ->excludes(periods);
    auto* dt_option =
        app.add_option("--dt", dt, "the sampling interval in seconds (default: from the time column)");
    app.add_option("--threads", settings.threads, "threads to share the oscillators (default: one per core)")
        ->check(CLI::PositiveNumber);
    app.add_option("--units", settings.units, "the input's units, as a label in the output");
    app.add_flag("--rotd", settings.rotd,
                 "add RotD00, RotD50 and RotD100 of SD, PSV and PSA of the two horizontal components");
    app.add_option("--horizontal", settings.horizontals, "the two horizontal components, such as 1,2")
        ->delimiter(',')
        ->capture_default_str();
    return smwave::companion::run_tool("smwave-response", app, argc, argv, [&] {
        if (dt_option->count() > 0) settings.dt = dt;
        return smwave::response::run_response(settings);
    });
}

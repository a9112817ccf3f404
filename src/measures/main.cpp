// smwave-measures: the intensity measures of a record the suite wrote.
#include <CLI/CLI.hpp>

#include "companion/tool.hpp"
#include "measures/measures_tool.hpp"

int main(int argc, char** argv) {
    using smwave::measures::Settings;
    CLI::App app{
        "Computes the intensity measures (peaks, Arias intensity, significant and bracketed durations, CAV, "
        "Housner spectrum intensity, JMA instrumental intensity, RotD peaks, smoothed Fourier amplitudes) "
        "of a record in a waveform file written by smwave or in fort.99."};
    Settings settings;
    std::filesystem::path velocity, displacement;
    double dt = 0;
    app.add_option("ACC", settings.acceleration, "the acceleration: a waveform file or fort.99")->required();
    auto* velocity_option = app.add_option("--velocity", velocity, "the same record's velocity (for PGV)");
    auto* displacement_option =
        app.add_option("--displacement", displacement, "the same record's displacement (for PGD)");
    app.add_option("-o,--output", settings.output,
                   "the measures file to write (default: beside ACC, NAME.csv giving NAME-measures.csv)");
    app.add_option("--units", settings.units, "the acceleration's units: cm/s/s, gal, m/s/s or g")
        ->capture_default_str();
    app.add_option("--horizontal", settings.horizontals, "the two horizontal components, such as 1,2")
        ->delimiter(',')
        ->capture_default_str();
    app.add_option("--frequencies", settings.frequencies,
                   "the frequencies (Hz) of the smoothed Fourier amplitudes, comma-separated")
        ->delimiter(',')
        ->capture_default_str();
    auto* dt_option =
        app.add_option("--dt", dt, "the sampling interval in seconds (default: from the time column)");
    app.add_option("--threads", settings.threads, "threads to share the measures (default: one per core)")
        ->check(CLI::PositiveNumber);
    return smwave::companion::run_tool("smwave-measures", app, argc, argv, [&] {
        if (velocity_option->count() > 0) settings.velocity = velocity;
        if (displacement_option->count() > 0) settings.displacement = displacement;
        if (dt_option->count() > 0) settings.dt = dt;
        return smwave::measures::run_measures(settings);
    });
}

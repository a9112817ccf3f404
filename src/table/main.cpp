// smwave-table: writes smwave's input table from K-NET/KiK-net, SAC, miniSEED or plain-column records.
#include <CLI/CLI.hpp>
#include <filesystem>

#include "companion/number_text.hpp"
#include "companion/tool.hpp"
#include "table/convert.hpp"
#include "table/info.hpp"

namespace {

using smwave::table::Format;

// --info: status 1 when some file could not be read.
smwave::companion::Result<int> print_info(const smwave::table::ConversionOptions& options) {
    if (!options.output.empty()) {
        const std::vector<std::filesystem::path> inputs(options.inputs.begin(), options.inputs.end());
        if (auto problem = smwave::companion::refuse_overwriting_inputs(options.output, inputs))
            return *problem;
    }
    auto out = options.output.empty() ? smwave::companion::OutputFile::standard_output()
                                      : smwave::companion::OutputFile::open(options.output);
    if (!out) return out.problem();
    const std::size_t unreadable = smwave::table::write_info(options, *out);
    if (auto problem = out->commit()) return *problem;
    return unreadable > 0 ? 1 : 0;
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{
        "Writes smwave's input table (time and 42 channels, the components in channels 38, 40 and 17)\n"
        "from three single-component records or one record of three components:\n"
        "K-NET/KiK-net ASCII, SAC binary or alphanumeric, miniSEED, PEER AT2, COSMOS V0/V1/V2, ESM\n"
        "ASCII, CWB, GeoNet V1A/V2A, CSMIP V1/V2, RENADIC, USGS SMC, USC, BHRC, AFAD, UNAM,\n"
        "or plain columns."};
    smwave::table::ConversionOptions options;
    std::string format;
    std::vector<double> prefilter;
    std::optional<double> interval;
    std::optional<std::size_t> limit;
    app.add_option("inputs", options.inputs, "One file of three components, or three files of one")
        ->required();
    app.add_option("-o,--output", options.output, "The table to write (default: standard output)");
    app.add_option("--format", format, "Read the inputs in this format (default: from the content)")
        ->check(CLI::IsMember(smwave::table::format_names()));
    app.add_option("--columns", options.columns.columns,
                   "Columns T,A,B,C (time and components) or A,B,C, by number from 1 or header name")
        ->delimiter(',');
    app.add_option("--dt", interval, "Sampling interval in seconds, for columns without a time column")
        ->check(CLI::PositiveNumber);
    app.add_option("--channels", options.channels,
                   "The channels of a three-channel file in component order, such as HNE,HNN,HNZ")
        ->delimiter(',');
    app.add_option("--scale", options.assembly.scale,
                   "Multiply the samples by one factor, or by one per component")
        ->expected(1, 3);
    app.add_option("--limit", limit, "Keep only the first N samples")
        ->check(CLI::Range(std::size_t{2}, std::size_t{1} << 40));
    bool keep_mean = false, detrend = false;
    app.add_flag("--keep-mean", keep_mean, "Keep the samples' mean (by default it is removed)");
    app.add_flag("--detrend", detrend, "Remove a least-squares line instead of the mean")
        ->excludes("--keep-mean");
    app.add_option("--taper", options.assembly.taper,
                   "Taper this fraction of the record at each end with a Hann window (such as 0.05)")
        ->check(CLI::Range(0.0, 0.5));
    app.add_flag("--trim", options.assembly.trim,
                 "Cut components whose starts differ to their common time span");
    bool info = false;
    app.add_flag("--info", info,
                 "Convert nothing: print one CSV row per input file (format, codes, start, rate, samples, "
                 "units, place, origin)");
    std::string inventory;
    app.add_option("--inventory", inventory,
                   "StationXML file, or a folder of them, whose sensitivities turn counts into cm/s/s "
                   "(default: NET.STA.xml beside the records)");
    app.add_option("--units", options.correction.units,
                   "The samples' units (m/s**2, cm/s/s, gal, g, ...), converted to cm/s/s")
        ->excludes("--inventory");
    std::string response = "sensitivity";
    app.add_option("--response", response,
                   "How counts become cm/s/s: by the channel's sensitivity (accelerometers), or by its full "
                   "response (also velocity sensors, differentiated)")
        ->check(CLI::IsMember({"sensitivity", "full"}));
    app.add_option("--prefilter", prefilter,
                   "The full correction's cosine pre-filter corners f1,f2,f3,f4 in Hz "
                   "(default 0.005,0.01 and 0.8, 0.9 of the Nyquist frequency)")
        ->delimiter(',');
    app.add_option("--water-level", options.correction.water_level_db,
                   "The full correction's water level in dB below the response's largest value (default 60)")
        ->check(CLI::NonNegativeNumber);
    app.add_flag("--fill-gaps", options.fill_gaps,
                 "Fill gaps in miniSEED channels with zeros instead of refusing");
    app.add_flag("--allow-mixed", options.assembly.allow_mixed_sensors,
                 "Allow KiK-net borehole (1-3) and surface (4-6) files in one table");
    return smwave::companion::run_tool(
        "smwave-table", app, argc, argv, [&]() -> smwave::companion::Result<int> {
            if (!format.empty()) options.format = smwave::table::format_named(format);
            options.columns.interval = interval;
            options.assembly.limit = limit;
            if (info) return print_info(options);
            if (!inventory.empty()) options.correction.inventory = inventory;
            options.correction.full_response = response == "full";
            if (!prefilter.empty()) {
                const std::vector<double>& f = prefilter;
                if (f.size() != 4 || !(0 <= f[0] && f[0] < f[1] && f[1] <= f[2] && f[2] < f[3]))
                    return smwave::companion::Problem{
                        "", 0,
                        "--prefilter takes four corners f1,f2,f3,f4 in Hz with 0 <= f1 < f2 <= f3 < f4"};
                options.correction.prefilter = smwave::table::Prefilter{f[0], f[1], f[2], f[3]};
            }
            if (keep_mean) options.assembly.baseline = smwave::table::Baseline::none;
            if (detrend) options.assembly.baseline = smwave::table::Baseline::line;
            if (auto problem = smwave::table::convert(options, smwave::companion::warn)) return *problem;
            return 0;
        });
}

// smwave-event: a whole earthquake, from the download folder to its flatfile.
#include <CLI/CLI.hpp>

#include "companion/number_text.hpp"
#include "companion/text.hpp"
#include "companion/tool.hpp"
#include "event/event_tool.hpp"
#include "event/report_run.hpp"

namespace {

using smwave::companion::Problem;
using smwave::companion::Result;

Result<std::vector<double>> numbers_of(const std::string& text, const char* option) {
    std::vector<double> numbers;
    for (const std::string& item : smwave::companion::comma_items(text)) {
        const auto number = smwave::companion::parse_number(item);
        if (!number || !(*number > 0))
            return Problem{
                "", 0,
                std::string(option) + " takes positive numbers separated by commas, not '" + text + "'"};
        numbers.push_back(*number);
    }
    return numbers;
}

}  // namespace

int main(int argc, char** argv) {
    using namespace smwave::event;
    CLI::App app{
        "Processes every record of one earthquake's download (K-NET/KiK-net, SAC, miniSEED, ... with "
        "StationXML)\n"
        "and writes the event's flatfile: one row per record with the event, the station, its distances and\n"
        "the intensity measures."};
    EventOptions options;
    options.processing.periods = default_periods();
    std::string out, band, periods, inventory, response;
    app.add_option("--out", out, "the event folder");
    app.add_option("download", options.download, "the downloaded files and folders (searched recursively)");
    app.add_option("--origin", options.origin,
                   "the event: \"TIME LAT LON DEPTH_KM [MAG]\" (default: from the records' files)");
    std::string event;
    app.add_option("--event", event, "the event from a QuakeML file (its preferred origin and magnitude)")
        ->excludes("--origin");
    app.add_option("--band", band, "the band-pass corners f1,f2,f3,f4 in Hz (default 0.05,0.1,25,30)");
    app.add_option("--taper", options.processing.taper, "the fraction tapered at each end (default 0.05)")
        ->check(CLI::Range(0.0, 0.5));
    app.add_option("--inventory", inventory,
                   "StationXML file or folder for the records in counts (passed to smwave-table)");
    app.add_option("--response", response, "sensitivity or full (passed to smwave-table)")
        ->check(CLI::IsMember({"sensitivity", "full"}));
    app.add_option("--periods", periods,
                   "the flatfile's periods in s, comma-separated, or nga: the NGA-West2 flatfile's 111 "
                   "(default: 21 from 0.01 to 10 s)");
    app.add_option("--damping", options.processing.damping, "the damping ratio of the spectra (default 0.05)")
        ->check(CLI::Range(0.0, 1.0));
    app.add_option("--jobs", options.jobs, "records processed at once, the cores kept busy (default: one per core)")
        ->check(CLI::PositiveNumber);
    app.add_option("--timeout", options.timeout_seconds,
                   "fail a record still running after this many seconds")
        ->check(CLI::PositiveNumber);
    app.add_flag("--resume", options.resume, "keep the records an earlier run finished (ok or refused)");
    bool report = false;
    app.add_flag("--report", report, "then write DIR/report.html and its figures (smwave-plot --report DIR)");
    std::string shard, merge;
    app.add_option("--shard", shard,
                   "process only the records K, K+N, K+2N, ... (K from 0) into flatfile-K-of-N.csv");
    app.add_option("--merge", merge, "join the shards' flatfiles of this event folder into its flatfile.csv");
    return smwave::companion::run_tool("smwave-event", app, argc, argv, [&]() -> Result<int> {
        if (!merge.empty()) {
            if (!options.download.empty()) return Problem{"", 0, "--merge takes only the event folder"};
            return merge_event(merge);
        }
        if (out.empty() || options.download.empty())
            return Problem{"", 0, "--out DIR and the download are needed"};
        if (!shard.empty()) {
            auto parsed = smwave::jobs::parse_shard(shard);
            if (!parsed) return parsed.problem();
            options.shard = *parsed;
        }
        options.out = out;
        options.event = event;
        if (!band.empty()) {
            const auto corners = numbers_of(band, "--band");
            if (!corners) return corners.problem();
            const std::vector<double>& f = *corners;
            if (f.size() != 4 || !(f[0] <= f[1] && f[1] <= f[2] && f[2] <= f[3]))
                return Problem{"", 0,
                               "--band takes four corners f1,f2,f3,f4 in Hz with f1 <= f2 <= f3 <= f4"};
            std::copy(f.begin(), f.end(), options.processing.band.begin());
        }
        if (periods == "nga") {
            options.processing.periods = nga_west2_periods();
        } else if (!periods.empty()) {
            auto listed = numbers_of(periods, "--periods");
            if (!listed) return listed.problem();
            options.processing.periods = std::move(*listed);
        }
        if (!inventory.empty())
            options.processing.conversion_options = {"--inventory",
                                                     std::filesystem::absolute(inventory).string()};
        if (!response.empty()) {
            options.processing.conversion_options.push_back("--response");
            options.processing.conversion_options.push_back(response);
        }
        const auto status = run_event(options);
        if (!status) return status;
        return report && (*status == 0 || *status == 1) ? run_report(options.out, options.jobs, *status)
                                                        : *status;
    });
}

// smwave-batch: runs smwave unchanged on many tables with one set of answers, and summarises them.
#include <CLI/CLI.hpp>

#include "batch/batch.hpp"
#include "batch/records.hpp"
#include "companion/tool.hpp"

int main(int argc, char** argv) {
    using namespace smwave::batch;
    CLI::App app{
        "Runs smwave on many tables with one answers file, records in parallel, each in a folder of "
        "its own, and writes a summary of them all."};
    BatchOptions options;
    std::string out = options.out.string(), answers, smwave, shard, merge;
    app.add_option("--answers", answers,
                   "smwave's answers; the first line (the table) is replaced per record");
    app.add_option("--out", out, "the batch folder (default: smwave-batch)");
    app.add_option("--jobs", options.jobs, "records run at once (default: one per core)")
        ->check(CLI::PositiveNumber);
    app.add_flag("--plot", options.plot, "draw each record's waveform and spectrum with smwave-plot");
    auto* response =
        app.add_flag("--response", options.response, "compute each acceleration record's response spectra");
    app.add_flag("--measures", options.measures,
                 "with --response: add the horizontals' RotD50 PSA and the intensity measures to the summary")
        ->needs(response);
    app.add_option("--shard", shard, "run only the records K, K+N, K+2N, ... (K from 0)");
    app.add_option("--timeout", options.timeout_seconds,
                   "kill a record still running after this many seconds")
        ->check(CLI::PositiveNumber);
    app.add_flag("--resume", options.resume, "keep the records an earlier run finished");
    app.add_option("--smwave", smwave, "the smwave program to run");
    app.add_option("--merge", merge, "join the shard summaries of this batch folder into its summary.csv");
    app.add_option("tables", options.tables, "tables, and folders of tables (taken in name order)");
    using smwave::companion::Problem;
    return smwave::companion::run_tool(
        "smwave-batch", app, argc, argv, [&]() -> smwave::companion::Result<int> {
            if (!merge.empty()) {
                if (!answers.empty() || !options.tables.empty())
                    return Problem{"", 0, "--merge takes only the batch folder"};
                return merge_batch(merge);
            }
            if (answers.empty()) return Problem{"", 0, "--answers FILE is needed"};
            options.answers = answers;
            options.out = out;
            options.smwave = smwave;
            if (!shard.empty()) {
                auto parsed = parse_shard(shard);
                if (!parsed) return parsed.problem();
                options.shard = *parsed;
            }
            return run_batch(options);
        });
}

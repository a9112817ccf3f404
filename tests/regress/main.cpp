// smwave-regress: gives random dialogue scenarios to two smwave executables and compares everything
// they print and write; checks smwave-batch's reading of the same answers against the runs.
//
//     smwave-regress OLD NEW --seed 1 --count 300
//
// Exit status 0 when every scenario agrees, 1 at the first difference (with the seed and number that
// reproduce it), 2 for a usage error.
#include <CLI/CLI.hpp>
#include <chrono>
#include <csignal>
#include <map>
#include <cstdint>
#include <filesystem>
#include <iostream>

#include "regress/batch_agreement.hpp"
#include "regress/outcome.hpp"
#include "regress/scenario.hpp"

namespace {

using namespace smwave::regress;

void show(const Scenario& scenario, std::uint64_t seed, std::uint64_t number) {
    std::cout << "scenario " << number << " of seed " << seed << ": " << scenario.summary << ", table '"
              << scenario.table_name << "'\n--- answers\n"
              << scenario.answers << "--- first lines of the table\n";
    std::size_t at = 0;
    for (int line = 0; line < 6 && at < scenario.table.size(); ++line) {
        const std::size_t end = std::min(scenario.table.find('\n', at), scenario.table.size());
        std::cout << scenario.table.substr(at, std::min<std::size_t>(end - at, 160)) << '\n';
        at = end + 1;
    }
}

// How a run ended, in a few words.
std::string ending(const Outcome& run) {
    if (run.signal == SIGABRT) {
        const std::size_t unit = run.err.find("unit ");
        return "fatal report (" + run.err.substr(0, run.err.find('\n')) + ", " +
               (unit == std::string::npos ? std::string("?") : run.err.substr(unit, 7)) + ")";
    }
    if (run.signal != 0) return "signal " + std::to_string(run.signal);
    if (run.status == 2) return "refused (" + run.err.substr(0, std::min<std::size_t>(run.err.find(' ', 12), 40)) + ")";
    if (run.status != 0) return "status " + std::to_string(run.status);
    if (run.out.find("NT>2**17") != std::string::npos) return "too long";
    return run.files.size() > 3 || run.out.find("Enter output file name") != std::string::npos ? "waveform written"
                                                                                             : "done";
}

}  // namespace

int main(int argc, char** argv) {
    CLI::App app{"Compares two smwave executables on random dialogue scenarios, byte for byte"};
    std::string old_program, new_program;
    std::uint64_t seed = 1, count = 300, from = 0;
    std::int64_t show_number = -1;
    bool check_batch = true;
    app.add_option("OLD", old_program, "the baseline smwave")->required()->check(CLI::ExistingFile);
    app.add_option("NEW", new_program, "the smwave to compare with it")->required()->check(CLI::ExistingFile);
    app.add_option("--seed", seed, "the seed of the scenarios (default 1)");
    app.add_option("--count", count, "how many scenarios (default 300)");
    app.add_option("--from", from, "the number of the first scenario (default 0)");
    app.add_option("--show", show_number, "print scenario N (answers and table head) and stop");
    app.add_flag("!--no-batch", check_batch, "leave out the check of smwave-batch's reading of the answers");
    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& error) {
        return app.exit(error) == 0 ? 0 : 2;
    }
    // The runs start in folders of their own.
    old_program = std::filesystem::absolute(old_program).string();
    new_program = std::filesystem::absolute(new_program).string();
    if (show_number >= 0) {
        show(make_scenario(seed, static_cast<std::uint64_t>(show_number)), seed,
             static_cast<std::uint64_t>(show_number));
        return 0;
    }

    // How the scenarios' runs ended, for the closing line.
    std::map<std::string, int> endings;
    const auto started = std::chrono::steady_clock::now();
    for (std::uint64_t number = from; number < from + count; ++number) {
        const Scenario scenario = make_scenario(seed, number);
        const Outcome old_run = run_scenario(old_program, scenario);
        const Outcome new_run = run_scenario(new_program, scenario);
        ++endings[ending(new_run)];
        std::optional<std::string> fault = first_difference(old_run, new_run);
        if (!fault && check_batch) {
            if (auto disagreement = batch_disagreement(scenario, new_run)) fault = "smwave-batch: " + *disagreement;
        }
        if (fault) {
            std::cout << "scenario " << number << " of seed " << seed << " (" << scenario.summary
                      << ") differs:\n"
                      << *fault << "\nreproduce: smwave-regress OLD NEW --seed " << seed << " --from " << number
                      << " --count 1; see it: --show " << number << "\n";
            return 1;
        }
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << count << " scenarios of seed " << seed << " agree (" << seconds << " s):";
    for (const auto& [how, runs] : endings) std::cout << ' ' << runs << ' ' << how << ';';
    std::cout << '\n';
    return 0;
}

#include "regress/batch_agreement.hpp"

#include <set>

#include "batch/answers.hpp"
#include "companion/problem.hpp"

namespace smwave::regress {

namespace {

constexpr std::string_view waveform_header = " time(s),comp1, comp2, comp3\n";

bool wrote_waveform(const Outcome& outcome) {
    return outcome.status == 0 && outcome.signal == 0 &&
           outcome.out.find("Enter output file name of waveform") != std::string::npos;
}

// The files of the run's folder that smwave made besides its echo and spectrum files.
std::set<std::string> new_files(const Scenario& scenario, const Outcome& outcome) {
    std::set<std::string> names;
    for (const auto& [name, bytes] : outcome.files) {
        if (name != scenario.table_name && name != "fort.99" && name != "amp3.csv") names.insert(name);
    }
    return names;
}

}  // namespace

std::optional<std::string> batch_disagreement(const Scenario& scenario, const Outcome& outcome) {
    const auto answers = batch::parse_answers(scenario.answers, "answers");
    if (!wrote_waveform(outcome)) {
        // The table may stop a run the batch cannot foresee; its console answers may not.
        if (answers && outcome.err.find("apparent state: unit 5 ") != std::string::npos)
            return "the batch accepts answers at which smwave's console read stops the run:\n" + outcome.err;
        return std::nullopt;
    }
    const std::set<std::string> made = new_files(scenario, outcome);
    if (!answers) {
        // The batch keeps the names of the record folder's own files; smwave then wrote no new file.
        const std::string why = companion::describe(answers.problem());
        if (made.empty() && why.find("waveform file's name") != std::string::npos) return std::nullopt;
        return "smwave wrote its waveform file, but the batch refuses the answers: " + why;
    }
    // A waveform file named as the table replaces it.
    const bool replaces_table = answers->waveform_name == scenario.table_name;
    if (made != (replaces_table ? std::set<std::string>{} : std::set<std::string>{answers->waveform_name})) {
        std::string listed;
        for (const std::string& name : made) listed += " '" + name + "'";
        return "the batch predicts the waveform file '" + answers->waveform_name + "', smwave wrote" +
               (listed.empty() ? " no new file" : listed);
    }
    if (outcome.files.at(answers->waveform_name).rfind(waveform_header, 0) != 0)
        return "the file '" + answers->waveform_name + "' is no waveform file";
    if (scenario.integration) {
        const bool changes = *scenario.integration >= 1 && *scenario.integration <= 3;
        if (changes != answers->changes_quantity) {
            return "smwave took the integration answer " + std::to_string(*scenario.integration) +
                   ", but the batch expects " + (answers->changes_quantity ? "a changed" : "an unchanged") +
                   " quantity";
        }
    }
    return std::nullopt;
}

}  // namespace smwave::regress

#pragma once
// What one smwave run leaves: its console output, error output, status, and every file of its folder.
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include "regress/scenario.hpp"

namespace smwave::regress {

struct Outcome {
    std::string out, err;
    int status = -1;  // exit status, or -1 when a signal ended the run
    int signal = 0;
    std::map<std::string, std::string> files;  // every file of the run's folder by name, with its bytes
};

// Runs `program` on `scenario` in a fresh folder holding only the table, and collects what it left.
// A run still going after a minute is killed (and shows SIGKILL).
Outcome run_scenario(const std::filesystem::path& program, const Scenario& scenario);

// The first difference between two outcomes, as "STREAM line N:" and the two lines; nothing when
// they are the same byte for byte.
std::optional<std::string> first_difference(const Outcome& old_run, const Outcome& new_run);

}  // namespace smwave::regress

#pragma once
// A random dialogue scenario: a table and the console answers given to smwave for it.
//
//     const Scenario s = make_scenario(seed, number);  // the same scenario for the same seed and number
//
// The generator knows what each answer means to smwave's reads (null items keep the value, repeat
// counts, trailing text dropped, values beyond 32 bits), so it can tell which integration answer the
// run really takes; the files and console lines themselves come only from the executables.
#include <cstdint>
#include <optional>
#include <string>

namespace smwave::regress {

struct Scenario {
    std::string table_name;  // the file the table is written to ("" when the run names a missing file)
    std::string table;       // the table's bytes
    std::string answers;     // the console input
    // The integration answer as smwave stores it, when the answers reach it without a fatal report.
    std::optional<std::int32_t> integration;
    std::string summary;  // one line saying what the scenario holds
};

Scenario make_scenario(std::uint64_t seed, std::uint64_t number);

}  // namespace smwave::regress

#pragma once
// What the user asks of smwave-measures, checked, and what follows from it.
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"

namespace smwave::measures {

struct Settings {
    std::filesystem::path acceleration;                 // waveform file or fort.99
    std::optional<std::filesystem::path> velocity;      // the same record integrated once
    std::optional<std::filesystem::path> displacement;  // ... and twice
    std::filesystem::path output;                       // empty: beside the acceleration (default_output)
    std::string units = "cm/s/s";                       // the acceleration's units (see unit_scale)
    std::vector<int> horizontals{1, 2};                 // 1-based
    std::vector<double> frequencies{0.1, 0.2, 0.5, 1, 2, 5, 10};  // of the smoothed Fourier amplitudes, Hz
    std::optional<double> dt;  // the interval, when the time column should not give it
    unsigned threads = 0;      // 0: one per core (the values do not depend on it)
};

// The factors that bring the inputs to cm/s/s, cm/s and cm.
struct UnitScale {
    double acceleration = 1;
    double length = 1;  // of velocity and displacement
};

// "cm/s/s" and "gal": 1 and 1; "m/s/s": 100 and 100 (velocity in m/s, displacement in m); "g":
// 980.665 and 1 (velocity in cm/s, displacement in cm). Nothing for other units.
std::optional<UnitScale> unit_scale(const std::string& units);

// Refuses unknown units, bad horizontals, frequencies that are not above 0 and finite, a bad interval.
companion::Status check_settings(const Settings& settings);

// Beside the acceleration: "acceleration.csv" gives "acceleration-measures.csv", "fort.99" gives
// "fort.99-measures.csv".
std::filesystem::path default_output(const std::filesystem::path& acceleration);

}  // namespace smwave::measures

#pragma once
// What the user asks of smwave-response, checked, and the periods and output name that follow from it.
#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "companion/problem.hpp"

namespace smwave::response {

struct Settings {
    std::filesystem::path input;
    std::filesystem::path output;        // empty: beside the input (default_output)
    std::vector<double> dampings{0.05};  // each in (0, 1)
    std::vector<double> periods;         // seconds; empty: the logarithmic grid below plus 0
    double from = 0.01, to = 10;         // the grid's first and last period
    int count = 100;                     // the grid's number of periods
    std::optional<double> dt;            // the sampling interval, when the time column should not give it
    std::string units;                   // a label of the input's units, or empty
    bool rotd = false;                   // add RotD00, RotD50, RotD100 of the horizontals
    std::vector<int> horizontals{1, 2};  // the horizontal components, 1-based
    unsigned threads = 0;                // 0: one per core (the values do not depend on it)
};

// Refuses anything but two different components among 1, 2 and 3 (`option` names the option).
companion::Status check_horizontals(const std::vector<int>& horizontals, std::string_view option);

// The checked horizontals, 0-based.
std::array<int, 2> horizontal_pair(const std::vector<int>& horizontals);

// The most periods a grid may hold.
constexpr int max_period_count = 100000;

// Refuses dampings outside (0, 1), negative or non-finite periods, a bad grid or interval.
companion::Status check_settings(const Settings& settings);

// The periods to compute: the given list, or 0 then `count` periods from `from` to `to` evenly spaced
// in logarithm (both ends exact).
std::vector<double> periods_of(const Settings& settings);

// The output beside the input: "velocity.csv" gives "velocity-response.csv", "fort.99" gives
// "fort.99-response.csv".
std::filesystem::path default_output(const std::filesystem::path& input);

}  // namespace smwave::response

#include "response/settings.hpp"

#include <algorithm>
#include <cmath>

#include "companion/number_text.hpp"

namespace smwave::response {

using companion::Problem;

namespace {

Problem option_problem(std::string_view option, double value, std::string_view what) {
    std::string text(option);
    text += ' ';
    companion::append_shortest(text, value);
    text += ": ";
    text += what;
    return Problem{"", 0, std::move(text)};
}

}  // namespace

companion::Status check_horizontals(const std::vector<int>& horizontals, std::string_view option) {
    const bool valid =
        horizontals.size() == 2 && horizontals[0] != horizontals[1] &&
        std::all_of(horizontals.begin(), horizontals.end(), [](int c) { return c >= 1 && c <= 3; });
    if (valid) return std::nullopt;
    return Problem{
        "", 0, std::string(option) + ": two different components among 1, 2 and 3 are needed (such as 1,2)"};
}

std::array<int, 2> horizontal_pair(const std::vector<int>& horizontals) {
    return {horizontals[0] - 1, horizontals[1] - 1};
}

companion::Status check_settings(const Settings& settings) {
    if (auto problem = check_horizontals(settings.horizontals, "--horizontal")) return problem;
    if (settings.dampings.empty()) return Problem{"", 0, "--damping: at least one damping ratio is needed"};
    for (const double damping : settings.dampings) {
        if (!(damping > 0 && damping < 1)) {
            return option_problem("--damping", damping,
                                  "a damping ratio must lie between 0 and 1 (both excluded)");
        }
    }
    for (const double period : settings.periods) {
        if (!(period >= 0) || !std::isfinite(period)) {
            return option_problem("--periods", period, "a period must be 0 or more and finite");
        }
    }
    if (settings.periods.empty()) {
        if (!(settings.from > 0) || !std::isfinite(settings.from)) {
            return option_problem("--from", settings.from, "the first period must be above 0 and finite");
        }
        if (!(settings.to > settings.from) || !std::isfinite(settings.to)) {
            return option_problem("--to", settings.to, "the last period must be finite and above --from");
        }
        if (settings.count < 2 || settings.count > max_period_count) {
            return option_problem(
                "--count", settings.count,
                "the grid needs from 2 to " + std::to_string(max_period_count) + " periods");
        }
    }
    if (settings.dt && (!(*settings.dt > 0) || !std::isfinite(*settings.dt))) {
        return option_problem("--dt", *settings.dt, "the sampling interval must be above 0 and finite");
    }
    return std::nullopt;
}

std::vector<double> periods_of(const Settings& settings) {
    if (!settings.periods.empty()) return settings.periods;
    std::vector<double> periods{0.0};
    const double first = std::log(settings.from), last = std::log(settings.to);
    for (int k = 0; k < settings.count; ++k) {
        periods.push_back(std::exp(first + (last - first) * k / (settings.count - 1)));
    }
    periods[1] = settings.from;
    periods.back() = settings.to;
    return periods;
}

std::filesystem::path default_output(const std::filesystem::path& input) {
    std::string name = input.filename().string();
    if (name.ends_with(".csv")) name.resize(name.size() - 4);
    return input.parent_path() / (name + "-response.csv");
}

}  // namespace smwave::response

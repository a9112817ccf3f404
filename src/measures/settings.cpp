#include "measures/settings.hpp"

#include <cmath>

#include "companion/number_text.hpp"
#include "measures/time_measures.hpp"
#include "response/settings.hpp"

namespace smwave::measures {

using companion::Problem;

std::optional<UnitScale> unit_scale(const std::string& units) {
    if (units == "cm/s/s" || units == "gal") return UnitScale{1, 1};
    if (units == "m/s/s") return UnitScale{100, 100};
    if (units == "g") return UnitScale{gravity, 1};
    return std::nullopt;
}

companion::Status check_settings(const Settings& settings) {
    if (!unit_scale(settings.units)) {
        return Problem{"", 0, "--units " + settings.units + ": the units must be cm/s/s, gal, m/s/s or g"};
    }
    if (auto problem = response::check_horizontals(settings.horizontals, "--horizontal")) return problem;
    for (const double f : settings.frequencies) {
        if (!(f > 0) || !std::isfinite(f)) {
            std::string what = "--frequencies ";
            companion::append_shortest(what, f);
            return Problem{"", 0, what + ": a frequency must be above 0 Hz and finite"};
        }
    }
    if (settings.dt && (!(*settings.dt > 0) || !std::isfinite(*settings.dt))) {
        std::string what = "--dt ";
        companion::append_shortest(what, *settings.dt);
        return Problem{"", 0, what + ": the sampling interval must be above 0 and finite"};
    }
    return std::nullopt;
}

std::filesystem::path default_output(const std::filesystem::path& acceleration) {
    std::string name = acceleration.filename().string();
    if (name.ends_with(".csv")) name.resize(name.size() - 4);
    return acceleration.parent_path() / (name + "-measures.csv");
}

}  // namespace smwave::measures

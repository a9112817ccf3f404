#include "measures/measures_tool.hpp"

#include <algorithm>
#include <cmath>

#include "companion/cores.hpp"
#include "companion/messages.hpp"
#include "companion/number_text.hpp"
#include "companion/output_file.hpp"
#include "measures/measure_rows.hpp"
#include "measures/padded_spectrum.hpp"
#include "response/record.hpp"
#include "response/settings.hpp"

namespace smwave::measures {

namespace {

// A name on the comment line: no line end may start a line of its own.
std::string one_line(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
    return text;
}

companion::Result<response::GroundRecord> load_scaled(const std::filesystem::path& file,
                                                      std::optional<double> dt, double scale) {
    auto record = response::load_record(file, dt);
    if (!record) return record.problem();
    if (scale != 1) {
        for (auto& component : record->components) {
            for (double& value : component) value *= scale;
        }
    }
    return std::move(*record);
}

// Beyond this magnitude (cm/s/s) the squares and sums of the measures could overflow the range of
// doubles; no record of the ground comes near it.
constexpr double largest_acceleration = 1e150;

companion::Status overflow_problem(const response::GroundRecord& record, const std::filesystem::path& file) {
    for (const auto& component : record.components) {
        for (const double value : component) {
            if (std::abs(value) > largest_acceleration) {
                std::string what = "a value of ";
                companion::append_shortest(what, value);
                return companion::Problem{
                    file.string(), 0,
                    what + " cm/s/s is far too large: the measures would overflow the range of numbers"};
            }
        }
    }
    return std::nullopt;
}

std::string comment_of(const Settings& settings, const MeasureInputs& inputs) {
    const auto name = [](const std::optional<std::filesystem::path>& file) {
        return file ? one_line(file->string()) : std::string("-");
    };
    std::string text = " acceleration " + one_line(settings.acceleration.string()) + ", velocity " +
                       name(settings.velocity) + ", displacement " + name(settings.displacement) + ", dt ";
    companion::append_shortest(text, inputs.acceleration.dt);
    text += inputs.acceleration.dt_from_time_column ? " s (from the time column)" : " s (given)";
    text += ", input units " + settings.units + ", horizontals " + std::to_string(settings.horizontals[0]) +
            "," + std::to_string(settings.horizontals[1]);
    text += ", JMA filter and Fourier amplitudes on a transform of " +
            std::to_string(padded_length(inputs.acceleration.components[0].size())) +
            " samples (the record zero-padded to the smallest power of two at least 10 % longer), JMA p(t) "
            "over all of them, Konno-Ohmachi b 40";
    return text;
}

}  // namespace

companion::Result<int> run_measures(const Settings& settings) {
    if (auto problem = check_settings(settings)) return *problem;
    const std::filesystem::path output =
        settings.output.empty() ? default_output(settings.acceleration) : settings.output;
    std::vector<std::filesystem::path> inputs{settings.acceleration};
    if (settings.velocity) inputs.push_back(*settings.velocity);
    if (settings.displacement) inputs.push_back(*settings.displacement);
    if (auto problem = companion::refuse_overwriting_inputs(output, inputs)) return *problem;

    const UnitScale scale = *unit_scale(settings.units);
    MeasureInputs measured;
    auto acceleration = load_scaled(settings.acceleration, settings.dt, scale.acceleration);
    if (!acceleration) return acceleration.problem();
    if (auto problem = overflow_problem(*acceleration, settings.acceleration)) return *problem;
    measured.acceleration = std::move(*acceleration);
    measured.horizontals = response::horizontal_pair(settings.horizontals);
    measured.frequencies = settings.frequencies;
    measured.threads = settings.threads > 0 ? settings.threads : companion::usable_cores();
    if (settings.velocity) {
        auto velocity = load_scaled(*settings.velocity, settings.dt, scale.length);
        if (!velocity) return velocity.problem();
        measured.velocity = std::move(*velocity);
    }
    if (settings.displacement) {
        auto displacement = load_scaled(*settings.displacement, settings.dt, scale.length);
        if (!displacement) return displacement.problem();
        measured.displacement = std::move(*displacement);
    }

    const std::vector<MeasureRow> rows = measure_rows(measured);
    auto file = companion::OutputFile::open(output);
    if (!file) return file.problem();
    file->write(measures_text(rows, comment_of(settings, measured)));
    if (auto problem = file->commit()) return *problem;
    return 0;
}

}  // namespace smwave::measures

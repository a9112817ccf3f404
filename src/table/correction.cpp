#include "table/correction.hpp"

#include <algorithm>
#include <cmath>

#include "companion/number_text.hpp"
#include "table/inventory.hpp"
#include "table/physical_units.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace fs = std::filesystem;

namespace {

constexpr double gain_tolerance = 0.10;  // careful data centres accept 10 % between stages and total
constexpr double rate_tolerance = 1e-4;  // the relative tolerance libmseed uses for sample rates

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

bool needs_correction(const Component& component) {
    return component.units == "counts" || component.units == "unknown";
}

ChannelCodes codes_of(const Component& component) {
    return {component.network, component.station, component.location, component.name};
}

// The checks before a channel's sensitivity (or its whole response) is used; the factor from the
// input units to cm/s/s when they pass, per count for the sensitivity.
Result<double> checked_factor(const Component& component, const ChannelEpoch& epoch, bool full) {
    const std::string channel = "channel " + codes_of(component).text() + " (" + epoch.source + "): ";
    const auto refuse = [&](const std::string& what) { return Problem{component.source, 0, channel + what}; };
    if (!epoch.sensitivity || *epoch.sensitivity == 0 || !std::isfinite(*epoch.sensitivity))
        return refuse("check of the sensitivity: no usable InstrumentSensitivity/Value");
    if (full) {
        if (epoch.stages.empty()) return refuse("check of the stages: the response has none to divide by");
        for (std::size_t k = 0; k < epoch.stages.size(); ++k) {
            if (epoch.stages[k].kind == StageKind::unsupported)
                return refuse("check of the stages: stage " + std::to_string(k + 1) +
                              " is a response list or polynomial, which is not divided out here");
            const ResponseStage& stage = epoch.stages[k];
            const bool zero_taps = !stage.numerators.empty() &&
                                   std::all_of(stage.numerators.begin(), stage.numerators.end(), [](double b) { return b == 0; });
            if (!(std::isfinite(stage.gain) && stage.gain != 0 && std::isfinite(stage.normalization) &&
                  stage.normalization != 0) || zero_taps)
                return refuse("check of the stages: stage " + std::to_string(k + 1) +
                              " has a gain, normalization or set of coefficients that is zero or no finite number");
            if (epoch.stages[k].unreadable > 0)
                return refuse("check of the stages: stage " + std::to_string(k + 1) + " holds " +
                              std::to_string(epoch.stages[k].unreadable) + " pole, zero or coefficient values that are no numbers");
        }
    }
    const bool velocity = full && is_metres_per_second(epoch.input_units);
    const auto to_gal = velocity ? std::optional<double>(100.0) : factor_to_gal(epoch.input_units);
    if (!to_gal || !is_counts(epoch.output_units)) {
        std::string what = "check of the units: the sensitivity is in " + epoch.output_units + " per " +
                           epoch.input_units + ", not counts per acceleration";
        if (is_metres_per_second(epoch.input_units))
            what += " (a velocity sensor: its acceleration needs --response full)";
        return refuse(what);
    }
    if (!epoch.stage_gains.empty()) {
        double product = 1;
        for (const double gain : epoch.stage_gains) product *= gain;
        const double ratio = product / *epoch.sensitivity;
        if (!(std::abs(ratio - 1) <= gain_tolerance)) {
            return refuse("check of the stage gains: their product " + number_text(product) +
                          " differs from the sensitivity " + number_text(*epoch.sensitivity) +
                          " by more than 10 %");
        }
    }
    if (epoch.sample_rate) {
        const double data_rate = 1 / component.interval;
        if (!(std::abs(*epoch.sample_rate / data_rate - 1) <= rate_tolerance)) {
            return refuse("check of the sample rate: the channel's " + number_text(*epoch.sample_rate) +
                          " Hz is not the data's " + number_text(data_rate) + " Hz");
        }
    }
    return full ? *to_gal : *to_gal / *epoch.sensitivity;
}

std::string list_text(const Prefilter& corners) {
    std::string text;
    for (const double corner : corners) text += (text.empty() ? "" : ",") + number_text(corner);
    return text;
}

void take_orientation_and_place(Component& component, const ChannelEpoch& epoch) {
    if (!component.azimuth) component.azimuth = epoch.azimuth;
    if (!component.dip) component.dip = epoch.dip;
    if (!component.site.latitude) component.site = epoch.site;
}

companion::Status apply_units(std::vector<Component>& components, const std::string& units) {
    const auto factor = factor_to_gal(units);
    if (!factor) {
        return Problem{"", 0,
                       "--units " + units +
                           " is not a unit of acceleration known here (m/s**2, cm/s**2, gal, "
                           "mm/s/s, nm/s/s, g and their spellings); use --scale for anything else"};
    }
    for (auto& component : components) {
        for (double& sample : component.samples) sample *= *factor;
        component.units = "cm/s/s";
        component.correction = "units";
    }
    return std::nullopt;
}

// The inventory named, or the files NET.STA.xml beside the records that need one.
Result<std::optional<Inventory>> find_inventory(const std::vector<Component>& components,
                                                const CorrectionOptions& options) {
    if (options.inventory) {
        auto inventory = Inventory::load(*options.inventory);
        if (!inventory) return inventory.problem();
        return std::optional<Inventory>(std::move(*inventory));
    }
    for (const auto& component : components) {
        if (!needs_correction(component) || component.station.empty()) continue;
        const fs::path beside =
            fs::path(component.source).parent_path() / (component.network + "." + component.station + ".xml");
        std::error_code error;
        if (!fs::is_regular_file(beside, error)) continue;
        auto inventory = Inventory::load(beside);
        if (!inventory) return inventory.problem();
        return std::optional<Inventory>(std::move(*inventory));
    }
    return std::optional<Inventory>();
}

}  // namespace

Result<companion::TableMetadata> correct_components(std::vector<Component>& components,
                                                    const CorrectionOptions& options) {
    companion::TableMetadata notes;
    if (!options.units.empty()) {
        if (auto problem = apply_units(components, options.units)) return *problem;
        return notes;
    }
    auto inventory = find_inventory(components, options);
    if (!inventory) return inventory.problem();
    if (!*inventory) return notes;
    std::string used;
    std::optional<Prefilter> prefilter;
    for (auto& component : components) {
        if (!needs_correction(component)) continue;
        if (!component.start)
            return Problem{component.source, 0,
                           "the record's start is unknown, so no epoch of its channel can be chosen"};
        auto epoch = (*inventory)->epoch_at(codes_of(component), *component.start);
        if (!epoch) return epoch.problem();
        auto factor = checked_factor(component, *epoch, options.full_response);
        if (!factor) return factor.problem();
        if (options.full_response) {
            RemovalSettings settings;
            settings.prefilter = options.prefilter.value_or(default_prefilter(component.interval));
            settings.water_level_db = options.water_level_db;
            settings.differentiate = is_metres_per_second(epoch->input_units);
            settings.factor = *factor;
            if (options.baseline == Baseline::mean) remove_mean(component.samples);
            if (options.baseline == Baseline::line) remove_line(component.samples);
            apply_taper(component.samples, options.taper);
            component.tapered = true;
            remove_response(component.samples, component.interval, epoch->stages, settings);
            component.correction = settings.differentiate ? "full-differentiated" : "full";
            prefilter = settings.prefilter;
        } else {
            for (double& sample : component.samples) sample *= *factor;
            component.correction = "sensitivity";
        }
        component.units = "cm/s/s";
        component.sensitivity = epoch->sensitivity;
        take_orientation_and_place(component, *epoch);
        if (used.find(epoch->source) == std::string::npos) used += (used.empty() ? "" : ",") + epoch->source;
    }
    if (!used.empty()) notes.add("inventory", used);
    if (prefilter) {
        notes.add("prefilter", list_text(*prefilter));
        notes.add("water_level", number_text(options.water_level_db));
    }
    return notes;
}

}  // namespace smwave::table

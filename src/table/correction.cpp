#include "table/correction.hpp"

#include <cmath>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"
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

// The checks before a channel's sensitivity is used; the factor from counts to cm/s/s when they pass.
Result<double> checked_factor(const Component& component, const ChannelEpoch& epoch) {
    const std::string channel = "channel " + codes_of(component).text() + " (" + epoch.source + "): ";
    const auto refuse = [&](const std::string& what) { return Problem{component.source, 0, channel + what}; };
    if (!epoch.sensitivity || *epoch.sensitivity == 0 || !std::isfinite(*epoch.sensitivity))
        return refuse("check of the sensitivity: no usable InstrumentSensitivity/Value");
    const auto to_gal = factor_to_gal(epoch.input_units);
    if (!to_gal || !is_counts(epoch.output_units)) {
        std::string what = "check of the units: the sensitivity is in " + epoch.output_units + " per " +
                           epoch.input_units + ", not counts per acceleration";
        if (is_metres_per_second(epoch.input_units))
            what += " (a velocity sensor: its acceleration needs the whole response, which is not applied here)";
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
    return *to_gal / *epoch.sensitivity;
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
                       "--units " + units + " is not a unit of acceleration known here (m/s**2, cm/s**2, gal, "
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

Result<std::string> correct_components(std::vector<Component>& components, const CorrectionOptions& options) {
    if (!options.units.empty()) {
        if (auto problem = apply_units(components, options.units)) return *problem;
        return std::string();
    }
    auto inventory = find_inventory(components, options);
    if (!inventory) return inventory.problem();
    if (!*inventory) return std::string();
    std::string used;
    for (auto& component : components) {
        if (!needs_correction(component)) continue;
        if (!component.start)
            return Problem{component.source, 0, "the record's start is unknown, so no epoch of its channel can be chosen"};
        auto epoch = (*inventory)->epoch_at(codes_of(component), *component.start);
        if (!epoch) return epoch.problem();
        auto factor = checked_factor(component, *epoch);
        if (!factor) return factor.problem();
        for (double& sample : component.samples) sample *= *factor;
        component.units = "cm/s/s";
        component.correction = "sensitivity";
        component.sensitivity = epoch->sensitivity;
        take_orientation_and_place(component, *epoch);
        if (used.find(epoch->source) == std::string::npos) used += (used.empty() ? "" : ",") + epoch->source;
    }
    return used;
}

}  // namespace smwave::table

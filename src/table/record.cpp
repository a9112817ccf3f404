#include "table/record.hpp"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <functional>

#include "companion/number_text.hpp"
#include "table/text_lines.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

std::string seconds_text(double seconds) {
    std::string text;
    companion::append_shortest(text, seconds);
    return text + " s";
}

companion::Status check_compatible(const std::vector<Component>& components, const AssemblyOptions& options) {
    const Component& first = components[0];
    for (const auto& other : components) {
        if (std::abs(other.interval - first.interval) > 1e-6 * first.interval) {
            std::string what = "sampling interval ";
            companion::append_shortest(what, other.interval);
            what += " s differs from the ";
            companion::append_shortest(what, first.interval);
            what += " s of " + first.source;
            return Problem{other.source, 0, what};
        }
        if (!options.trim && first.start && other.start &&
            std::abs(static_cast<double>(*other.start) - static_cast<double>(*first.start)) >
                0.5e6 * first.interval) {
            const double apart =
                (static_cast<double>(*other.start) - static_cast<double>(*first.start)) / 1e6;
            return Problem{other.source, 0,
                           "starts " + seconds_text(std::abs(apart)) + (apart > 0 ? " after " : " before ") +
                               first.source +
                               " (more than half a sample); --trim cuts the three to their "
                               "common time span"};
        }
        if (other.station != first.station || other.network != first.network) {
            return Problem{other.source, 0,
                           "is of station " + other.network + (other.network.empty() ? "" : ".") +
                               other.station + ", " + first.source + " of " + first.network +
                               (first.network.empty() ? "" : ".") + first.station +
                               ": a table holds one station"};
        }
    }
    // KiK-net sensors: every component that has one against the first that has one.
    const Component* sensed = nullptr;
    for (const auto& other : components) {
        if (other.sensor == Sensor::unknown) continue;
        if (sensed == nullptr) sensed = &other;
        if (!options.allow_mixed_sensors && other.sensor != sensed->sensor) {
            return Problem{other.source, 0,
                           "KiK-net borehole (1-3) and surface (4-6) sensors mixed with " + sensed->source +
                               "; use --allow-mixed to combine them anyway"};
        }
    }
    if (!(first.interval > 0) || !std::isfinite(first.interval)) {
        return Problem{first.source, 0, "the sampling interval is not a positive number"};
    }
    return std::nullopt;
}

std::string scale_text(const std::vector<double>& scale) {
    if (scale.empty()) return "1";
    std::string text;
    for (const double factor : scale) {
        if (!text.empty()) text += ',';
        companion::append_shortest(text, factor);
    }
    return text;
}

std::string units_text(const std::vector<Component>& components) {
    std::string text = components[0].units;
    for (const auto& other : components) {
        if (other.units != components[0].units) {
            return components[0].units + "," + components[1].units + "," + components[2].units;
        }
    }
    return text;
}

char direction_of(std::string_view name) {
    const char last = name.empty() ? ' ' : name.back();
    switch (last) {
        case 'E':
        case 'e':
        case '1':
            return 'E';
        case 'N':
        case 'n':
        case '2':
            return 'N';
        case 'Z':
        case 'z':
        case '3':
            return 'Z';
        default:
            return ' ';
    }
}

std::string names_of(const std::vector<Component>& components) {
    std::string names;
    for (const auto& component : components) names += (names.empty() ? "" : ", ") + component.name;
    return names;
}

}  // namespace

Result<std::vector<Component>> order_channels(std::vector<Component> components,
                                              const std::vector<std::string>& wanted) {
    const std::string source = components.empty() ? std::string() : components[0].source;
    std::vector<Component> ordered;
    if (!wanted.empty()) {
        if (wanted.size() != 3) return Problem{"", 0, "--channels names three channels"};
        for (const auto& name : wanted) {
            std::size_t found = components.size();
            for (std::size_t k = 0; k < components.size(); ++k) {
                if (lower_case(components[k].name) != lower_case(name)) continue;
                if (found != components.size())
                    return Problem{source, 0, "more than one channel is named " + name};
                found = k;
            }
            if (found == components.size()) {
                return Problem{source, 0,
                               "no channel " + name + " (the file holds " + names_of(components) + ")"};
            }
            ordered.push_back(components[found]);
        }
        return ordered;
    }
    for (const char direction : {'E', 'N', 'Z'}) {
        std::size_t found = components.size();
        for (std::size_t k = 0; k < components.size(); ++k) {
            if (direction_of(components[k].name) != direction) continue;
            if (found != components.size())
                found = components.size() + 1;
            else
                found = k;
        }
        if (found >= components.size()) {
            return Problem{source, 0,
                           "cannot tell the east, north and vertical channels among " + names_of(components) +
                               ": name them with --channels"};
        }
        ordered.push_back(std::move(components[found]));
    }
    return ordered;
}

namespace {

bool is_vertical(const Component& component) { return component.dip && std::abs(*component.dip) == 90; }
bool is_horizontal(const Component& component) { return component.dip && *component.dip == 0; }

// Whether horizontal `a` is the east-like one of the pair `a`, `b`.
bool east_like(const Component& a, const Component& b) {
    if (!a.azimuth || !b.azimuth) return true;
    constexpr double degree = 3.14159265358979323846 / 180;
    const double east_a = std::abs(std::sin(*a.azimuth * degree));
    const double east_b = std::abs(std::sin(*b.azimuth * degree));
    if (std::abs(east_a - east_b) > 1e-9) return east_a > east_b;
    return std::fmod(*a.azimuth - *b.azimuth + 720.0, 360.0) <= 180.0;
}

}  // namespace

std::vector<Component> order_by_azimuth(std::vector<Component> components) {
    if (components.size() == 2 && is_horizontal(components[0]) && is_horizontal(components[1])) {
        Component missing;
        missing.samples.assign(components[0].samples.size(), 0.0);
        missing.interval = components[0].interval;
        missing.start = components[0].start;
        missing.network = components[0].network;
        missing.station = components[0].station;
        missing.name = "none";
        missing.units = components[0].units;
        missing.source = components[0].source;
        missing.absent = true;
        missing.dip = -90.0;
        components.push_back(std::move(missing));
    }
    if (components.size() != 3) return components;
    std::vector<std::size_t> horizontals, verticals;
    for (std::size_t k = 0; k < 3; ++k) {
        if (is_vertical(components[k])) verticals.push_back(k);
        if (is_horizontal(components[k])) horizontals.push_back(k);
    }
    if (horizontals.size() != 2 || verticals.size() != 1) return components;
    if (!east_like(components[horizontals[0]], components[horizontals[1]]))
        std::swap(horizontals[0], horizontals[1]);
    return {std::move(components[horizontals[0]]), std::move(components[horizontals[1]]),
            std::move(components[verticals[0]])};
}

namespace {

// Cuts the components to the span that all of them cover; a warning says what each lost.
companion::Status trim_to_common_span(std::vector<Component>& components,
                                      std::vector<std::string>& warnings) {
    for (const auto& component : components) {
        if (!component.start)
            return Problem{component.source, 0, "--trim needs the start time of every component"};
    }
    const double period = components[0].interval * 1e6;
    std::int64_t latest = *components[0].start;
    for (const auto& component : components) latest = std::max(latest, *component.start);
    std::vector<std::size_t> leading;
    std::size_t common = SIZE_MAX;
    for (const auto& component : components) {
        const auto skip =
            static_cast<std::size_t>(std::llround(static_cast<double>(latest - *component.start) / period));
        leading.push_back(skip);
        common = std::min(common, component.samples.size() > skip ? component.samples.size() - skip : 0);
    }
    if (common < 2) return Problem{"", 0, "the components share fewer than two samples of time"};
    std::string dropped;
    bool any = false;
    for (std::size_t k = 0; k < components.size(); ++k) {
        auto& samples = components[k].samples;
        const std::size_t trailing = samples.size() - leading[k] - common;
        any = any || leading[k] > 0 || trailing > 0;
        samples.erase(samples.begin(), samples.begin() + static_cast<std::ptrdiff_t>(leading[k]));
        samples.resize(common);
        components[k].start = *components[k].start + std::llround(static_cast<double>(leading[k]) * period);
        dropped += (k ? ", " : "") + std::to_string(leading[k]) + "+" + std::to_string(trailing);
    }
    if (any) {
        warnings.push_back("--trim: samples dropped from the start+end of each component: " + dropped + " (" +
                           std::to_string(common) + " kept)");
    }
    return std::nullopt;
}

// A list of the three components' values for the metadata, "-" for what is unknown.
std::string component_list(const std::vector<Component>& components,
                           const std::function<std::string(const Component&)>& value) {
    std::string list;
    for (const auto& component : components) {
        const std::string text = value(component);
        list += (list.empty() ? "" : ",") + (text.empty() ? std::string("-") : text);
    }
    return list;
}

std::string number_or_empty(std::optional<double> value) {
    std::string text;
    if (value) companion::append_shortest(text, *value);
    return text;
}

void note_processing(Record& record, const std::vector<Component>& components,
                     const AssemblyOptions& options) {
    companion::TableMetadata& notes = record.processing;
    notes.add("baseline", baseline_word(options.baseline));
    notes.add("taper", number_or_empty(options.taper));
    notes.add("correction", component_list(components, [](const Component& c) { return c.correction; }));
    const bool sensed = std::any_of(components.begin(), components.end(),
                                    [](const Component& c) { return c.sensitivity.has_value(); });
    if (sensed) {
        notes.add("sensitivity", component_list(components, [](const Component& c) {
                      return number_or_empty(c.sensitivity);
                  }));
    }
    for (const auto& [key, value] : options.correction_notes.items) notes.add(key, value);
    notes.add("scale", scale_text(options.scale));
}

}  // namespace

Result<Record> assemble_record(std::vector<Component> components, const AssemblyOptions& options,
                               std::vector<std::string>& warnings) {
    if (components.size() == 1) {
        return Problem{
            components[0].source, 0,
            "a single-component input: a table needs three components (give three single-component "
            "files, or one file of three)"};
    }
    if (components.size() != 3) {
        return Problem{"", 0,
                       "a table needs three components; the inputs give " +
                           std::to_string(components.size()) +
                           " (give three single-component files, or one file of three)"};
    }
    if (options.scale.size() != 0 && options.scale.size() != 1 && options.scale.size() != 3) {
        return Problem{"", 0, "--scale takes one factor or three"};
    }
    if (!(options.taper >= 0 && options.taper <= 0.5))
        return Problem{"", 0, "--taper takes a fraction from 0 to 0.5"};
    if (auto problem = check_compatible(components, options)) return *problem;
    if (options.trim) {
        if (auto problem = trim_to_common_span(components, warnings)) return *problem;
    }

    Record record;
    const Component& first = components[0];
    record.network = first.network;
    record.station = first.station;
    record.location = first.location;
    record.site = first.site;
    record.origin = first.origin;
    record.interval = first.interval;
    record.start = first.start;
    record.units = units_text(components);
    std::size_t longest = 0;
    for (const auto& component : components) longest = std::max(longest, component.samples.size());
    if (longest < 2) return Problem{first.source, 0, "the record has fewer than two samples"};
    if (options.limit) longest = std::min(longest, *options.limit);
    note_processing(record, components, options);
    std::string lengths;
    bool padded = false;
    for (std::size_t k = 0; k < 3; ++k) {
        Component& component = components[k];
        record.names[k] = component.name.empty() ? "comp" + std::to_string(k + 1) : component.name;
        record.azimuths[k] = component.azimuth;
        record.dips[k] = component.dip;
        record.absent[k] = component.absent;
        for (const auto& [key, value] : component.stated.items) {
            if (!record.stated.find(key)) record.stated.add(key, value);
        }
        if (!component.absent && (record.sources.empty() || record.sources.back() != component.source))
            record.sources.push_back(component.source);
        lengths += (k ? ", " : "") + std::to_string(component.samples.size());
        padded = padded || component.samples.size() < longest;
        const double factor = options.scale.empty() ? 1.0 : options.scale[options.scale.size() == 1 ? 0 : k];
        std::vector<double>& samples = component.samples;
        if (samples.size() > longest) samples.resize(longest);
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] *= factor;
            if (!std::isfinite(samples[i])) {
                return Problem{component.source, 0,
                               "sample " + std::to_string(i + 1) + " is not a finite number" +
                                   (factor != 1.0 ? " after scaling" : "")};
            }
        }
        if (options.baseline == Baseline::mean) remove_mean(samples);
        if (options.baseline == Baseline::line) remove_line(samples);
        if (!component.tapered) apply_taper(samples, options.taper);
        samples.resize(longest, 0.0);
        record.samples[k] = std::move(samples);
    }
    if (padded) {
        warnings.push_back("components of different lengths (" + lengths +
                           " samples): the shorter ones are padded with zeros to " + std::to_string(longest));
    }
    if (longest > transform_limit) {
        warnings.push_back("the record has " + std::to_string(longest) +
                           " samples; smwave transforms at most " + std::to_string(transform_limit) +
                           " (keep the first ones with --limit)");
    }
    const bool counts = std::any_of(components.begin(), components.end(),
                                    [](const Component& c) { return c.units == "counts"; });
    if (counts && options.scale.empty()) {
        warnings.push_back(
            "the samples are still counts, not physical units: give the channels' StationXML "
            "with --inventory, or their units with --units");
    }
    return record;
}

}  // namespace smwave::table

#include "table/record.hpp"

#include <cmath>

#include "companion/number_text.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

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
        if (first.start && other.start &&
            std::abs(static_cast<double>(*other.start) - static_cast<double>(*first.start)) >
                0.5e6 * first.interval) {
            return Problem{other.source, 0, "starts more than half a sample apart from " + first.source};
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

std::string lower(std::string_view text) {
    std::string result(text);
    for (char& c : result) {
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    }
    return result;
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
                if (lower(components[k].name) != lower(name)) continue;
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

Result<Record> assemble_record(std::vector<Component> components, const AssemblyOptions& options,
                               std::vector<std::string>& warnings) {
    if (components.size() != 3) {
        return Problem{"", 0,
                       "a table needs three components; the inputs give " +
                           std::to_string(components.size()) +
                           " (give three single-component files, or one file of three)"};
    }
    if (options.scale.size() != 0 && options.scale.size() != 1 && options.scale.size() != 3) {
        return Problem{"", 0, "--scale takes one factor or three"};
    }
    if (auto problem = check_compatible(components, options)) return *problem;

    Record record;
    record.station = components[0].station;
    record.interval = components[0].interval;
    record.start = components[0].start;
    record.units = units_text(components);
    record.scale = scale_text(options.scale);
    std::size_t longest = 0;
    for (const auto& component : components) longest = std::max(longest, component.samples.size());
    if (longest < 2) return Problem{components[0].source, 0, "the record has fewer than two samples"};
    std::string lengths;
    bool padded = false;
    for (std::size_t k = 0; k < 3; ++k) {
        Component& component = components[k];
        record.names[k] = component.name.empty() ? "comp" + std::to_string(k + 1) : component.name;
        if (record.sources.empty() || record.sources.back() != component.source)
            record.sources.push_back(component.source);
        lengths += (k ? ", " : "") + std::to_string(component.samples.size());
        padded = padded || component.samples.size() != longest;
        const double factor = options.scale.empty() ? 1.0 : options.scale[options.scale.size() == 1 ? 0 : k];
        std::vector<double>& samples = component.samples;
        for (std::size_t i = 0; i < samples.size(); ++i) {
            samples[i] *= factor;
            if (!std::isfinite(samples[i])) {
                return Problem{component.source, 0,
                               "sample " + std::to_string(i + 1) + " is not a finite number" +
                                   (factor != 1.0 ? " after scaling" : "")};
            }
        }
        samples.resize(longest, 0.0);
        record.samples[k] = std::move(samples);
    }
    if (padded) {
        warnings.push_back("components of different lengths (" + lengths +
                           " samples): the shorter ones are padded with zeros to " + std::to_string(longest));
    }
    std::size_t kept = longest;
    if (options.limit && *options.limit < longest) kept = *options.limit;
    for (auto& samples : record.samples) samples.resize(kept);
    if (kept > transform_limit) {
        warnings.push_back("the record has " + std::to_string(kept) + " samples; smwave transforms at most " +
                           std::to_string(transform_limit) + " (keep the first ones with --limit)");
    }
    return record;
}

}  // namespace smwave::table

#include "table/inventory.hpp"

#include <algorithm>
#include <pugixml.hpp>

#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"
#include "table/civil_time.hpp"
#include "table/xml_elements.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace fs = std::filesystem;

struct Inventory::Document {
    pugi::xml_document xml;
    std::string text;  // the buffer pugixml parsed in place
    std::string name;
};

namespace {

template <typename Visit>
void each_child(const pugi::xml_node& node, std::string_view name, const Visit& visit) {
    for (const pugi::xml_node element : node.children()) {
        if (element.type() == pugi::node_element && local_name(element) == name) visit(element);
    }
}

std::optional<double> number_of(const pugi::xml_node& node) {
    if (!node) return std::nullopt;
    return companion::parse_number(node.child_value());
}

std::optional<std::int64_t> time_of(const pugi::xml_attribute& attribute) {
    if (!attribute) return std::nullopt;
    return parse_iso_date_time(attribute.value());
}

// "--" is how some files write the empty location code.
std::string location_code(std::string_view code) { return code == "--" ? std::string() : std::string(code); }

// Ends in the far future (2500-12-31, 2599-12-31, 3000-01-01 are written) stand for an open epoch.
bool is_far_future(std::int64_t time) {
    return time >= days_from_civil(2400, 1, 1) * 86400 * microseconds_per_second;
}

// The numbers of the elements `name`; each that does not read is counted in `unreadable` and left out.
std::vector<double> numbers_of(const pugi::xml_node& node, std::string_view name, std::size_t& unreadable) {
    std::vector<double> values;
    each_child(node, name, [&](const pugi::xml_node& element) {
        if (const auto value = number_of(element)) values.push_back(*value);
        else ++unreadable;
    });
    return values;
}

// The poles or zeros `name`; a missing part is 0, a part that does not read is counted in `unreadable`.
std::vector<std::complex<double>> roots_of(const pugi::xml_node& node, std::string_view name, std::size_t& unreadable) {
    std::vector<std::complex<double>> roots;
    each_child(node, name, [&](const pugi::xml_node& root) {
        const auto part = [&](const char* which) {
            const pugi::xml_node element = child_element(root, which);
            const auto value = number_of(element);
            if (element && !value) ++unreadable;
            return value.value_or(0);
        };
        const double real = part("Real");
        roots.emplace_back(real, part("Imaginary"));
    });
    return roots;
}

ResponseStage stage_of(const pugi::xml_node& element) {
    ResponseStage stage;
    stage.gain = number_of(child_element(child_element(element, "StageGain"), "Value")).value_or(1);
    const pugi::xml_node decimation = child_element(element, "Decimation");
    stage.input_rate = number_of(child_element(decimation, "InputSampleRate")).value_or(0);
    stage.correction = number_of(child_element(decimation, "Correction")).value_or(0);
    pugi::xml_node filter;
    if ((filter = child_element(element, "PolesZeros"))) {
        stage.kind = StageKind::poles_zeros;
        const std::string_view type = child_element(filter, "PzTransferFunctionType").child_value();
        stage.hertz = type.find("HERTZ") != std::string_view::npos;
        stage.digital = type.find("DIGITAL") != std::string_view::npos;
        stage.normalization = number_of(child_element(filter, "NormalizationFactor")).value_or(1);
        stage.zeros = roots_of(filter, "Zero", stage.unreadable);
        stage.poles = roots_of(filter, "Pole", stage.unreadable);
    } else if ((filter = child_element(element, "Coefficients"))) {
        stage.kind = StageKind::coefficients;
        const std::string_view type = child_element(filter, "CfTransferFunctionType").child_value();
        stage.hertz = type.find("HERTZ") != std::string_view::npos;
        stage.digital = type.find("DIGITAL") != std::string_view::npos;
        stage.numerators = numbers_of(filter, "Numerator", stage.unreadable);
        stage.denominators = numbers_of(filter, "Denominator", stage.unreadable);
    } else if ((filter = child_element(element, "FIR"))) {
        stage.kind = StageKind::fir;
        stage.digital = true;
        stage.numerators = fir_taps(numbers_of(filter, "NumeratorCoefficient", stage.unreadable),
                                    child_element(filter, "Symmetry").child_value());
    } else if (child_element(element, "ResponseList") || child_element(element, "Polynomial")) {
        stage.kind = StageKind::unsupported;
    }
    if (filter) {
        stage.input_units = child_element(child_element(filter, "InputUnits"), "Name").child_value();
        stage.output_units = child_element(child_element(filter, "OutputUnits"), "Name").child_value();
    }
    return stage;
}

ChannelEpoch epoch_of(const pugi::xml_node& station, const pugi::xml_node& channel,
                      const std::string& source) {
    ChannelEpoch epoch;
    epoch.source = source;
    epoch.start = time_of(channel.attribute("startDate"));
    epoch.end = time_of(channel.attribute("endDate"));
    if (epoch.end && is_far_future(*epoch.end)) epoch.end.reset();
    for (const auto& place : {channel, station}) {
        if (!epoch.site.latitude) epoch.site.latitude = number_of(child_element(place, "Latitude"));
        if (!epoch.site.longitude) epoch.site.longitude = number_of(child_element(place, "Longitude"));
        if (!epoch.site.elevation) epoch.site.elevation = number_of(child_element(place, "Elevation"));
    }
    epoch.azimuth = number_of(child_element(channel, "Azimuth"));
    epoch.dip = number_of(child_element(channel, "Dip"));
    epoch.sample_rate = number_of(child_element(channel, "SampleRate"));
    const pugi::xml_node response = child_element(channel, "Response");
    const pugi::xml_node sensitivity = child_element(response, "InstrumentSensitivity");
    if (sensitivity) {
        epoch.sensitivity = number_of(child_element(sensitivity, "Value"));
        epoch.sensitivity_frequency = number_of(child_element(sensitivity, "Frequency"));
        epoch.input_units = child_element(child_element(sensitivity, "InputUnits"), "Name").child_value();
        epoch.output_units = child_element(child_element(sensitivity, "OutputUnits"), "Name").child_value();
    }
    each_child(response, "Stage", [&](const pugi::xml_node& stage) {
        if (const auto gain = number_of(child_element(child_element(stage, "StageGain"), "Value")))
            epoch.stage_gains.push_back(*gain);
        epoch.stages.push_back(stage_of(stage));
    });
    return epoch;
}

bool codes_match(const pugi::xml_node& node, std::string_view code) {
    return code == node.attribute("code").value();
}

std::string epoch_text(const ChannelEpoch& epoch) {
    return (epoch.start ? format_utc(*epoch.start) : std::string("...")) + " to " +
           (epoch.end ? format_utc(*epoch.end) : std::string("open"));
}

// The root element's local name, read by pugixml from the first bytes alone.
std::string root_name(std::string_view content) {
    const std::size_t head = std::min<std::size_t>(content.size(), 4096);
    std::size_t at = 0;
    while (true) {
        at = content.find('<', at);
        if (at == std::string_view::npos || at + 1 >= head) return {};
        const char next = content[at + 1];
        if (next != '?' && next != '!') break;
        ++at;
    }
    const std::size_t end = content.find_first_of(" \t\r\n/>", at + 1);
    if (end == std::string_view::npos) return {};
    std::string name(content.substr(at + 1, end - at - 1));
    const std::size_t colon = name.find(':');
    return colon == std::string::npos ? name : name.substr(colon + 1);
}

}  // namespace

std::string ChannelCodes::text() const { return network + "." + station + "." + location + "." + channel; }

bool looks_like_stationxml(std::string_view content) { return root_name(content) == "FDSNStationXML"; }

bool looks_like_quakeml(std::string_view content) { return root_name(content) == "quakeml"; }

Inventory::Inventory() = default;
Inventory::Inventory(Inventory&&) noexcept = default;
Inventory& Inventory::operator=(Inventory&&) noexcept = default;
Inventory::~Inventory() = default;

Result<Inventory> Inventory::parse(std::string text, const std::string& name) {
    auto document = std::make_unique<Document>();
    document->text = std::move(text);
    document->name = name;
    const pugi::xml_parse_result parsed =
        document->xml.load_buffer_inplace(document->text.data(), document->text.size(), pugi::parse_default);
    if (!parsed) {
        return Problem{name, static_cast<std::uint64_t>(parsed.offset),
                       std::string("not readable as XML: ") + parsed.description(), true};
    }
    if (local_name(document->xml.document_element()) != "FDSNStationXML") {
        return Problem{name, 0, "is not a StationXML inventory (its root element is not FDSNStationXML)"};
    }
    Inventory inventory;
    inventory.origin_ = name;
    inventory.documents_.push_back(std::move(document));
    return inventory;
}

Result<Inventory> Inventory::load(const fs::path& path) {
    std::error_code error;
    if (!fs::is_directory(path, error)) {
        auto text = companion::read_whole_file(path);
        if (!text) return text.problem();
        return parse(std::move(*text), path.string());
    }
    std::vector<fs::path> files;
    for (const auto& entry : fs::directory_iterator(path, error)) {
        if (entry.path().extension() == ".xml") files.push_back(entry.path());
    }
    if (error) return Problem{path.string(), 0, "cannot read the folder: " + error.message()};
    if (files.empty()) return Problem{path.string(), 0, "the folder holds no .xml file"};
    std::sort(files.begin(), files.end());
    Inventory inventory;
    inventory.origin_ = path.string();
    for (const auto& file : files) {
        auto one = load(file);
        if (!one) return one.problem();
        for (auto& document : one->documents_) inventory.documents_.push_back(std::move(document));
    }
    return inventory;
}

Result<ChannelEpoch> Inventory::epoch_at(const ChannelCodes& codes, std::int64_t time) const {
    std::vector<ChannelEpoch> epochs;
    for (const auto& document : documents_) {
        const pugi::xml_node root = document->xml.document_element();
        each_child(root, "Network", [&](const pugi::xml_node& network) {
            if (!codes_match(network, codes.network)) return;
            each_child(network, "Station", [&](const pugi::xml_node& station) {
                if (!codes_match(station, codes.station)) return;
                each_child(station, "Channel", [&](const pugi::xml_node& channel) {
                    if (!codes_match(channel, codes.channel) ||
                        location_code(channel.attribute("locationCode").value()) != codes.location)
                        return;
                    epochs.push_back(epoch_of(station, channel, document->name));
                });
            });
        });
    }
    if (epochs.empty()) return Problem{origin_, 0, "has no channel " + codes.text()};
    for (const auto& epoch : epochs) {
        if ((!epoch.start || *epoch.start <= time) && (!epoch.end || time < *epoch.end)) return epoch;
    }
    std::string known;
    for (const auto& epoch : epochs) known += (known.empty() ? "" : "; ") + epoch_text(epoch);
    return Problem{origin_, 0,
                   "no epoch of channel " + codes.text() + " covers the record's start " + format_utc(time) +
                       " (epochs: " + known + ")"};
}

}  // namespace smwave::table

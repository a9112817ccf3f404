#include "event/quakeml.hpp"

#include <pugixml.hpp>

#include <cmath>
#include <string_view>
#include <vector>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"
#include "table/xml_elements.hpp"

namespace smwave::event {

using companion::Problem;

namespace {

using table::child_element;
using table::local_name;

std::vector<pugi::xml_node> children(const pugi::xml_node& node, std::string_view name) {
    std::vector<pugi::xml_node> found;
    for (const pugi::xml_node& c : node.children()) {
        if (c.type() == pugi::node_element && local_name(c) == name) found.push_back(c);
    }
    return found;
}

std::string text_of(const pugi::xml_node& node) { return node.child_value(); }

// The element of `name` whose publicID is the text of `preferred`, else the first.
pugi::xml_node preferred(const pugi::xml_node& event, std::string_view name,
                         std::string_view preferred_name) {
    const auto all = children(event, name);
    if (all.empty()) return {};
    const std::string id = text_of(child_element(event, preferred_name));
    for (const auto& node : all) {
        if (!id.empty() && id == node.attribute("publicID").value()) return node;
    }
    return all.front();
}

std::optional<double> value_of(const pugi::xml_node& node, std::string_view name) {
    return companion::parse_number(text_of(child_element(child_element(node, name), "value")));
}

}  // namespace

companion::Result<EventOrigin> read_quakeml(const std::filesystem::path& file) {
    const std::string name = file.string();
    pugi::xml_document document;
    const pugi::xml_parse_result parsed = document.load_file(file.c_str());
    if (!parsed) return Problem{name, 0, std::string("is no XML document: ") + parsed.description()};
    const pugi::xml_node root = document.document_element();
    if (local_name(root) != "quakeml") return Problem{name, 0, "is no QuakeML document"};
    const auto events = children(child_element(root, "eventParameters"), "event");
    if (events.size() != 1) {
        return Problem{name, 0,
                       "holds " + std::to_string(events.size()) + " events; --event takes a file of one"};
    }
    const pugi::xml_node event = events.front();
    const pugi::xml_node origin = preferred(event, "origin", "preferredOriginID");
    const auto time =
        table::parse_iso_date_time(text_of(child_element(child_element(origin, "time"), "value")));
    const auto latitude = value_of(origin, "latitude"), longitude = value_of(origin, "longitude");
    const auto depth = value_of(origin, "depth");
    if (!time || !latitude || !longitude || !depth) {
        return Problem{name, 0, "the event's origin lacks its time, latitude, longitude or depth"};
    }
    if (std::fabs(*latitude) > 90 || std::fabs(*longitude) > 360)
        return Problem{name, 0, "the event's origin is no place on the Earth (latitude beyond 90 or longitude beyond 360 degrees)"};
    EventOrigin result;
    result.time = *time;
    result.latitude = *latitude;
    result.longitude = *longitude;
    result.depth = *depth / 1000;  // QuakeML gives metres
    if (const pugi::xml_node magnitude = preferred(event, "magnitude", "preferredMagnitudeID")) {
        result.magnitude = value_of(magnitude, "mag");
        result.magnitude_type = text_of(child_element(magnitude, "type"));
    }
    result.id = event.attribute("publicID").value();
    if (result.id.empty()) result.id = origin_id(result.time);
    return result;
}

}  // namespace smwave::event

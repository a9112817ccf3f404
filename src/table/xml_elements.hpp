#pragma once
// Elements of the data centres' XML documents (StationXML, QuakeML) found by their local names,
// whatever namespace prefix a centre writes.
//
//     const pugi::xml_node origin = child_element(event, "origin");   // <q:origin> or <origin>
#include <pugixml.hpp>
#include <string_view>

namespace smwave::table {

// The element's name without its namespace prefix ("fsx:Channel" is "Channel").
inline std::string_view local_name(const pugi::xml_node& node) {
    const std::string_view name = node.name();
    const std::size_t colon = name.find(':');
    return colon == std::string_view::npos ? name : name.substr(colon + 1);
}

// The first child element of `node` named `name`, or an empty node.
inline pugi::xml_node child_element(const pugi::xml_node& node, std::string_view name) {
    for (const pugi::xml_node element : node.children()) {
        if (element.type() == pugi::node_element && local_name(element) == name) return element;
    }
    return {};
}

}  // namespace smwave::table

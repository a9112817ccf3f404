#include "table/labelled_header.hpp"

#include "table/text_lines.hpp"

namespace smwave::table {

const LabelledHeader::Item* LabelledHeader::find(std::string_view label) const {
    for (const auto& item : items) {
        if (item.label == label) return &item;
    }
    return nullptr;
}

bool LabelledHeader::take(std::string_view line, std::uint64_t number) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return false;
    const std::string_view label = line.substr(0, colon);
    if (trim(label).size() != label.size()) return false;
    items.push_back({label, trim(line.substr(colon + 1)), number});
    return true;
}

}  // namespace smwave::table

#include "table/info.hpp"

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"

namespace smwave::table {

namespace {

std::string csv_field(std::string_view text) {
    if (text.find_first_of(",\"\r\n") == std::string_view::npos) return std::string(text);
    std::string field = "\"";
    for (const char c : text) {
        if (c == '"') field += '"';
        field += c;
    }
    return field + '"';
}

std::string number_or_empty(std::optional<double> value) {
    std::string text;
    if (value) companion::append_shortest(text, *value);
    return text;
}

// The components' values joined by blanks, or the one value when all agree.
template <typename Value>
std::string joined(const std::vector<Component>& components, const Value& value) {
    std::string all;
    bool same = true;
    for (const auto& component : components) {
        const std::string text = value(component);
        same = same && text == value(components[0]);
        all += (all.empty() ? "" : " ") + text;
    }
    return same ? value(components[0]) : all;
}

}  // namespace

std::string info_header() {
    return "path,format,network,station,location,channel,start,sample_rate,samples,units,latitude,longitude,"
           "origin_time,origin_latitude,origin_longitude,origin_depth,magnitude,problem\n";
}

std::string info_row(const std::string& path, const ConversionOptions& options, bool& readable) {
    auto input = read_one(path, options);
    readable = static_cast<bool>(input);
    if (!input)
        return csv_field(path) + std::string(16, ',') + ',' +
               csv_field(companion::describe(input.problem())) + '\n';
    const auto& components = input->reading.components;
    const Component& first = components.front();
    const std::string fields[] = {
        path,
        std::string(format_name(input->format)),
        first.network,
        first.station,
        first.location,
        joined(components, [](const Component& c) { return c.name; }),
        first.start ? format_utc(*first.start) : std::string(),
        number_or_empty(1 / first.interval),
        joined(components, [](const Component& c) { return std::to_string(c.samples.size()); }),
        first.units,
        number_or_empty(first.site.latitude),
        number_or_empty(first.site.longitude),
        first.origin.time ? format_utc(*first.origin.time) : std::string(),
        number_or_empty(first.origin.latitude),
        number_or_empty(first.origin.longitude),
        number_or_empty(first.origin.depth),
        number_or_empty(first.origin.magnitude),
        std::string(),
    };
    std::string row;
    for (const auto& field : fields) row += (row.empty() ? "" : ",") + csv_field(field);
    return row + '\n';
}

std::size_t write_info(const ConversionOptions& options, companion::OutputFile& out) {
    out.write(info_header());
    std::size_t unreadable = 0;
    for (const auto& path : options.inputs) {
        bool readable = false;
        out.write(info_row(path, options, readable));
        if (!readable) ++unreadable;
    }
    return unreadable;
}

}  // namespace smwave::table

#include "companion/table_metadata.hpp"

#include <algorithm>

#include "companion/number_text.hpp"

namespace smwave::companion {

namespace {

bool is_key(std::string_view key) {
    if (key.empty()) return false;
    for (const char c : key) {
        if (!((c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '_')) return false;
    }
    return true;
}

bool needs_quotes(std::string_view value) {
    return value.empty() || value.find_first_of(" \t\"\\=") != std::string_view::npos;
}

// Control bytes other than the tab; a value never holds them, so the line stays one line.
bool is_control(char c) { return (static_cast<unsigned char>(c) < 32 && c != '\t') || c == 127; }

}  // namespace

void TableMetadata::add(std::string key, std::string_view value) {
    std::string text(value);
    for (char& c : text) {
        if (is_control(c)) c = '?';
    }
    items.emplace_back(std::move(key), std::move(text));
}

std::optional<std::string> TableMetadata::find(std::string_view key) const {
    for (const auto& [name, value] : items) {
        if (name == key) return value;
    }
    return std::nullopt;
}

std::vector<std::string> TableMetadata::all(std::string_view key) const {
    std::vector<std::string> values;
    for (const auto& [name, value] : items) {
        if (name == key) values.push_back(value);
    }
    return values;
}

std::optional<double> TableMetadata::number(std::string_view key) const {
    const auto value = find(key);
    if (!value) return std::nullopt;
    return parse_number(*value);
}

std::string format_metadata(const TableMetadata& metadata) {
    std::string line;
    for (const auto& [key, value] : metadata.items) {
        if (!line.empty()) line += ' ';
        line += key;
        line += '=';
        if (!needs_quotes(value)) {
            for (const char c : value) line += is_control(c) ? '?' : c;
            continue;
        }
        line += '"';
        for (const char c : value) {
            if (c == '"' || c == '\\') line += '\\';
            line += is_control(c) ? '?' : c;
        }
        line += '"';
    }
    return line;
}

std::optional<TableMetadata> parse_metadata(std::string_view line) {
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.remove_suffix(1);
    if (std::any_of(line.begin(), line.end(), is_control)) return std::nullopt;
    TableMetadata metadata;
    std::size_t at = 0;
    while (at < line.size()) {
        while (at < line.size() && line[at] == ' ') ++at;
        if (at == line.size()) break;
        const std::size_t equals = line.find('=', at);
        if (equals == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(at, equals - at);
        if (!is_key(key)) return std::nullopt;
        at = equals + 1;
        std::string value;
        if (at < line.size() && line[at] == '"') {
            ++at;
            while (true) {
                if (at >= line.size()) return std::nullopt;  // no closing quote
                char c = line[at++];
                if (c == '"') break;
                if (c == '\\') {
                    if (at >= line.size()) return std::nullopt;
                    c = line[at++];
                }
                value += c;
            }
            if (at < line.size() && line[at] != ' ') return std::nullopt;
        } else {
            const std::size_t end = std::min(line.find(' ', at), line.size());
            value = std::string(line.substr(at, end - at));
            if (value.find('"') != std::string::npos) return std::nullopt;
            at = end;
        }
        metadata.items.emplace_back(std::string(key), std::move(value));
    }
    if (metadata.items.empty()) return std::nullopt;
    return metadata;
}

std::vector<std::string> split_commas(std::string_view list) {
    std::vector<std::string> values;
    while (true) {
        const std::size_t comma = list.find(',');
        values.emplace_back(list.substr(0, comma));
        if (comma == std::string_view::npos) break;
        list.remove_prefix(comma + 1);
    }
    return values;
}

std::array<bool, 3> absent_components(const TableMetadata& metadata) {
    std::array<bool, 3> absent{};
    const auto list = metadata.find("absent");
    if (!list) return absent;
    for (const auto& item : split_commas(*list)) {
        if (item == "1" || item == "2" || item == "3") absent[static_cast<std::size_t>(item[0] - '1')] = true;
    }
    return absent;
}

}  // namespace smwave::companion

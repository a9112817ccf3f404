#include "table/text_values.hpp"

#include <charconv>
#include <cmath>

#include "companion/number_text.hpp"

namespace smwave::table {

using companion::Problem;
using companion::Result;

namespace {

std::optional<std::size_t> whole_number(std::string_view text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || text.empty()) return std::nullopt;
    return value;
}

}  // namespace

std::optional<FieldLayout> parse_field_layout(std::string_view text) {
    text = trim(text);
    if (text.starts_with('(')) text.remove_prefix(1);
    if (text.ends_with(')')) text.remove_suffix(1);
    std::size_t letter = 0;
    while (letter < text.size() && text[letter] >= '0' && text[letter] <= '9') ++letter;
    if (letter == text.size()) return std::nullopt;
    const char kind = static_cast<char>(text[letter] & ~0x20);
    if (kind != 'F' && kind != 'E' && kind != 'G' && kind != 'I' && kind != 'D') return std::nullopt;
    const auto repeat = letter == 0 ? std::optional<std::size_t>(1) : whole_number(text.substr(0, letter));
    std::string_view rest = text.substr(letter + 1);
    const std::size_t point = rest.find('.');
    const auto width = whole_number(rest.substr(0, point));
    if (!repeat || !width || *repeat == 0 || *width == 0 || *repeat > 1000 || *width > 1000)
        return std::nullopt;
    return FieldLayout{*repeat, *width};
}

Result<std::vector<double>> read_values(TextLines& lines, std::size_t count, const FieldLayout& layout,
                                        const std::string& name, std::string_view what) {
    std::vector<double> values;
    values.reserve(count);
    std::string_view line;
    while (values.size() < count) {
        if (!lines.next(line)) {
            return Problem{name, lines.number() + 1,
                           "the " + std::string(what) + " end after " + std::to_string(values.size()) +
                               " of the " + std::to_string(count) + " values the header states"};
        }
        if (layout.width == 0) {
            for (std::string_view word = take_word(line); !word.empty(); word = take_word(line)) {
                const auto value = companion::parse_number(word);
                if (!value) return Problem{name, lines.number(), quoted(word) + " is not a number"};
                if (values.size() == count) {
                    return Problem{name, lines.number(),
                                   "more " + std::string(what) + " values than the " + std::to_string(count) +
                                       " the header states"};
                }
                values.push_back(*value);
            }
            continue;
        }
        for (std::size_t at = layout.indent; at < line.size(); at += layout.width) {
            const std::string_view field = line.substr(at, layout.width);
            if (trim(field).empty()) continue;
            const auto value = companion::parse_number(field);
            if (!value) return Problem{name, lines.number(), quoted(trim(field)) + " is not a number"};
            if (values.size() == count) {
                return Problem{name, lines.number(),
                               "more " + std::string(what) + " values than the " + std::to_string(count) +
                                   " the header states"};
            }
            values.push_back(*value);
        }
    }
    return values;
}

Result<std::vector<std::optional<double>>> read_field_lines(TextLines& lines, std::size_t line_count,
                                                            const FieldLayout& layout,
                                                            const std::string& name, std::string_view what) {
    std::vector<std::optional<double>> slots;
    slots.reserve(line_count * layout.per_line);
    std::string_view line;
    for (std::size_t l = 0; l < line_count; ++l) {
        if (!lines.next(line)) {
            return Problem{name, lines.number() + 1,
                           "the " + std::string(what) + " end after " + std::to_string(l) + " of their " +
                               std::to_string(line_count) + " lines"};
        }
        for (std::size_t f = 0; f < layout.per_line; ++f) {
            const std::size_t at = layout.indent + f * layout.width;
            if (at + layout.width > line.size() || trim(line.substr(at, layout.width)).empty()) {
                slots.emplace_back();
                continue;
            }
            const std::string_view field = line.substr(at, layout.width);
            const auto value = companion::parse_number(field);
            if (!value) return Problem{name, lines.number(), quoted(trim(field)) + " is not a number"};
            slots.push_back(value);
        }
    }
    return slots;
}

std::optional<double> number_after(std::string_view line, std::string_view label) {
    const std::size_t at = line.find(label);
    if (at == std::string_view::npos) return std::nullopt;
    std::string_view rest = line.substr(at + label.size());
    std::string_view word = take_word(rest);
    while (!word.empty() && (word.back() == ',' || word.back() == ';')) word.remove_suffix(1);
    return companion::parse_number(word);
}

bool is_sample_count(double value) {
    return value >= 0 && value <= 2147483648.0 && std::floor(value) == value;
}

}  // namespace smwave::table

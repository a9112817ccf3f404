#include "companion/number_text.hpp"

#include <charconv>
#include <cmath>

#include "companion/text.hpp"
#include "portable/float_chars.hpp"

namespace smwave::companion {

void append_shortest(std::string& text, double value) {
    char digits[32];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    text.append(digits, end);
}

namespace {

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::optional<double> parse_number(std::string_view field) {
    field = trim(field);
    if (field.empty()) return std::nullopt;
    const char* first = field.data();
    const char* last = field.data() + field.size();
    if (*first == '+') ++first;
    // Only decimal numbers: no "inf", "nan" or hexadecimal digits slip through.
    if (first == last || !(is_digit(*first) || *first == '.' || *first == '-')) return std::nullopt;
    double value = 0;
    const auto [end, error] = portable::from_chars(first, last, value);
    // A value beyond the double range is refused whether or not the conversion reports it as such.
    if (end == first || error != std::errc() || !std::isfinite(value)) return std::nullopt;
    if (end == last) return value;
    // "0.1234+124": a mantissa, then a signed exponent of three digits without its letter.
    const std::string_view rest(end, static_cast<std::size_t>(last - end));
    if (rest.size() == 4 && (rest[0] == '+' || rest[0] == '-') && is_digit(rest[1]) && is_digit(rest[2]) &&
        is_digit(rest[3])) {
        std::string spelled(first, end);
        spelled += 'e';
        spelled.append(rest);
        double exact = 0;
        const auto whole = portable::from_chars(spelled.data(), spelled.data() + spelled.size(), exact);
        if (whole.ec == std::errc() && whole.ptr == spelled.data() + spelled.size() && std::isfinite(exact)) {
            return exact;
        }
    }
    return std::nullopt;
}

}  // namespace smwave::companion

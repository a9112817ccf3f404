// Fuzz target: the number renderers over every bit pattern of a double (NaN, infinities and
// subnormals included), and of a 32-bit integer.
//
// Input: 8 bytes of a double; then optionally 4 bytes of an integer and two bytes for the w and d of
// one more Fw.d and Ew.d. Checked: E12.4 is always 12 characters, F8.4 and F8.3 always 8, any Fw.d
// or Ew.d always w; each field and the free-format double text equal a plain model of their layout
// built from the correctly rounded digits of the value (where the value lies exactly halfway between
// two renderings, only the layout is checked); the free-format double text read back lies within 9
// significant digits of the value; the free-format integer text is the integer.
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <string>
#include <string_view>

#include "fuzz_support.hpp"
#include "portable/float_chars.hpp"
#include "textio/render.hpp"

namespace smwave::fuzz {
namespace {

// Digits of a magnitude: enough for every significant digit of a double.
constexpr int exact_digits = 780;

struct Digits {
    std::string digits;  // significant digits, the first nonzero (or "0" for zero)
    int exponent;        // magnitude ~ d1.d2d3... * 10^exponent
};

// `count` significant digits of `magnitude` (finite, >= 0), correctly rounded.
Digits rounded_digits(double magnitude, int count) {
    char text[exact_digits + 32];
    const char* end =
        std::to_chars(text, text + sizeof text, magnitude, std::chars_format::scientific, count - 1).ptr;
    const std::string_view all(text, static_cast<std::size_t>(end - text));
    const std::size_t e = all.find('e');
    Digits d;
    d.digits.push_back(all[0]);
    if (e > 2) d.digits.append(all.substr(2, e - 2));
    d.exponent = std::stoi(std::string(all.substr(e + 1)));
    return d;
}

// Whether `magnitude` lies exactly halfway between two values of `kept` significant digits.
bool halfway(double magnitude, int kept) {
    if (magnitude == 0.0 || kept < 0) return false;
    const Digits exact = rounded_digits(magnitude, exact_digits);
    const std::size_t at = static_cast<std::size_t>(kept);
    if (at >= exact.digits.size() || exact.digits[at] != '5') return false;
    return exact.digits.find_first_not_of('0', at + 1) == std::string::npos;
}

// Decimals to significant digits: the digits of `magnitude` up to `decimals` after the point.
int kept_for_decimals(double magnitude, int decimals) {
    if (magnitude == 0.0) return 0;
    return rounded_digits(magnitude, exact_digits).exponent + decimals + 1;
}

std::string fixed_model(double value, int w, int d) {
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(w), '*');
    const double magnitude = std::fabs(value);
    std::string s(static_cast<std::size_t>(d) + 400, '\0');
    s.resize(static_cast<std::size_t>(
        std::to_chars(s.data(), s.data() + s.size(), magnitude, std::chars_format::fixed, d).ptr - s.data()));
    if (d == 0) s += '.';
    const bool negative = value < 0 && s.find_first_of("123456789") != std::string::npos;
    std::size_t n = s.size() + (negative ? 1 : 0);
    if (n > static_cast<std::size_t>(w)) {
        if (s[0] != '0' || n - 1 != static_cast<std::size_t>(w))
            return std::string(static_cast<std::size_t>(w), '*');
        s.erase(0, 1);
        n -= 1;
    }
    return std::string(static_cast<std::size_t>(w) - n, ' ') + (negative ? "-" : "") + s;
}

std::string exponent_model(double value, int w, int d) {
    if (!std::isfinite(value)) return std::string(static_cast<std::size_t>(w), '*');
    const bool negative = value < 0;
    int spare = w - d - 5 - (negative ? 1 : 0);
    if (spare < 0) return std::string(static_cast<std::size_t>(w), '*');
    std::string field;
    const bool zero_digit = spare > 0;
    if (zero_digit) --spare;
    field.append(static_cast<std::size_t>(spare), ' ');
    if (negative) field += '-';
    if (zero_digit) field += '0';
    field += '.';
    int x = 0;
    if (value == 0.0) {
        field.append(static_cast<std::size_t>(d), '0');
    } else {
        const Digits digits = rounded_digits(std::fabs(value), d);
        field += digits.digits;
        x = digits.exponent + 1;
    }
    const int magnitude = x < 0 ? -x : x;
    char exponent[8];
    if (magnitude <= 99) {
        std::snprintf(exponent, sizeof exponent, "E%c%02d", x < 0 ? '-' : '+', magnitude);
    } else {
        std::snprintf(exponent, sizeof exponent, "%c%03d", x < 0 ? '-' : '+', magnitude);
    }
    return field + exponent;
}

std::string free_double_model(double value) {
    std::string t = value < 0 ? " -" : "  ";
    if (value == 0.0) return t + "0.";
    const Digits d = rounded_digits(std::fabs(value), 9);
    std::string number;
    const bool plain = d.exponent >= -4 && d.exponent <= 8;
    if (plain && d.exponent >= 0) {
        number = d.digits.substr(0, static_cast<std::size_t>(d.exponent) + 1) + "." +
                 d.digits.substr(static_cast<std::size_t>(d.exponent) + 1);
    } else if (plain) {
        number = "0." + std::string(static_cast<std::size_t>(-d.exponent - 1), '0') + d.digits;
    } else {
        number = d.digits.substr(0, 1) + "." + d.digits.substr(1);
    }
    while (number.back() == '0') number.pop_back();
    if (!plain) {
        char exponent[8];
        std::snprintf(exponent, sizeof exponent, "E%c%03d", d.exponent < 0 ? '-' : '+', std::abs(d.exponent));
        number += exponent;
    }
    return t + number;
}

std::string show(double value) {
    char text[64];
    return std::string(text, std::to_chars(text, text + sizeof text, value).ptr);
}

// A field exactly halfway between two renderings may be rounded either way: only its width counts.
void check_field(const char* name, double value, int w, std::string_view field, const std::string& model,
                 bool tie) {
    if (field.size() != static_cast<std::size_t>(w)) {
        finding(std::string(name) + " is not w characters wide for " + show(value), field);
    }
    if (!tie && field != model) {
        finding(std::string(name) + " differs from its layout for " + show(value),
                std::string(field) + "\n" + model);
    }
}

void check_fixed(double value, int w, int d) {
    char out[max_field_width + 1];
    const std::size_t n = render_fixed_field(value, w, d, out);
    const bool tie =
        std::isfinite(value) && halfway(std::fabs(value), kept_for_decimals(std::fabs(value), d));
    check_field("F field", value, w, std::string_view(out, n), fixed_model(value, w, d), tie);
}

void check_exponent(double value, int w, int d) {
    char out[max_field_width + 1];
    const std::size_t n = render_exponent_field(value, w, d, out);
    const bool tie = std::isfinite(value) && halfway(std::fabs(value), d);
    check_field("E field", value, w, std::string_view(out, n), exponent_model(value, w, d), tie);
}

void check_free_double(double value) {
    char out[free_item_capacity];
    const std::size_t n = render_free_double(value, out);
    const std::string_view text(out, n);
    if (n > free_item_capacity || n < 3 || text[0] != ' ') finding("free-format double out of shape", text);
    if (!std::isfinite(value)) return;
    if ((text[1] == '-') != (value < 0)) finding("free-format double with the wrong sign position", text);
    if (!halfway(std::fabs(value), 9) && text != free_double_model(value)) {
        finding("free-format double differs from its layout for " + show(value), text);
    }
    double back = 0.0;
    const char* begin = out + (text[1] == '-' ? 1 : 2);
    const auto [end, error] = smwave::portable::from_chars(begin, out + n, back);
    if (error != std::errc() && error != std::errc::result_out_of_range) {
        finding("free-format double does not read back", text);
    }
    if (end != out + n) finding("free-format double has trailing characters", text);
    const double bound = 5.0000001e-9 * std::fabs(value) + std::numeric_limits<double>::denorm_min();
    if (error == std::errc() && std::fabs(back - value) > bound) {
        finding("free-format double is not within 9 significant digits of " + show(value), text);
    }
}

void check_free_integer(std::int32_t value) {
    char out[free_item_capacity];
    const std::size_t n = render_free_integer(value, out);
    char model[16] = " ";
    const char* end = std::to_chars(model + 1, model + sizeof model, value).ptr;
    if (std::string_view(out, n) != std::string_view(model, static_cast<std::size_t>(end - model))) {
        finding("free-format integer differs from its digits", std::string_view(out, n));
    }
}

}  // namespace
}  // namespace smwave::fuzz

using namespace smwave;
using namespace smwave::fuzz;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    prepare_process();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 8) return -1;
    double value;
    std::memcpy(&value, data, sizeof value);
    check_exponent(value, 12, 4);
    check_fixed(value, 8, 4);
    check_fixed(value, 8, 3);
    check_free_double(value);
    if (size >= 12) {
        std::int32_t integer;
        std::memcpy(&integer, data + 8, sizeof integer);
        check_free_integer(integer);
    }
    if (size >= 14) {
        const int w = 1 + data[12] % 40;
        check_fixed(value, w, data[13] % (w + 1));
        check_exponent(value, w, 1 + data[13] % w);
    }
    return 0;
}

#include "textio/render.hpp"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "textio/powers_of_ten.hpp"

namespace smwave {
namespace {

// Significant digits of a free-format double.
constexpr int free_digits = 9;
// Decimal exponents written in plain notation by a free-format double.
constexpr int plain_lowest = -4;
constexpr int plain_highest = 8;
// Exponents written with the letter E in an exponent field; beyond them three digits take its place.
constexpr int lettered_limit = 99;

char* put_chars(char* out, const char* text, std::size_t n) {
    std::memcpy(out, text, n);
    return out + n;
}

char* put_repeated(char* out, char c, std::size_t n) {
    std::memset(out, c, n);
    return out + n;
}

std::size_t asterisks(char* out, int w) { return put_repeated(out, '*', w) - out; }

// Writes the sign of `exponent` and its magnitude in `width` digits with leading zeros.
char* put_signed_exponent(char* out, int exponent, int width) {
    *out++ = exponent < 0 ? '-' : '+';
    int magnitude = exponent < 0 ? -exponent : exponent;
    for (int i = width - 1; i >= 0; --i) {
        out[i] = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    }
    return out + width;
}

// Writes the `count` significant digits of `v` (positive and finite), correctly rounded, to
// `digits` and returns the decimal exponent of the rounded value: v ~ d1.d2...dcount * 10^exponent.
int precise_digits(double v, int count, char* digits) {
    // One digit, a point, the other digits, and "e-324" at most.
    char text[max_field_width + 16];
    const char* end =
        std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, count - 1).ptr;
    digits[0] = text[0];
    const char* e = text + 1;
    if (count > 1) {
        std::memcpy(digits + 1, text + 2, count - 1);
        e = text + count + 1;
    }
    int exponent = 0;
    std::from_chars(e + 2, end, exponent);
    return e[1] == '-' ? -exponent : exponent;
}

// The `count` digits of `v` from one scaling by an exact power of ten, for normal values whose
// decimal exponent lies within scaled_exponents and count <= scaled_digit_limit. The scaled value
// is within half a unit in its last place (below 1e-7 for 9 digits) of the exact one, so its
// rounding to a whole number is the exact rounding unless it lies within scaled_margin of a
// half-way point; then false, and the caller decides from the exact digits.
constexpr int scaled_digit_limit = 9;
constexpr int scaled_exponents = 13;
constexpr double scaled_margin = 1e-6;
constexpr double log10_of_2 = 0.30102999566398120;

bool scaled_digits(double v, int count, char* digits, int& exponent) {
    // v lies in [2^e, 2^(e+1)), so its decimal exponent is floor(e * log10(2)) or one more.
    const int e = static_cast<int>((std::bit_cast<std::uint64_t>(v) >> 52) & 0x7ff) - 1023;
    const double estimate = e * log10_of_2;
    int x = static_cast<int>(estimate) - (estimate < 0 ? 1 : 0);
    if (x < -scaled_exponents || x > scaled_exponents) return false;
    const double lowest = powers_of_ten[count - 1];
    const double beyond = powers_of_ten[count];
    for (int attempt = 0; attempt < 3; ++attempt) {
        const double m = scaled_by_power_of_ten(v, count - 1 - x);
        if (m >= beyond) {
            ++x;
            continue;
        }
        if (m < lowest) {
            --x;
            continue;
        }
        // Below 10^9, so the whole part fits 32 bits.
        const auto whole = static_cast<std::uint32_t>(static_cast<std::int64_t>(m));
        const double fraction = m - whole;
        if (std::fabs(fraction - 0.5) < scaled_margin) return false;
        std::uint32_t rounded = whole + (fraction > 0.5 ? 1 : 0);
        if (rounded == static_cast<std::uint32_t>(beyond)) {
            rounded = static_cast<std::uint32_t>(lowest);
            ++x;
        }
        for (int i = count - 1; i >= 0; --i) {
            digits[i] = static_cast<char>('0' + rounded % 10);
            rounded /= 10;
        }
        exponent = x;
        return true;
    }
    return false;
}

// Up to this many significant digits, the shortest digits that read back as a normal `v` decide the
// rounding: the grid of such decimals is far coarser than the spacing of normal doubles.
constexpr int shortest_rounding_limit = 15;

// As precise_digits, from the shortest round-trip digits of `v` where they decide the result. They
// do unless they end exactly half-way between two roundings, where only the binary value decides.
int scientific_digits(double v, int count, char* digits) {
    if (count > shortest_rounding_limit || v < std::numeric_limits<double>::min()) {
        return precise_digits(v, count, digits);
    }
    if (int exponent = 0; count <= scaled_digit_limit && scaled_digits(v, count, digits, exponent)) {
        return exponent;
    }
    char text[32];
    const char* end = std::to_chars(text, text + sizeof text, v, std::chars_format::scientific).ptr;
    char shortest[20];
    int n = 0;
    const char* p = text;
    shortest[n++] = *p++;
    if (*p == '.') {
        for (++p; *p != 'e'; ++p) shortest[n++] = *p;
    }
    int exponent = 0;
    std::from_chars(p + 2, end, exponent);
    if (p[1] == '-') exponent = -exponent;

    if (n <= count) {
        std::memcpy(digits, shortest, n);
        std::memset(digits + n, '0', count - n);
        return exponent;
    }
    if (n == count + 1 && shortest[count] == '5') return precise_digits(v, count, digits);
    std::memcpy(digits, shortest, count);
    if (shortest[count] >= '5') {
        int i = count - 1;
        while (i >= 0 && digits[i] == '9') digits[i--] = '0';
        if (i < 0) {
            digits[0] = '1';
            ++exponent;
        } else {
            ++digits[i];
        }
    }
    return exponent;
}

// Below 2^32 a magnitude scaled by 10^d is known to within half a unit in its last place (below
// 5e-7), so its rounding to a whole number is exact away from half-way points.
constexpr double scaled_fixed_limit = 4294967296.0;
constexpr int scaled_fixed_digits = 9;

// Writes `magnitude` rounded to `d` decimals: the whole digits (at least one), the point and d
// digits. Returns the end of the text.
char* fixed_digits(double magnitude, int d, char* s, std::size_t room) {
    const double m = d <= scaled_fixed_digits ? magnitude * powers_of_ten[d] : scaled_fixed_limit;
    if (m < scaled_fixed_limit) {
        const auto whole = static_cast<std::uint64_t>(static_cast<std::int64_t>(m));
        const double fraction = m - static_cast<double>(static_cast<std::int64_t>(whole));
        if (std::fabs(fraction - 0.5) >= scaled_margin) {
            const std::uint64_t rounded = whole + (fraction > 0.5 ? 1 : 0);
            const auto scale = static_cast<std::uint64_t>(powers_of_ten[d]);
            char* p = std::to_chars(s, s + room, rounded / scale).ptr;
            *p++ = '.';
            std::uint64_t decimals = rounded % scale;
            for (int i = d - 1; i >= 0; --i) {
                p[i] = static_cast<char>('0' + decimals % 10);
                decimals /= 10;
            }
            return p + d;
        }
    }
    char* end = std::to_chars(s, s + room, magnitude, std::chars_format::fixed, d).ptr;
    if (d == 0) *end++ = '.';
    return end;
}

}  // namespace

std::size_t render_free_double(double value, char* out) {
    char* p = out;
    *p++ = ' ';
    *p++ = value < 0 ? '-' : ' ';
    if (value == 0) return put_chars(p, "0.", 2) - out;
    if (std::isnan(value)) return put_chars(p, "NaN", 3) - out;
    if (std::isinf(value)) return put_chars(p, "Infinity", 8) - out;

    char digits[free_digits];
    const int exponent = scientific_digits(std::fabs(value), free_digits, digits);
    int kept = free_digits;  // trailing zeros of the digits are not written
    while (kept > 1 && digits[kept - 1] == '0') --kept;

    if (exponent < plain_lowest || exponent > plain_highest) {
        *p++ = digits[0];
        *p++ = '.';
        p = put_chars(p, digits + 1, kept - 1);
        *p++ = 'E';
        return put_signed_exponent(p, exponent, 3) - out;
    }
    if (exponent < 0) {
        p = put_chars(p, "0.", 2);
        p = put_repeated(p, '0', -exponent - 1);
        return put_chars(p, digits, kept) - out;
    }
    const int whole = exponent + 1;  // digits before the point
    p = put_chars(p, digits, whole);
    *p++ = '.';
    if (kept > whole) p = put_chars(p, digits + whole, kept - whole);
    return p - out;
}

std::size_t render_free_integer(std::int32_t value, char* out) {
    out[0] = ' ';
    return std::to_chars(out + 1, out + free_item_capacity, value).ptr - out;
}

std::size_t render_fixed_field(double value, int w, int d, char* out) {
    // The text has at least d + 2 characters ("0." and d digits), one more than the field can hold
    // even with its leading 0 dropped.
    if (d >= w || !std::isfinite(value)) return asterisks(out, w);

    // The largest double has 309 digits before the point.
    char s[max_field_width + 320];
    char* end = fixed_digits(std::fabs(value), d, s, sizeof s);
    // A negative value that rounds to zero is written without its sign (so is negative zero).
    const bool negative = value < 0 && std::any_of(s, end, [](char c) { return c >= '1' && c <= '9'; });

    const char* text = s;
    std::size_t n = (end - s) + negative;
    const std::size_t width = w;
    if (n > width) {
        if (s[0] != '0' || n - 1 != width) return asterisks(out, w);
        ++text;
        --n;
    }
    char* p = put_repeated(out, ' ', width - n);
    if (negative) *p++ = '-';
    return put_chars(p, text, end - text) - out;
}

std::size_t render_exponent_field(double value, int w, int d, char* out) {
    const bool negative = value < 0;  // negative zero is written as zero
    int spare = w - d - 5 - negative;
    if (spare < 0 || !std::isfinite(value)) return asterisks(out, w);
    const bool leading_zero = spare > 0;
    if (leading_zero) --spare;

    char* p = put_repeated(out, ' ', spare);
    if (negative) *p++ = '-';
    if (leading_zero) *p++ = '0';
    *p++ = '.';
    // The exponent of 0.d1...dd, one more than that of the scientific form; 0 for zero.
    int exponent = 0;
    if (value == 0) {
        std::memset(p, '0', d);
    } else {
        exponent = scientific_digits(std::fabs(value), d, p) + 1;
    }
    p += d;
    if (exponent >= -lettered_limit && exponent <= lettered_limit) {
        *p++ = 'E';
        return put_signed_exponent(p, exponent, 2) - out;
    }
    return put_signed_exponent(p, exponent, 3) - out;
}

}  // namespace smwave

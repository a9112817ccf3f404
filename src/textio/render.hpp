#pragma once
// Number renderers of the output records: each writes the text of one value into a caller's buffer
// and returns its length. They hold no state and never fail; a value too wide for its field gives
// asterisks. Infinities and NaNs: "Infinity" and "NaN" as free-format items, asterisks in fields.
#include <cstddef>
#include <cstdint>

namespace smwave {

// Room for the longest free-format double (" -1.23456789E+100") and integer (" -2147483648").
inline constexpr std::size_t free_item_capacity = 24;

// Widest field a renderer accepts (w and d of Fw.d and Ew.d are at most this).
inline constexpr int max_field_width = 9999;

// Free-format double: a blank, the sign position ('-' or blank), then 9 significant digits in plain
// notation for decimal exponents -4..8, otherwise a mantissa and "E+009"; always with a point.
//     render_free_double(8192.0, out) writes "  8192." and returns 7.
std::size_t render_free_double(double value, char* out);

// Free-format integer: a blank, the minus sign when negative, the digits.
//     render_free_integer(-5, out) writes " -5" and returns 3.
std::size_t render_free_integer(std::int32_t value, char* out);

// Fixed-point field Fw.d: exactly w characters, right-aligned, d digits after the point, or w
// asterisks when the value does not fit. Needs 1 <= w <= max_field_width and 0 <= d <= max_field_width.
//     render_fixed_field(-0.5, 8, 4, out) writes " -0.5000" and returns 8.
std::size_t render_fixed_field(double value, int w, int d, char* out);

// Exponent field Ew.d: exactly w characters, "0." and d significant digits, then "E+01" or, for
// exponents beyond 99 in magnitude, "+100"; w asterisks when the field is too narrow.
// Needs 1 <= w <= max_field_width and 1 <= d <= max_field_width.
//     render_exponent_field(0.5, 12, 4, out) writes "  0.5000E+00" and returns 12.
std::size_t render_exponent_field(double value, int w, int d, char* out);

}  // namespace smwave

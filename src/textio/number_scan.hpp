#pragma once
// The number scan of the free-format read: one integer or double item, with an optional repeat
// count "r*" in front, scanned byte by byte from any byte source (line_bytes.hpp) in one pass.
//
// The scan keeps a sign, at most 40 significant digits and a decimal exponent; the value is the
// double nearest to those digits times ten to that exponent. It stops at the first byte that does
// not fit and pushes that byte back.
#include <cstdint>
#include <string_view>

#include "textio/powers_of_ten.hpp"

namespace smwave {

// Integer items refuse a decimal point and an exponent letter; otherwise both kinds scan alike.
enum class NumberKind { integer, real };

enum class ScanOutcome {
    value,            // digits were seen: `value` holds the number
    null,             // no digits, and the item is an empty one (before a comma or slash, or after r*)
    bad_repeat,       // a repeat count of 0, of more than 40 digits or after a minus; "*" alone
    invalid_integer,  // a decimal point, or an exponent letter after a digit, in an integer item
    bad_exponent,     // an exponent without a digit, or above 99999999
    invalid_number,   // no digit where a number should stand
};

struct NumberScan {
    ScanOutcome outcome = ScanOutcome::null;
    double value = 0.0;
    std::int32_t repeat = 0;  // the repeat count r of "r*", or 0 when there was none
};

// The fatal report's context text and message code for a failed scan.
struct ScanFailure {
    const char* context;
    int code;
};
// Context and code of `outcome`, which must be one of the four failures.
ScanFailure scan_failure(ScanOutcome outcome);

// Significant digits kept of one number; digits beyond these are not stored.
inline constexpr int stored_digits = 40;

// Decimals whose digits, read as a whole number, stay below 2^53 convert exactly with one
// multiplication or division by a power of ten of at most exact_power: the mantissa is an exact
// double. 15 significant digits always do; 19 digits at most cannot overflow 64 bits.
inline constexpr int exact_digits = 15;
inline constexpr std::uint64_t exact_mantissa_limit = std::uint64_t{1} << 53;
inline constexpr int max_mantissa_digits = 19;

// The double nearest to mantissa * 10^exponent, for mantissa below exact_mantissa_limit and
// |exponent| <= exact_power.
inline double exact_decimal(std::uint64_t mantissa, int exponent) {
    return scaled_by_power_of_ten(static_cast<double>(static_cast<std::int64_t>(mantissa)), exponent);
}

// The double nearest to the first `count` of `digits`, read as an integer, times 10^exponent; 0
// when `count` is 0. Magnitudes beyond the doubles give an infinity or zero.
double decimal_value(const char (&digits)[stored_digits], int count, std::int64_t exponent);

// `digits` (no leading zero) as a repeat count; counts above 2147483647 give 2147483647, which no
// read can use up, so they act exactly as the count itself.
std::int32_t repeat_count(std::string_view digits);

// The value of an integer item: `value` cut toward zero, or -2147483648 when the cut value lies
// outside the 32-bit range.
std::int32_t cut_to_int32(double value);

namespace scan_detail {

inline bool is_digit(int c) { return c >= '0' && c <= '9'; }
inline bool is_sign(int c) { return c == '+' || c == '-'; }
inline bool is_exponent_letter(int c) { return c == 'D' || c == 'E' || c == 'd' || c == 'e'; }

}  // namespace scan_detail

// Scans one number item from `in` (get() gives a byte or -1, unget() pushes the last one back).
//
//     SpanBytes in(bytes);
//     NumberScan n = scan_number(in, NumberKind::real);   // "2*0.5," gives 0.5 with repeat 2
template <class Bytes>
NumberScan scan_number(Bytes& in, NumberKind kind) {
    using namespace scan_detail;
    constexpr std::int64_t exponent_limit = 99999999;
    NumberScan out;
    bool repeat_passed = false;
    for (;;) {
        // Plain locals, apart from the digit array, so that the digit stores cannot alias them.
        char digits[stored_digits];
        int count = 0;              // stored digits, the first of them nonzero
        std::int64_t exponent = 0;  // the value is the stored digits times 10^exponent
        bool seen = false;          // a digit, zeros included, was seen
        bool negative = false;
        int c = in.get();
        if (is_sign(c)) {
            negative = c == '-';
            c = in.get();
        }
        for (; is_digit(c); c = in.get()) {
            seen = true;
            if (c == '0' && count == 0) continue;
            if (count < stored_digits) {
                digits[count++] = static_cast<char>(c);
            } else {
                ++exponent;
            }
        }
        if (c == '*' && !repeat_passed) {
            if (count == 0 || exponent > 0 || negative) return {ScanOutcome::bad_repeat, 0.0, 0};
            out.repeat = repeat_count({digits, static_cast<std::size_t>(count)});
            repeat_passed = true;
            continue;
        }
        if (c == '.') {
            if (kind == NumberKind::integer) return {ScanOutcome::invalid_integer, 0.0, out.repeat};
            c = in.get();
            if (count == 0) {
                for (; c == '0'; c = in.get()) {
                    seen = true;
                    --exponent;
                }
            }
            for (; is_digit(c); c = in.get()) {
                seen = true;
                if (count < stored_digits) {
                    digits[count++] = static_cast<char>(c);
                    --exponent;
                }
            }
        }
        const bool letter = is_exponent_letter(c) && seen;
        if (letter || is_sign(c)) {
            if (letter && kind == NumberKind::integer) return {ScanOutcome::invalid_integer, 0.0, out.repeat};
            if (letter) c = in.get();
            bool exponent_negative = false;
            if (is_sign(c)) {
                exponent_negative = c == '-';
                c = in.get();
            }
            if (!is_digit(c)) return {ScanOutcome::bad_exponent, 0.0, out.repeat};
            std::int64_t e = 0;
            for (; is_digit(c); c = in.get()) {
                e = e * 10 + (c - '0');
                if (e > exponent_limit) return {ScanOutcome::bad_exponent, 0.0, out.repeat};
            }
            exponent += exponent_negative ? -e : e;
        }
        in.unget();
        if (seen) {
            const double magnitude = decimal_value(digits, count, exponent);
            out.outcome = ScanOutcome::value;
            out.value = negative && count > 0 ? -magnitude : magnitude;
        } else if (c == ',' || c == '/' || (repeat_passed && (c == ' ' || c == '\t' || c == '\n'))) {
            out.outcome = ScanOutcome::null;
        } else {
            out.outcome = ScanOutcome::invalid_number;
        }
        return out;
    }
}

}  // namespace smwave

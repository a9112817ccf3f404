#pragma once
// The number scan of the free-format read: one integer or double item, with an optional repeat
// count "r*" in front, scanned byte by byte from any byte source (line_bytes.hpp) in one pass.
//
// The scan keeps a sign, at most 40 significant digits and a decimal exponent; the value is the
// double nearest to those digits times ten to that exponent. It stops at the first byte that does
// not fit and pushes that byte back.
#include <cstdint>

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

// The significant digits and decimal exponent of one number as the scan collects them.
struct DecimalDigits {
    static constexpr int capacity = 40;  // digits beyond these are not stored
    char digits[capacity];
    int count = 0;              // stored digits, the first of them nonzero
    std::int64_t exponent = 0;  // the value is the stored digits, read as an integer, times 10^exponent
    bool negative = false;
    bool seen = false;  // any digit, zeros included, was seen
};

// The double nearest to the stored digits times ten to the exponent, negated for a minus; 0 when no
// digit was stored. Magnitudes beyond the doubles give an infinity or zero.
double decimal_value(const DecimalDigits& d);

// The stored digits as a repeat count; counts above 2147483647 give 2147483647, which no read can
// use up, so they act exactly as the count itself.
std::int32_t repeat_count(const DecimalDigits& d);

// The value of an integer item: `value` cut toward zero, or -2147483648 when the cut value lies
// outside the 32-bit range.
std::int32_t cut_to_int32(double value);

namespace scan_detail {

inline bool is_digit(int c) { return c >= '0' && c <= '9'; }
inline bool is_sign(int c) { return c == '+' || c == '-'; }
inline bool is_exponent_letter(int c) { return c == 'D' || c == 'E' || c == 'd' || c == 'e'; }

inline void take_digit(DecimalDigits& d, int c) {
    d.seen = true;
    if (c == '0' && d.count == 0) return;
    if (d.count < DecimalDigits::capacity) {
        d.digits[d.count++] = static_cast<char>(c);
    } else {
        ++d.exponent;
    }
}

inline void take_fraction_digit(DecimalDigits& d, int c) {
    d.seen = true;
    if (d.count < DecimalDigits::capacity) {
        d.digits[d.count++] = static_cast<char>(c);
        --d.exponent;
    }
}

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
        DecimalDigits d;
        int c = in.get();
        if (is_sign(c)) {
            d.negative = c == '-';
            c = in.get();
        }
        for (; is_digit(c); c = in.get()) take_digit(d, c);
        if (c == '*' && !repeat_passed) {
            const bool too_long = d.count == DecimalDigits::capacity && d.exponent > 0;
            if (d.count == 0 || too_long || d.negative) return {ScanOutcome::bad_repeat, 0.0, 0};
            out.repeat = repeat_count(d);
            repeat_passed = true;
            continue;
        }
        if (c == '.') {
            if (kind == NumberKind::integer) return {ScanOutcome::invalid_integer, 0.0, out.repeat};
            c = in.get();
            if (d.count == 0) {
                for (; c == '0'; c = in.get()) {
                    d.seen = true;
                    --d.exponent;
                }
            }
            for (; is_digit(c); c = in.get()) take_fraction_digit(d, c);
        }
        const bool letter = is_exponent_letter(c) && d.seen;
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
            d.exponent += exponent_negative ? -e : e;
        }
        in.unget();
        if (d.seen) {
            out.outcome = ScanOutcome::value;
            out.value = decimal_value(d);
        } else if (c == ',' || c == '/' || (repeat_passed && (c == ' ' || c == '\t' || c == '\n'))) {
            out.outcome = ScanOutcome::null;
        } else {
            out.outcome = ScanOutcome::invalid_number;
        }
        return out;
    }
}

}  // namespace smwave

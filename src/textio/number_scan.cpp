#include "textio/number_scan.hpp"

#include <charconv>
#include <cstring>
#include <limits>

#include "portable/float_chars.hpp"
#include "textio/units.hpp"

namespace smwave {

ScanFailure scan_failure(ScanOutcome outcome) {
    switch (outcome) {
        case ScanOutcome::bad_repeat:
            return {"bad repetition count", err_list_input};
        case ScanOutcome::invalid_integer:
            return {"invalid integer", err_unexpected_char};
        case ScanOutcome::bad_exponent:
            return {"exponent field", err_list_input};
        default:
            return {"invalid number", err_list_input};
    }
}

double decimal_value(const char (&digits)[stored_digits], int count, std::int64_t exponent) {
    if (count == 0) return 0.0;
    if (count <= exact_digits && exponent >= -exact_power && exponent <= exact_power) {
        std::uint64_t mantissa = 0;
        for (int i = 0; i < count; ++i)
            mantissa = mantissa * 10 + static_cast<std::uint64_t>(digits[i] - '0');
        return exact_decimal(mantissa, static_cast<int>(exponent));
    }
    // The digits, an exponent letter and the exponent: 40 + 1 + 20 bytes at most. All 40 digit
    // places are copied, a fixed-size copy being cheaper than one of `count` bytes.
    char scratch[stored_digits + 24];
    std::memcpy(scratch, digits, stored_digits);
    char* end = scratch + count;
    *end++ = 'e';
    end = std::to_chars(end, scratch + sizeof scratch, exponent).ptr;
    double value = 0.0;
    // Beyond the doubles: too large when the leading digit stands at 10^0 or above. One conversion
    // reports it and leaves the value alone, the other gives the same infinity or zero unreported.
    if (portable::from_chars(scratch, end, value).ec == std::errc::result_out_of_range) {
        value = count + exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return value;
}

std::int32_t repeat_count(std::string_view digits) {
    constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
    if (digits.size() > 10) return static_cast<std::int32_t>(largest);
    std::int64_t r = 0;
    for (const char c : digits) r = r * 10 + (c - '0');
    return static_cast<std::int32_t>(r > largest ? largest : r);
}

std::int32_t cut_to_int32(double value) {
    // Cut toward zero, the values strictly between these two bounds fit.
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<std::int32_t>(value);
    return std::numeric_limits<std::int32_t>::min();
}

}  // namespace smwave

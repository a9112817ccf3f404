#include "textio/number_scan.hpp"

#include <algorithm>
#include <charconv>
#include <limits>

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

double decimal_value(const DecimalDigits& d) {
    if (d.count == 0) return 0.0;
    // The digits, an exponent letter and the exponent: 40 + 1 + 20 bytes at most.
    char scratch[DecimalDigits::capacity + 24];
    char* end = std::copy(d.digits, d.digits + d.count, scratch);
    *end++ = 'e';
    end = std::to_chars(end, scratch + sizeof scratch, d.exponent).ptr;
    double value = 0.0;
    if (std::from_chars(scratch, end, value).ec == std::errc::result_out_of_range) {
        // Out of range of the doubles: past the largest when the leading digit stands above 10^0.
        value = d.count + d.exponent > 0 ? std::numeric_limits<double>::infinity() : 0.0;
    }
    return d.negative ? -value : value;
}

std::int32_t repeat_count(const DecimalDigits& d) {
    constexpr std::int64_t largest = std::numeric_limits<std::int32_t>::max();
    if (d.exponent > 0 || d.count > 10) return static_cast<std::int32_t>(largest);
    std::int64_t r = 0;
    for (int i = 0; i < d.count; ++i) r = r * 10 + (d.digits[i] - '0');
    return static_cast<std::int32_t>(r > largest ? largest : r);
}

std::int32_t cut_to_int32(double value) {
    // Cut toward zero, the values strictly between these two bounds fit.
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<std::int32_t>(value);
    return std::numeric_limits<std::int32_t>::min();
}

}  // namespace smwave

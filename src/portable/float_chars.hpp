#pragma once
// Exact decimal text to double, on any standard library.
//
// The standard `std::from_chars` for doubles where the library has it; the fast_float library, which
// has the same interface and the same exact rounding, where it does not (the build decides and
// defines SMWAVE_USE_FAST_FLOAT).
//
//     double value;
//     auto [end, error] = smwave::portable::from_chars(text.data(), text.data() + text.size(), value);
#include <charconv>
#include <system_error>

#ifdef SMWAVE_USE_FAST_FLOAT
#include <fast_float/fast_float.h>
#endif

namespace smwave::portable {

// Reads the longest decimal number at [first, last) (no leading blanks or '+', as std::from_chars).
// Whether a value beyond the double range reports std::errc::result_out_of_range differs between the
// two: callers that care test the value for infinity or zero themselves.
inline std::from_chars_result from_chars(const char* first, const char* last, double& value,
                                         std::chars_format format = std::chars_format::general) {
#ifdef SMWAVE_USE_FAST_FLOAT
    // The two enumerations give their members different values.
    fast_float::chars_format taken = fast_float::chars_format::general;
    if (format == std::chars_format::fixed) taken = fast_float::chars_format::fixed;
    if (format == std::chars_format::scientific) taken = fast_float::chars_format::scientific;
    const auto result = fast_float::from_chars(first, last, value, taken);
    return {result.ptr, result.ec};
#else
    return std::from_chars(first, last, value, format);
#endif
}

}  // namespace smwave::portable

// The number scan on its own: values, null items, repeat counts, failures and where the scan stops.
#include "textio/number_scan.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <string_view>

#include "textio/line_bytes.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

using O = ScanOutcome;
constexpr NumberKind I = NumberKind::integer;
constexpr NumberKind R = NumberKind::real;
constexpr double inf = std::numeric_limits<double>::infinity();

struct Case {
    std::string input;
    NumberKind kind;
    O outcome;
    double value;
    std::int32_t repeat;
    std::size_t stop;  // bytes taken; the stopping byte is pushed back
};

NumberScan scan(std::string_view text, NumberKind kind, std::size_t* stop = nullptr) {
    SpanBytes in({reinterpret_cast<const unsigned char*>(text.data()), text.size()});
    const NumberScan n = scan_number(in, kind);
    if (stop != nullptr) *stop = in.consumed();
    return n;
}

const std::string forty_one_digits = "12345678901234567890123456789012345678901";

TEST(NumberScan, ValuesNullsAndStopsFollowTheScanRules) {
    const Case cases[] = {
        {"7 ", R, O::value, 7, 0, 1},
        {"+7,", R, O::value, 7, 0, 2},
        {"-007/", I, O::value, -7, 0, 4},
        {"1.5 ", R, O::value, 1.5, 0, 3},
        {".5", R, O::value, 0.5, 0, 2},
        {"5.", R, O::value, 5, 0, 2},
        {"1e3", R, O::value, 1000, 0, 3},
        {"1E3", R, O::value, 1000, 0, 3},
        {"1.5d-2", R, O::value, 0.015, 0, 6},
        {"1.5D+2", R, O::value, 150, 0, 6},
        {"1.5-2", R, O::value, 0.015, 0, 5},
        {"1.0E-03", R, O::value, 0.001, 0, 7},
        {"0.1", R, O::value, 0.1, 0, 3},
        {"0e5", R, O::value, 0, 0, 3},
        {"-0.000", R, O::value, 0, 0, 6},
        {"12abc", R, O::value, 12, 0, 2},
        {"12abc", I, O::value, 12, 0, 2},
        {"2+1", I, O::value, 20, 0, 3},
        {"1-2", I, O::value, 0.01, 0, 3},
        {"3*5", I, O::value, 5, 3, 3},
        {"+3*5", R, O::value, 5, 3, 4},
        {"3*5*", R, O::value, 5, 3, 3},
        {"99999999999*5", R, O::value, 5, 2147483647, 13},
        {"3* ", R, O::null, 0, 3, 2},
        {"3*,", R, O::null, 0, 3, 2},
        {"3*\r\n", R, O::null, 0, 3, 2},
        {",", R, O::null, 0, 0, 0},
        {"/", I, O::null, 0, 0, 0},
        {"-,", R, O::null, 0, 0, 1},
        {"+./", R, O::null, 0, 0, 2},
        {"1e400", R, O::value, inf, 0, 5},
        {"-1e400", R, O::value, -inf, 0, 6},
        {"1e-400", R, O::value, 0, 0, 6},
        {"1e99999999", R, O::value, inf, 0, 10},
        {"1.0", I, O::invalid_integer, 0, 0, 0},
        {".5", I, O::invalid_integer, 0, 0, 0},
        {"1e0", I, O::invalid_integer, 0, 0, 0},
        {"e5", R, O::invalid_number, 0, 0, 0},
        {"e5", I, O::invalid_number, 0, 0, 0},
        {"abc", R, O::invalid_number, 0, 0, 0},
        {"'1'", I, O::invalid_number, 0, 0, 0},
        {"- ", R, O::invalid_number, 0, 0, 0},
        {"3**", R, O::invalid_number, 0, 0, 0},
        {"*", R, O::bad_repeat, 0, 0, 0},
        {"0*5", I, O::bad_repeat, 0, 0, 0},
        {"-2*5", I, O::bad_repeat, 0, 0, 0},
        {forty_one_digits + "*5", R, O::bad_repeat, 0, 0, 0},
        {"---", R, O::bad_exponent, 0, 0, 0},
        {"1e ", R, O::bad_exponent, 0, 0, 0},
        {"1e+,", R, O::bad_exponent, 0, 0, 0},
        {"1e100000000", R, O::bad_exponent, 0, 0, 0},
        {"1-", I, O::bad_exponent, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.input);
        std::size_t stop = 0;
        const NumberScan n = scan(c.input, c.kind, &stop);
        EXPECT_EQ(n.outcome, c.outcome);
        if (n.outcome == O::value) {
            EXPECT_EQ(n.value, c.value);
            EXPECT_FALSE(std::signbit(n.value) && c.value == 0) << "a zero reads as +0";
        }
        if (n.outcome == O::value || n.outcome == O::null) {
            EXPECT_EQ(n.repeat, c.repeat);
            EXPECT_EQ(stop, c.stop);
        }
    }
}

TEST(NumberScan, KeepsFortySignificantDigitsAndCountsTheRestInTheExponent) {
    // Digits past the 40th before the point scale the value; past it after the point they vanish.
    EXPECT_EQ(scan(forty_one_digits + "23", R).value, scan(forty_one_digits.substr(0, 40) + "e3", R).value);
    EXPECT_EQ(scan("0." + std::string(45, '7'), R).value, scan("0." + std::string(40, '7'), R).value);
    EXPECT_EQ(scan(std::string(60, '0') + "1.5", R).value, 1.5);
    EXPECT_EQ(scan("0." + std::string(60, '0') + "15", R).value, 15e-62);
    // The nearest double to the decimal digits, not a product of rounded steps.
    EXPECT_EQ(scan("123456789012345678901234567890", R).value, 123456789012345678901234567890.0);
    EXPECT_EQ(scan("2.2250738585072011e-308", R).value, 2.2250738585072011e-308);
    EXPECT_EQ(scan("4.9e-324", R).value, 4.9e-324);
}

TEST(NumberScan, FailuresCarryTheirContextTextsAndCodes) {
    const struct {
        O outcome;
        std::string_view context;
        int code;
    } failures[] = {
        {O::bad_repeat, "bad repetition count", err_list_input},
        {O::invalid_integer, "invalid integer", err_unexpected_char},
        {O::bad_exponent, "exponent field", err_list_input},
        {O::invalid_number, "invalid number", err_list_input},
    };
    for (const auto& f : failures) {
        EXPECT_EQ(scan_failure(f.outcome).context, f.context);
        EXPECT_EQ(scan_failure(f.outcome).code, f.code);
    }
}

TEST(NumberScan, IntegerItemsCutTowardZeroAndStoreTheLowestIntegerOutOfRange) {
    const struct {
        double value;
        std::int32_t stored;
    } cases[] = {
        {3.9, 3},
        {-3.9, -3},
        {0.01, 0},
        {2147483647.0, 2147483647},
        {2147483647.9, 2147483647},
        {2147483648.0, -2147483647 - 1},
        {-2147483648.9, -2147483647 - 1},
        {-2147483649.0, -2147483647 - 1},
        {3e9, -2147483647 - 1},
        {inf, -2147483647 - 1},
        {-inf, -2147483647 - 1},
    };
    for (const auto& c : cases) EXPECT_EQ(cut_to_int32(c.value), c.stored) << c.value;
}

}  // namespace
}  // namespace smwave

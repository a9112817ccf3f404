#include "textio/render.hpp"

#include <gtest/gtest.h>

#include <charconv>
#include <cstdint>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "portable/float_chars.hpp"

namespace smwave {
namespace {

constexpr double infinity = std::numeric_limits<double>::infinity();
constexpr double nan = std::numeric_limits<double>::quiet_NaN();

std::string free_double(double value) {
    char out[free_item_capacity];
    return std::string(out, render_free_double(value, out));
}

std::string free_integer(std::int32_t value) {
    char out[free_item_capacity];
    return std::string(out, render_free_integer(value, out));
}

std::string fixed_field(double value, int w, int d) {
    std::string out(w, '?');
    out.resize(render_fixed_field(value, w, d, out.data()));
    return out;
}

std::string exponent_field(double value, int w, int d) {
    std::string out(w, '?');
    out.resize(render_exponent_field(value, w, d, out.data()));
    return out;
}

struct DoubleCase {
    double value;
    const char* text;
};

TEST(FreeDouble, NineSignificantDigitsPlainOrExponentWithPointAlwaysPresent) {
    const DoubleCase cases[] = {
        {0.01, "  0.01"},
        {81.92, "  81.92"},
        {0.0122070312, "  0.0122070312"},
        {3.14159265358979, "  3.14159265"},
        {8192.0, "  8192."},
        {123456789.0, "  123456789."},
        {999999999.6, "  1.E+009"},  // rounding raises the exponent out of the plain range
        {1500000000.0, "  1.5E+009"},
        {0.0001, "  0.0001"},
        {0.00001, "  1.E-005"},
        {0.0, "  0."},
        {-0.0, "  0."},
        {-2.5, " -2.5"},
        {-1.0e-300, " -1.E-300"},
        {1.0e100, "  1.E+100"},
        {-123456789.4, " -123456789."},
        {0.000123456789, "  0.000123456789"},
        {5e-324, "  4.94065646E-324"},
        {1.7976931348623157e308, "  1.79769313E+308"},
        {infinity, "  Infinity"},
        {-infinity, " -Infinity"},
        {nan, "  NaN"},
    };
    for (const DoubleCase& c : cases) EXPECT_EQ(free_double(c.value), c.text) << c.value;
}

TEST(FreeInteger, BlankSignAndDigitsForEveryValue) {
    const std::pair<std::int32_t, const char*> cases[] = {
        {8192, " 8192"},
        {0, " 0"},
        {-5, " -5"},
        {std::numeric_limits<std::int32_t>::min(), " -2147483648"},
        {std::numeric_limits<std::int32_t>::max(), " 2147483647"},
    };
    for (const auto& [value, text] : cases) EXPECT_EQ(free_integer(value), text) << value;
}

struct FieldCase {
    int w;
    int d;
    double value;
    const char* text;
};

TEST(FixedField, RightAlignedOrAsterisksWhenTooWide) {
    const FieldCase cases[] = {
        {8, 4, 0.0122, "  0.0122"},
        {8, 4, 12.34567, " 12.3457"},
        {8, 4, -0.5, " -0.5000"},
        {8, 4, -0.00004, "  0.0000"},  // rounds to zero: no minus sign
        {8, 4, -0.0, "  0.0000"},
        {8, 4, 999.99994, "999.9999"},
        {8, 4, 999.99996, "********"},
        {8, 4, 1000.0, "********"},
        {8, 4, -100.0, "********"},
        {8, 4, -99.9999, "-99.9999"},
        {8, 3, 0.01, "   0.010"},
        {8, 3, 163.84, " 163.840"},
        {8, 3, -999.9994, "-999.999"},
        {8, 3, -1000.0, "********"},
        {8, 3, 10000.0, "********"},
        {8, 3, 1e300, "********"},
        {4, 1, -0.5, "-0.5"},
        {3, 1, -0.5, "-.5"},  // the leading 0 gives way when that makes the field fit
        {3, 2, 0.25, ".25"},
        {2, 2, 0.25, "**"},
        {5, 0, 42.4, "  42."},
        {8, 4, infinity, "********"},
        {8, 4, -infinity, "********"},
        {8, 3, nan, "********"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(fixed_field(c.value, c.w, c.d), c.text) << "F" << c.w << "." << c.d << " of " << c.value;
}

TEST(ExponentField, ZeroPointDigitsAndExponentThreeDigitsBeyondNinetyNine) {
    const FieldCase cases[] = {
        {12, 4, 0.001234, "  0.1234E-02"},  {12, 4, 0.5, "  0.5000E+00"},
        {12, 4, 1.0, "  0.1000E+01"},       {12, 4, 12345.678, "  0.1235E+05"},
        {12, 4, -0.25, " -0.2500E+00"},     {12, 4, 0.0, "  0.0000E+00"},
        {12, 4, -0.0, "  0.0000E+00"},      {12, 4, 1.0e10, "  0.1000E+11"},
        {12, 4, 9.99995, "  0.1000E+02"},  // rounding carries into the next power of ten
        {12, 4, -1234.6, " -0.1235E+04"},   {12, 4, 1.0e-100, "  0.1000E-99"},
        {12, 4, 1.0e99, "  0.1000+100"},    {12, 4, 1.234e123, "  0.1234+124"},
        {12, 4, -3.7e-120, " -0.3700-119"}, {12, 4, 5e-324, "  0.4941-323"},
        {9, 4, 0.5, ".5000E+00"},   // no spare width: no leading 0
        {9, 4, -0.5, "*********"},  // the sign needs a column the field has not
        {10, 4, -0.5, "-.5000E+00"},        {6, 1, 7.0, ".7E+01"},
        {12, 4, infinity, "************"},  {12, 4, nan, "************"},
    };
    for (const FieldCase& c : cases)
        EXPECT_EQ(exponent_field(c.value, c.w, c.d), c.text) << "E" << c.w << "." << c.d << " of " << c.value;
}

TEST(Fields, WideFieldsKeepTheirWidth) {
    EXPECT_EQ(fixed_field(1.5, 30, 20), std::string(8, ' ') + "1.50000000000000000000");
    EXPECT_EQ(exponent_field(-1.5, 30, 20), "   -0.15000000000000000000E+01");
    EXPECT_EQ(fixed_field(1e300, max_field_width, 2).size(), std::size_t(max_field_width));
}

// The digits of free-format doubles, exponent and fixed-point fields are the correctly rounded decimal of the
// value: checked against a rounding of the exact binary value over many values, half-way cases included.
TEST(Rounding, DigitsAreTheCorrectlyRoundedDecimalOfTheBinaryValue) {
    std::mt19937_64 random(7);
    std::vector<double> values = {
        0.125,   0.0625,     2.5,        1.0000000005, 0.123456785,           9.9999999995,
        99999.5, 0.00012345, 1234567.85, 5e-324,       1.7976931348623157e308};
    for (int i = 0; i < 200000; ++i) {
        const std::uint64_t bits = random();
        double v;
        std::memcpy(&v, &bits, sizeof v);
        if (std::isfinite(v) && v != 0) values.push_back(v);
        values.push_back(static_cast<double>(static_cast<std::int64_t>(random() % 2000001) - 1000000) /
                         static_cast<double>(1 + random() % 100000));
    }
    auto exact = [](double v, int digits) {
        char text[64];
        const char* end =
            std::to_chars(text, text + sizeof text, v, std::chars_format::scientific, digits - 1).ptr;
        double back = 0;
        portable::from_chars(text, end, back);
        return back;
    };
    for (const double v : values) {
        char out[free_item_capacity];
        const std::string free_text(out, render_free_double(v, out));
        const std::string number = free_text.substr(free_text.find_first_not_of(' '));
        double back = 0;
        portable::from_chars(number.data(), number.data() + number.size(), back);
        ASSERT_EQ(back, exact(v, 9)) << free_text << " for " << v;

        if (std::fabs(v) < 1e-300 || std::fabs(v) > 1e300) continue;
        const std::string field = exponent_field(v, 12, 4);
        const std::string mantissa =
            (v < 0 ? "-" : "") + std::string("0.") + field.substr(field.find('.') + 1, 4);
        const std::string letter = field.substr(8, 1) == "E" ? field.substr(9) : field.substr(8);
        const std::string rebuilt = mantissa + "e" + letter;
        portable::from_chars(rebuilt.data(), rebuilt.data() + rebuilt.size(), back);
        ASSERT_EQ(back, exact(v, 4)) << field << " for " << v;

        if (std::fabs(v) > 1e7) continue;
        for (const int d : {3, 4}) {
            const std::string fixed = fixed_field(v, 30, d);
            char reference[64];
            const char* end =
                std::to_chars(reference, reference + sizeof reference, v, std::chars_format::fixed, d).ptr;
            double expected = 0;
            portable::from_chars(reference, end, expected);
            const std::string shown = fixed.substr(fixed.find_first_not_of(' '));
            portable::from_chars(shown.data(), shown.data() + shown.size(), back);
            ASSERT_EQ(back, expected) << fixed << " for " << v;
        }
    }
}

}  // namespace
}  // namespace smwave

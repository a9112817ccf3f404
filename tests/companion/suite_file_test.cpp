// The shared reader of the suite's files: kinds recognised from content, values, gaps, and refusals
// that name the line.
#include "companion/suite_file.hpp"

#include <gtest/gtest.h>

#include <cmath>

#include "companion/number_text.hpp"

namespace smwave::companion {
namespace {

TEST(NumberText, FieldsOfTheSuiteReadAsTheirValues) {
    const struct {
        const char* field;
        double value;
    } cases[] = {{"  0.1234E+02", 12.34},
                 {" -0.2500E+00", -0.25},
                 {"  0.1234+124", 0.1234e124},
                 {" -0.3700-119", -0.37e-119},
                 {"1.E-005", 1e-5},
                 {"  0.", 0.0},
                 {"+3", 3.0},
                 {"163.840", 163.84}};
    for (const auto& c : cases) {
        const auto value = parse_number(c.field);
        ASSERT_TRUE(value) << c.field;
        EXPECT_EQ(*value, c.value) << c.field;
    }
    for (const char* bad : {"", "  ", "************", "inf", "NaN", "0x10", "1.5x", "1e400", "0.1234+1245"}) {
        EXPECT_FALSE(parse_number(bad)) << bad;
    }
}

TEST(NumberText, ShortestTextReadsBackExactly) {
    for (const double value : {0.01, -2.5e-5, 1.0 / 3.0, 0.0, 131072.0, 5e-324}) {
        std::string text;
        append_shortest(text, value);
        EXPECT_EQ(parse_number(text), value) << text;
    }
    std::string text;
    append_shortest(text, 0.01);
    EXPECT_EQ(text, "0.01");
}

TEST(SuiteFile, EachKindIsRecognisedFromItsContent) {
    const struct {
        const char* text;
        SuiteFileKind kind;
        std::size_t columns;
        double last;  // the last value of the last row
    } cases[] = {
        {" time(s),comp1, comp2, comp3\n   0.000,  0.0000E+00,  0.0000E+00,  0.0000E+00,\n"
         "   0.020, -0.1283E-01,  0.1970E-01,  0.5712E-01,\n",
         SuiteFileKind::waveform, 4, 0.05712},
        {" frequency(Hz),comp1, comp2, comp3\n  0.0000,  0.0000E+00,  0.0000E+00,  0.0000E+00,\n  0.0122,  "
         "0.1234E+02,  0.5000E+00,  0.1000+100,\n",
         SuiteFileKind::spectrum, 4, 1e99},
        {"  0.  0.021 -0.01771 -0.00604\n  0.01  0.01769  0.01781  1.E-005\n", SuiteFileKind::echo, 4, 1e-5},
        {"# input velocity.csv\ndamping,period(s),sd1\n0.05,0,0\n0.05,0.1,2.5\n", SuiteFileKind::response, 3,
         2.5},
    };
    for (const auto& c : cases) {
        auto table = parse_suite_text(c.text, "f");
        ASSERT_TRUE(table) << describe(table.problem());
        EXPECT_EQ(table->kind, c.kind);
        ASSERT_EQ(table->columns.size(), c.columns);
        EXPECT_EQ(table->rows(), 2u);
        EXPECT_EQ(table->columns.back().back(), c.last);
        EXPECT_EQ(table->lines.back(), table->comments.size() + (c.kind == SuiteFileKind::echo ? 2u : 3u));
        EXPECT_EQ(table->non_numeric, 0u);
    }
}

TEST(SuiteFile, FieldsWithoutANumberAreGapsCountedFromTheirFirstLine) {
    auto table = parse_suite_text(
        " time(s),comp1, comp2, comp3\n   0.000,  0.0000E+00,  0.0000E+00,  0.0000E+00,\n"
        "   0.020,************,  0.1970E-01,************,\n",
        "w.csv");
    ASSERT_TRUE(table);
    EXPECT_EQ(table->non_numeric, 2u);
    EXPECT_EQ(table->first_non_numeric_line, 3u);
    EXPECT_TRUE(std::isnan(table->columns[1][1]));
    EXPECT_EQ(table->columns[2][1], 0.01970);
}

TEST(SuiteFile, RefusalsNameTheFileAndLine) {
    const struct {
        const char* text;
        const char* message_start;
    } cases[] = {
        {"", "w:1: the file is empty"},
        {"hello world\n", "w:1: expected the header of a waveform file"},
        {"# only a comment\n", "w:2: expected a header line or a row, found the end of the file"},
        {"# a comment\n# and one without a line end", "w:2: expected a header line or a row, found the end"},
        {" time(s),comp1, comp2, comp3\n   0.000,  0.0000E+00,  0.0000E+00,\n",
         "w:2: expected 4 values, found 3"},
        {" time(s),comp1, comp2, comp3\n   0.000,  0.0000E+00,  0.0000E+00,  0.00",
         "w:2: the file ends within"},
        {" time(s),comp1, comp2, comp3\n   0.000,  0.0000E+00,  0.0000E+00,  0.0000E+00\n",
         "w:2: expected a row ending"},
        {"  0.  1.  2.  3.\n  0.01  1.  2.\n", "w:2: expected 4 values, found 3"},
    };
    for (const auto& c : cases) {
        auto table = parse_suite_text(c.text, "w");
        ASSERT_FALSE(table) << c.text;
        EXPECT_EQ(describe(table.problem()).rfind(c.message_start, 0), 0u) << describe(table.problem());
    }
}

}  // namespace
}  // namespace smwave::companion

// The reads through a unit: console answers, file names, table headers and rows, the final wait,
// and the failure reports of the reads.
#include "textio/reads.hpp"

#include <gtest/gtest.h>

#include <array>
#include <charconv>
#include <cstdio>
#include <functional>
#include <random>
#include <string>
#include <string_view>
#include <vector>

#include "portable/float_chars.hpp"
#include "support/run_harness.hpp"
#include "support/tool_run.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

using testing::ErrorCapture;
using testing::RunHarness;
using testing::TempDir;
using namespace std::string_view_literals;

constexpr int file_unit = 20;
constexpr int row_values = 43;

std::string padded(std::string_view text) {
    std::string field(text);
    field.resize(text_field_length, ' ');
    return field;
}

std::string field_text(const TextField& field) { return std::string(field, text_field_length); }

class Reads : public ::testing::Test {
  protected:
    // Starts from a fresh unit table and connects the file unit to a file holding `content`.
    void input(std::string_view content) {
        reset_units();
        name_ = (dir_ / "input.txt").string();
        testing::write_file(dir_ / "input.txt", content);
        open_unit(file_unit, name_);
    }
    void TearDown() override { close_unit(file_unit); }

    // Runs `body`, which must end the run with the fatal report, and gives the report.
    std::string report_of(const std::function<void()>& body) {
        const testing::EndedRun ended = testing::run_until_end(body);
        EXPECT_EQ(ended.status, -1);
        return ended.report;
    }
    std::string report(std::string_view first_line, std::string_view format) const {
        return std::string(first_line) + "\napparent state: unit 20 named " + name_ +
               "\nlast format: " + std::string(format) +
               "\nlately reading sequential formatted external IO\n";
    }

    std::int32_t read_answer(std::int32_t start) {
        begin_free_read(file_unit, false);
        read_integer(start);
        end_free_read();
        return start;
    }

    RunHarness harness_;
    TempDir dir_;
    std::string name_;
};

TEST_F(Reads, IntegerAnswerTakesTheFirstValueAndDiscardsTheRestOfItsLine) {
    const struct {
        std::string_view line;
        std::int32_t value;
    } cases[] = {
        {"1\n", 1},
        {"+1\n", 1},
        {"001\n", 1},
        {"  1  \n", 1},
        {"1\r\n", 1},
        {"\n  \n\t\n1\n", 1},
        {"1 2\n", 1},
        {"1,000\n", 1},
        {",\n", 77},
        {"/\n", 77},
        {"3*\n", 77},
        {"12abc\n", 12},
        {"3*5\n", 5},
        {"2+1\n", 20},
        {"1-2\n", 0},
        {"3000000000\n", -2147483647 - 1},
        {"-2147483648\n", -2147483647 - 1},
        {"2147483647\n", 2147483647},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.line);
        input(std::string(c.line) + "9\n");
        EXPECT_EQ(read_answer(77), c.value);
        EXPECT_EQ(read_answer(77), 9) << "the next read starts on the next line";
    }
}

TEST_F(Reads, FourDoublesComeFromAsManyLinesAsTheyNeed) {
    const struct {
        std::string_view text;
        std::array<double, 4> corners;
    } cases[] = {
        {"0.1 0.5 20 25\n", {0.1, 0.5, 20, 25}},
        {"0.1,0.5,20,25\n", {0.1, 0.5, 20, 25}},
        {"0.1 , 0.5 ,\t20 , 25\n", {0.1, 0.5, 20, 25}},
        {"0.1\n0.5\n\n20\n25\n", {0.1, 0.5, 20, 25}},
        {"0.1 0.5\n20 25 30\n", {0.1, 0.5, 20, 25}},
        {"0.1,,20,25\n", {0.1, -1, 20, 25}},
        {"2*0.1 20 25\n", {0.1, 0.1, 20, 25}},
        {"2*0.1,20,25\n", {0.1, 0.1, 20, 25}},
        {"3*,25\n", {-1, -1, -1, 25}},
        {"0.1 / 7 7\n", {0.1, -1, -1, -1}},
        {"1d3 1.5-2 1.5 -2\n", {1000, 0.015, 1.5, -2}},
        {"1.0E-03 1.0e-03 .5 5.\n", {0.001, 0.001, 0.5, 5}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        input(std::string(c.text) + "9\n");
        std::array<double, 4> corners = {-1, -1, -1, -1};
        begin_free_read(file_unit, false);
        for (double& corner : corners) EXPECT_EQ(read_double(corner), 0);
        EXPECT_EQ(end_free_read(), 0);
        EXPECT_EQ(corners, c.corners);
        EXPECT_EQ(read_answer(77), 9);
    }
}

TEST_F(Reads, BadAnswersEndTheRunWithTheirReport) {
    const struct {
        std::string_view text;
        char kind;  // i: one integer, d: one double, t: four texts
        std::string_view first_line;
    } cases[] = {
        {"1.0\n", 'i', "invalid integer: read unexpected character"},
        {"1e0\n", 'i', "invalid integer: read unexpected character"},
        {"y\n", 'i', "invalid number: incomprehensible list input"},
        {"yes\n", 'i', "invalid number: incomprehensible list input"},
        {"'1'\n", 'i', "invalid number: incomprehensible list input"},
        {"NaN\n", 'd', "invalid number: incomprehensible list input"},
        {"---\n", 'd', "exponent field: incomprehensible list input"},
        {"1e\n", 'd', "exponent field: incomprehensible list input"},
        {"1e123456789\n", 'd', "exponent field: incomprehensible list input"},
        {"*5\n", 'd', "bad repetition count: incomprehensible list input"},
        {"0*5\n", 'i', "bad repetition count: incomprehensible list input"},
        {"-2*5\n", 'i', "bad repetition count: incomprehensible list input"},
        {"", 'i', "list in: end of file"},
        {"\n \n", 'd', "list in: end of file"},
        {"A B\n", 't', "list in: end of file"},
        {"'abc\n", 't', "list in: end of file"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        input(c.text);
        const std::string text = report_of([&] {
            begin_free_read(file_unit, false);
            std::int32_t i = 0;
            double d = 0;
            TextField t;
            if (c.kind == 'i') read_integer(i);
            if (c.kind == 'd') read_double(d);
            for (int k = 0; c.kind == 't' && k < 4; ++k) read_text(t);
        });
        EXPECT_EQ(text, report(c.first_line, "list io"));
    }
}

TEST_F(Reads, ReadAfterTheEndOfTheInputFailsAtItsStart) {
    input("5");
    EXPECT_EQ(read_answer(0), 5) << "a last line without its line feed is read";
    EXPECT_EQ(report_of([] { begin_free_read(file_unit, false); }),
              report("read start: end of file", "list io"));
}

TEST_F(Reads, FinalWaitTakesAnyLineAndLetsTheEndOfTheInputPassOnce) {
    input("\n");
    EXPECT_EQ(begin_free_read(file_unit, false), 0);
    EXPECT_EQ(end_free_read(), 0);
    ErrorCapture quiet;
    EXPECT_EQ(begin_free_read(file_unit, false), 0);
    EXPECT_EQ(end_free_read(), -1) << "the end of the input at the wait comes back unreported";
    EXPECT_EQ(quiet.text(), "");
    EXPECT_EQ(report_of([] { begin_free_read(file_unit, false); }),
              report("read start: end of file", "list io"));
}

TEST_F(Reads, HeaderTextsAreBlankPaddedAndFollowTheTextRules) {
    const struct {
        std::string_view text;
        std::array<std::string_view, 4> heads;
        std::string_view after;  // the line that the read after the skipped line takes
    } cases[] = {
        {"STN EW NS UD\nskip\nnext\n", {"STN", "EW", "NS", "UD"}, "next"},
        {"A B C D E F\nskip\nnext\n", {"A", "B", "C", "D"}, "next"},
        {"A,B,C,D\nskip\nnext\n", {"A", "B", "C", "D"}, "next"},
        {"'N-S comp' EW NS UD\nskip\nnext\n", {"N-S comp", "EW", "NS", "UD"}, "next"},
        {"2019/05/20 EW NS UD\nskip\nnext\n", {"2019", "old", "old", "old"}, "next"},
        {"A B\nC D E\nskip\nnext\n", {"A", "B", "C", "D"}, "next"},
        {"'it''s' \"say \"\"hi\"\"\" c d\nskip\nnext\n", {"it's", "say \"hi\"", "c", "d"}, "next"},
        {"'ab\ncd' 'ab\\\ncd' c d\nskip\nnext\n", {"abcd", "ab\ncd", "c", "d"}, "next"},
        {"3*x y\nskip\nnext\n", {"x", "x", "x", "y"}, "next"},
        {"2*,c d\nskip\nnext\n", {"old", "old", "c", "d"}, "next"},
        {"00*x 12ab 12 a'b\nskip\nnext\n", {"00*x", "12ab", "12", "a'b"}, "next"},
        {"a\0b \xc3\xa9t\xc3\xa9 c d\r\nskip\r\nnext\r\n"sv, {"a", "\xc3\xa9t\xc3\xa9", "c", "d"}, "next"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        input(c.text);
        TextField heads[4];
        for (TextField& h : heads) std::copy_n(padded("old").data(), text_field_length, h);
        begin_free_read(file_unit, false);
        for (TextField& h : heads) EXPECT_EQ(read_text(h), 0);
        EXPECT_EQ(end_free_read(), 0);
        for (int k = 0; k < 4; ++k) EXPECT_EQ(field_text(heads[k]), padded(c.heads[k]));
        begin_free_read(file_unit, false);
        EXPECT_EQ(end_free_read(), 0);
        TextField after;
        begin_free_read(file_unit, false);
        read_text(after);
        end_free_read();
        EXPECT_EQ(field_text(after), padded(c.after));
    }
}

TEST_F(Reads, LongTextKeepsItsFirstNinetyCharacters) {
    const std::string long_text(200, 'x');
    input(long_text + "\n");
    TextField head;
    begin_free_read(file_unit, false);
    read_text(head);
    end_free_read();
    EXPECT_EQ(field_text(head), long_text.substr(0, text_field_length));
}

TEST_F(Reads, UnfinishedQuotedTextGivesAnUnreportedEndAndLeavesItsItem) {
    input("'abc");
    TextField head;
    std::copy_n(padded("old").data(), text_field_length, head);
    ErrorCapture quiet;
    begin_free_read(file_unit, false);
    EXPECT_EQ(read_text(head), -1);
    EXPECT_EQ(end_free_read(), 0);
    EXPECT_EQ(quiet.text(), "");
    EXPECT_EQ(field_text(head), padded("old"));
}

// Reads table rows as the table reader does, until one gives an end of file.
struct Rows {
    std::vector<std::array<double, row_values>> complete;
    std::array<double, row_values> last{};  // the row that met the end, as far as it was stored
    std::string end_at;                     // "begin", "item N" or "end"
};

Rows read_rows() {
    Rows rows;
    std::array<double, row_values> row;
    row.fill(-1);
    for (;;) {
        if (begin_free_read(file_unit, true) < 0) {
            rows.end_at = "begin";
            break;
        }
        int item = 0;
        while (item < row_values && read_double(row[item]) == 0) ++item;
        if (item < row_values) {
            rows.end_at = "item " + std::to_string(item + 1);
            break;
        }
        if (end_free_read() < 0) {
            rows.end_at = "end";
            break;
        }
        rows.complete.push_back(row);
    }
    rows.last = row;
    return rows;
}

std::string row_line(int first, int count, std::string_view separator = " ") {
    std::string line;
    for (int k = 0; k < count; ++k) line += (k ? std::string(separator) : "") + std::to_string(first + k);
    return line;
}

TEST_F(Reads, TableRowsHandTheEndOfTheFileBackWhereItIsMet) {
    const std::string row1 = row_line(1, 43), row2 = row_line(101, 43);
    const struct {
        std::string text;
        std::size_t complete;
        std::string_view end_at;
        double second_row_first;  // value 1 of the second complete row (or of the last row read)
    } cases[] = {
        {row1 + "\n" + row2 + "\n", 2, "item 1", 101},
        {row1 + "\n" + row2 + "\n\n\n  \n", 2, "item 1", 101},
        {row1 + "\n" + row2, 2, "begin", 101},
        {row1 + "\n" + row2 + ",", 1, "end", 101},
        {row1 + "\n" + row2 + " 7", 1, "end", 101},
        {row_line(1, 44) + "\n" + row2 + "\n", 2, "item 1", 101},
        {row_line(1, 42) + "\n43 x y\n" + row2 + "\n", 2, "item 1", 101},
        {row_line(1, 43, ",") + "\n" + row_line(101, 43, " , ") + "\r\n", 2, "item 1", 101},
        {row1 + "\n" + row_line(101, 20), 1, "item 21", 101},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        input(c.text);
        ErrorCapture quiet;
        const Rows rows = read_rows();
        EXPECT_EQ(quiet.text(), "") << "ends handed back are not reported";
        EXPECT_EQ(rows.complete.size(), c.complete);
        EXPECT_EQ(rows.end_at, c.end_at);
        ASSERT_FALSE(rows.complete.empty());
        for (int k = 0; k < row_values; ++k) EXPECT_EQ(rows.complete[0][k], k + 1);
        const auto& second = rows.complete.size() > 1 ? rows.complete[1] : rows.last;
        EXPECT_EQ(second[0], c.second_row_first);
    }
}

TEST_F(Reads, NullFieldsAndSlashesLeaveColumnsAsTheyWere) {
    input("1,,3 " + row_line(4, 40) + "\n5 6 / 7\n" + row_line(101, 43) + "\n");
    const Rows rows = read_rows();
    ASSERT_EQ(rows.complete.size(), 3u);
    EXPECT_EQ(rows.complete[0][1], -1);
    EXPECT_EQ(rows.complete[0][2], 3);
    EXPECT_EQ(rows.complete[1][0], 5);
    EXPECT_EQ(rows.complete[1][1], 6);
    EXPECT_EQ(rows.complete[1][2], 3) << "the slash leaves the rest of the row as it was";
    EXPECT_EQ(rows.complete[2][0], 101);
}

TEST_F(Reads, HeaderOnlyFileWithoutLineFeedFailsAtTheSkippedLine) {
    input("STN EW NS UD");
    TextField head;
    begin_free_read(file_unit, false);
    for (int k = 0; k < 4; ++k) read_text(head);
    EXPECT_EQ(end_free_read(), 0);
    EXPECT_EQ(report_of([] { begin_free_read(file_unit, false); }),
              report("read start: end of file", "list io"));
}

TEST_F(Reads, ReadFailureIsReportedWithTheSystemTextAlsoWithAnEndBranch) {
    // A folder opens read-only and then refuses to be read.
    name_ = dir_.path().string();
    open_unit(file_unit, name_);
    const std::string text = report_of([] {
        begin_free_read(file_unit, true);
        double value;
        read_double(value);
    });
    EXPECT_EQ(text.substr(0, text.find('\n')), "list in: Is a directory");
}

TEST_F(Reads, LineFieldTakesTheLineAsTypedBlankPadded) {
    const std::string hundred = row_line(1000, 25, "");
    const struct {
        std::string text;
        std::string field;
    } cases[] = {
        {"data.txt\nnext\n", "data.txt"},
        {"  a b\t'c\"\nnext\n", "  a b\t'c\""},
        {"\nnext\n", ""},
        {"name\r\nnext\r\n", "name"},
        {"a\rb\nnext\n", "a\rb"},
        {hundred + "\nnext\n", hundred.substr(0, text_field_length)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        input(c.text);
        TextField field;
        read_line_field(file_unit, field);
        EXPECT_EQ(field_text(field), padded(c.field));
        read_line_field(file_unit, field);
        EXPECT_EQ(field_text(field), padded("next"));
    }
}

TEST_F(Reads, LineFieldEndsTheRunWhenTheInputEndsBeforeNinetyCharacters) {
    for (std::string_view text : {"", "abc"}) {
        input(text);
        TextField field;
        EXPECT_EQ(report_of([&] { read_line_field(file_unit, field); }), report("fmt: end of file", "(A90)"));
    }
    input(std::string(text_field_length, 'n'));
    TextField field;
    read_line_field(file_unit, field);
    EXPECT_EQ(field_text(field), std::string(text_field_length, 'n'));
    EXPECT_EQ(report_of([&] { read_line_field(file_unit, field); }),
              report("read start: end of file", "(A90)"));
}

TEST_F(Reads, NumbersAcrossBufferEdgesReadAsInsideTheBuffer) {
    // Every shift puts another byte of the lines on the edge of the first 65536-byte block.
    std::string lines;
    std::vector<double> expected;
    for (int i = 0; lines.size() < 70000; ++i) {
        char token[32];
        // Plain numbers (taken straight from the buffer) and numbers with exponents (scanned in full).
        const int n =
            i % 4 < 2 ? std::snprintf(token, sizeof token, "%s%d.%03d", i % 3 ? "" : "-", i % 977, i % 1000)
                      : std::snprintf(token, sizeof token, "%s%d.%03de%+d", i % 3 ? "" : "-", i % 977,
                                      i % 1000, i % 7 - 3);
        double value;
        portable::from_chars(token, token + n, value);
        expected.push_back(value);
        lines += std::string(token, static_cast<std::size_t>(n)) + (i % 2 ? "\r\n" : " ,\n");
    }
    for (int shift = 0; shift < 16; ++shift) {
        SCOPED_TRACE(shift);
        input(std::string(static_cast<std::size_t>(shift), ' ') + lines);
        for (double value : expected) {
            double got = 0;
            begin_free_read(file_unit, false);
            read_double(got);
            end_free_read();
            ASSERT_EQ(got, value);
        }
    }
}

// Every number of a table row converts to the double nearest its decimal text, whatever its digits,
// point, sign and separator: checked against the standard conversion over many generated rows.
TEST_F(Reads, TableNumbersAreTheNearestDoublesOfTheirText) {
    std::mt19937_64 random(11);
    std::string table;
    std::vector<double> expected;
    const char* separators[] = {" ", "  ", "\t", ",", " , ", "\r\n", "\n"};
    for (int row = 0; row < 2000; ++row) {
        for (int j = 0; j < row_values; ++j) {
            std::string digits;
            const int length = 1 + static_cast<int>(random() % 24);
            for (int k = 0; k < length; ++k) digits += static_cast<char>('0' + random() % 10);
            const int point = static_cast<int>(random() % (length + 2)) - 1;  // -1: no point
            std::string number = point < 0 ? digits : digits.substr(0, point) + "." + digits.substr(point);
            if (number == ".") number = "0.";
            if (random() % 8 == 0) number += "e" + std::to_string(static_cast<int>(random() % 40) - 20);
            double value = 0;
            portable::from_chars(number.data(), number.data() + number.size(), value);
            const int sign = static_cast<int>(random() % 3);
            if (sign == 1) number = "-" + number, value = -value;
            if (sign == 2) number = "+" + number;
            if (value == 0) value = 0.0;  // a number of zeros reads as 0
            expected.push_back(value);
            table += number;
            table += j + 1 < row_values ? separators[random() % 5] : separators[5 + random() % 2];
        }
    }
    input(table);
    std::array<double, row_values> values{};
    std::size_t at = 0;
    // The end of the table is handed back at the first item of the row after the last.
    while (begin_free_read(file_unit, true) == 0 && read_double(values[0]) == 0) {
        for (std::size_t j = 1; j < values.size(); ++j) ASSERT_EQ(read_double(values[j]), 0);
        end_free_read();
        for (const double v : values) {
            ASSERT_EQ(v, expected[at]) << "number " << at;
            ASSERT_EQ(std::signbit(v), std::signbit(expected[at])) << "number " << at;
            ++at;
        }
    }
    EXPECT_EQ(at, expected.size());
}

}  // namespace
}  // namespace smwave

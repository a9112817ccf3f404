// Reading the waveform table: row shapes, the echo file, counts, capacity and the refusals.
#include <gtest/gtest.h>

#include <charconv>
#include <csignal>

#include "e2e/transcript.hpp"
#include "support/tool_run.hpp"

namespace smwave::testing {
namespace {

// A row of 43 numbers: the time, then channel j holding j + row/1000, except the chosen components.
std::string row(double time, double comp1, double comp2, double comp3, int values = 43) {
    std::string text;
    char number[64];
    for (int j = 0; j < values; ++j) {
        double v = j + 0.5;
        if (j == 0) v = time;
        if (j == 38) v = comp1;
        if (j == 40) v = comp2;
        if (j == 17) v = comp3;
        const auto end = std::to_chars(number, number + sizeof number, v).ptr;
        if (j > 0) text += ' ';
        text.append(number, end);
    }
    return text;
}

class Table : public ::testing::Test {
  protected:
    // Runs up to the sign question and ends the console input there; gives the console output.
    ToolResult read(std::string_view table) {
        write_file(dir / "t.txt", table);
        return run_tool(dir.path(), "t.txt\n");
    }
    std::string echo() { return read_file(dir / "fort.99"); }
    TempDir dir;
};

TEST_F(Table, EchoHoldsTimeAndTheThreeRawComponentsOfEveryRow) {
    const ToolResult r = read("STN EW NS UD\nskip me\n" + row(0, 1, 2, 3) + "\n" +
                              row(0.01, -2.5, 0, 0.00001) + "\n" + row(0.02, 4, 5, 6) + "\n");
    EXPECT_EQ(r.out, input_prompt + table_report("3  0.01") + sign_question);
    EXPECT_EQ(echo(), "  0.  1.  2.  3.\n  0.01 -2.5  0.  1.E-005\n  0.02  4.  5.  6.\n");
}

TEST_F(Table, RowsMaySpanLinesAndExtraValuesAreDropped) {
    const std::string r1 = row(0, 1, 2, 3);
    const std::string split = r1.substr(0, r1.find(" 20.5")) + "\n" + r1.substr(r1.find(" 20.5") + 1);
    const std::string long_row = row(0.01, 4, 5, 6, 45);  // two extra values, dropped
    const std::string short_row =
        row(0.02, 7, 8, 9, 42) + "\n" + "3 99 99\n";  // 43rd value from the next line
    const ToolResult r = read("A B\nC D\nskipped\n" + split + "\n" + long_row + "\n" + short_row + "\n\n\n");
    EXPECT_EQ(r.out, input_prompt + table_report("3  0.01") + sign_question);
    EXPECT_EQ(echo(), "  0.  1.  2.  3.\n  0.01  4.  5.  6.\n  0.02  7.  8.  9.\n");
}

TEST_F(Table, EmptyFieldsAndSlashesLeaveColumnsAtZero) {
    std::string with_empty = row(0, 1, 2, 3);
    // Replace component 3 (value 17) of the first row by an empty field.
    const std::size_t at = with_empty.find(" 16.5 ") + 6;
    with_empty = with_empty.substr(0, at - 1) + "," + "," + with_empty.substr(with_empty.find(' ', at) + 1);
    const std::string r2 = row(0.01, 4, 5, 6);
    const std::string slashed = r2.substr(0, r2.find(" 16.5")) + " / ignored";
    const ToolResult r = read("H1 H2 H3 H4\nx\n" + with_empty + "\n" + slashed + "\n");
    EXPECT_EQ(echo(), "  0.  1.  2.  0.\n  0.01  0.  0.  0.\n");
    EXPECT_EQ(r.out, input_prompt + table_report("2  0.01") + sign_question);
}

TEST_F(Table, LastRowCountsOnlyWhenComplete) {
    const std::string rows = "H\n \" \" a b\nx\n" + row(0, 1, 2, 3) + "\n" + row(0.01, 4, 5, 6);
    EXPECT_EQ(read(rows).out, input_prompt + table_report("2  0.01") + sign_question);
    // Without its line end, a complete row followed by a comma or another value is not counted; the
    // time it stored still gives dt.
    const std::string one_row = input_prompt + table_report("1  0.01") + sign_question;
    EXPECT_EQ(read(rows + ",").out, one_row);
    EXPECT_EQ(read(rows + " 7").out, one_row);
}

TEST_F(Table, HeaderWithoutRowsLeavesAnExistingEchoFileUntouched) {
    write_file(dir / "fort.99", "old echo\n");
    const ToolResult r = read("STN EW NS UD\n");
    EXPECT_EQ(r.out, input_prompt + table_report("0  0."));
    EXPECT_EQ(echo(), "old echo\n");
    EXPECT_EQ(r.status, 2);
}

TEST_F(Table, TooFewRowsOrEqualTimesAreRefusedAfterTheCount) {
    for (const std::string& rows :
         {row(0, 1, 2, 3) + "\n", row(5, 1, 2, 3) + "\n" + row(5, 1, 2, 3) + "\n"}) {
        const ToolResult r = read("STN EW NS UD\nx\n" + rows);
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("at least two rows with different"), std::string::npos) << r.err;
        EXPECT_EQ(r.out.substr(0, input_prompt.size() + 13), input_prompt + "\n NT and DT= ");
        EXPECT_EQ(r.out.find("Change"), std::string::npos);
    }
}

TEST_F(Table, BadNumberEndsTheRunAfterEchoingTheRowsBefore) {
    std::string bad = row(0.02, 7, 8, 9);
    bad.replace(bad.find("20.5"), 4, "abc");
    const ToolResult r =
        read("STN EW NS UD\nx\n" + row(0, 1, 2, 3) + "\n" + row(0.01, 4, 5, 6) + "\n" + bad + "\n");
    EXPECT_EQ(r.out, input_prompt);
    EXPECT_EQ(r.err,
              "invalid number: incomprehensible list input\napparent state: unit 11 named t.txt\n"
              "last format: list io\nlately reading sequential formatted external IO\n");
    EXPECT_EQ(r.signal, SIGABRT);
    EXPECT_EQ(echo(), "  0.  1.  2.  3.\n  0.01  4.  5.  6.\n");
}

TEST_F(Table, MissingTableIsCreatedEmptyAndReported) {
    const ToolResult r = run_tool(dir.path(), "nosuch.txt\n");
    EXPECT_EQ(r.err,
              "list in: end of file\napparent state: unit 11 named nosuch.txt\n"
              "last format: list io\nlately reading sequential formatted external IO\n");
    EXPECT_TRUE(std::filesystem::exists(dir / "nosuch.txt"));
    EXPECT_EQ(std::filesystem::file_size(dir / "nosuch.txt"), 0u);
}

// Tables over the transform limit and over the storage: counted in full, then the over-length line and
// a refusal that names the count and the limit.
TEST_F(Table, RowsBeyondTheLimitsAreCountedAndRefused) {
    for (const int rows : {131073, 132001}) {
        std::string table = "STN EW NS UD\nx\n";
        std::string zeros;
        for (int j = 0; j < 42; ++j) zeros += " 0";
        char number[32];
        for (int i = 0; i < rows; ++i) {
            table.append(number, std::to_chars(number, number + sizeof number, i * 0.01).ptr);
            table += zeros;
            table += '\n';
        }
        write_file(dir / "fort.99", "");
        write_file(dir / "big.txt", table);
        const ToolResult r = run_tool(dir.path(), "big.txt\n0\n");
        EXPECT_EQ(r.out, input_prompt + table_report(std::to_string(rows) + "  0.01") + sign_question +
                             "  NT>2**17 !!!!!\n");
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, "smwave: the table has " + std::to_string(rows) +
                             " rows; at most 131072 can be transformed; cut the record first\n");
        EXPECT_FALSE(std::filesystem::exists(dir / "amp3.csv"));
        const std::string echoed = echo();
        EXPECT_EQ(std::count(echoed.begin(), echoed.end(), '\n'), rows);
        EXPECT_EQ(echoed.substr(echoed.rfind('\n', echoed.size() - 2) + 1, 10),
                  rows == 132001 ? "  1320.  0" : "  1310.72 ");
    }
}

}  // namespace
}  // namespace smwave::testing

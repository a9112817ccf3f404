// The console dialogue of whole runs: every prompt, report and branch, and the reports of bad answers.
#include <gtest/gtest.h>

#include <cmath>
#include <csignal>

#include "e2e/transcript.hpp"
#include "support/tool_run.hpp"

namespace smwave::testing {
namespace {

constexpr double pi = 3.14159265358979323846;

// Components 1..3 (columns 38, 40, 17) carry three different waves; every other column holds its number.
double wave(int row, int column) {
    const double t = (row - 1) * 0.01;
    if (column == 38) return std::sin(2 * pi * 1.5 * t);
    if (column == 40) return 0.5 * std::cos(2 * pi * 3.0 * t);
    if (column == 17) return 0.25 * std::sin(2 * pi * 0.7 * t) + 0.1;
    return column;
}

class Dialogue : public ::testing::Test {
  protected:
    void SetUp() override { write_file(dir / "table.txt", make_table(4096, 0.01, wave)); }
    ToolResult run(std::string_view answers) { return run_tool(dir.path(), answers); }
    TempDir dir;
};

TEST_F(Dialogue, AllZeroAnswersRunTheWholeJob) {
    const ToolResult r = run("table.txt\n0\n0\n0\n0\n0\nout.csv\n\n");
    EXPECT_EQ(r.out, all_zero_transcript_4096());
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);

    const std::string amp = read_file(dir / "amp3.csv");
    EXPECT_EQ(std::count(amp.begin(), amp.end(), '\n'), 2050);
    EXPECT_EQ(amp.substr(0, amp.find('\n')), " frequency(Hz),comp1, comp2, comp3");
    EXPECT_EQ(amp.substr(amp.find('\n') + 1, 9), "  0.0000,");
    EXPECT_NE(amp.find("\n  0.0244,"), std::string::npos);
    EXPECT_EQ(amp.substr(amp.rfind('\n', amp.size() - 2) + 1, 9), " 50.0000,");

    const std::string out = read_file(dir / "out.csv");
    EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 4097);
    EXPECT_EQ(out.substr(0, out.find('\n', out.find('\n') + 1) + 1),
              " time(s),comp1, comp2, comp3\n   0.000,  0.0000E+00,  0.0000E+00,  0.0000E+00,\n");
    const std::string echo = read_file(dir / "fort.99");
    EXPECT_EQ(std::count(echo.begin(), echo.end(), '\n'), 4096);
}

TEST_F(Dialogue, SignQuestionsAreAskedOnlyAfterOneAndNegateTheChosenComponents) {
    const ToolResult plain = run("table.txt\n0\n0\n0\n0\n0\nplain.csv\n\n");
    const ToolResult flipped = run("table.txt\n1\n1\n0\n1\n0\n0\n0\n0\nflipped.csv\n\n");
    const std::string questions =
        "\n  Change from + to - of FILE 1 ? (YES=1)?? :\n"
        "  Change from + to - of FILE 2 ? (YES=1)?? :\n"
        "  Change from + to - of FILE 3 ? (YES=1)?? :\n";
    std::string expected = all_zero_transcript_4096();
    expected.insert(expected.find(sign_question) + sign_question.size(), questions);
    EXPECT_EQ(flipped.out, expected);
    EXPECT_EQ(run("table.txt\n2\n0\n0\n0\n0\nother.csv\n\n").out, all_zero_transcript_4096());

    // Row 2 of each file: components 1 and 3 change sign, component 2 does not.
    auto row = [&](const char* name, int n) {
        std::string text = read_file(dir / name);
        std::size_t at = 0;
        for (int i = 0; i < n; ++i) at = text.find('\n', at) + 1;
        return text.substr(at, text.find('\n', at) - at);
    };
    const std::string a = row("plain.csv", 3), b = row("flipped.csv", 3);
    EXPECT_EQ(a.substr(0, 8), b.substr(0, 8));
    EXPECT_EQ(b.substr(9, 12), " -" + a.substr(11, 10));
    EXPECT_EQ(a.substr(22, 12), b.substr(22, 12));
}

TEST_F(Dialogue, BandPassCornersMayBeTypedInEveryAllowedWay) {
    std::string first;
    for (const char* corners : {"0.1 0.5 20 25\n", "0.1,0.5,20,25\n", "0.1 , 0.5 ,20,  25\n",
                                "0.1\n0.5\n20\n25\n", "0.1 0.5\n20 25 30\n"}) {
        const ToolResult r = run(std::string("table.txt\n0\n1\n") + corners + "0\n0\n0\nout.csv\n\n");
        std::string expected = all_zero_transcript_4096();
        expected.insert(expected.find(band_question) + band_question.size(), corner_prompt);
        EXPECT_EQ(r.out, expected) << corners;
        EXPECT_EQ(r.status, 0);
        const std::string amp = read_file(dir / "amp3.csv");
        if (first.empty()) first = amp;
        EXPECT_EQ(amp, first) << corners;
        // The zero-frequency bin is removed and bins above 25 Hz are cleared.
        EXPECT_EQ(amp.substr(amp.find('\n') + 1, 48), "  0.0000,  0.0000E+00,  0.0000E+00,  0.0000E+00,");
        EXPECT_EQ(amp.substr(amp.rfind('\n', amp.size() - 2) + 1),
                  " 50.0000,  0.0000E+00,  0.0000E+00,  0.0000E+00,\n");
    }
}

TEST_F(Dialogue, MenuValuesOutsideTheListChangeNothing) {
    run("table.txt\n0\n0\n0\n0\n0\nzero.csv\n\n");
    const std::string zero = read_file(dir / "amp3.csv");
    for (const char* answer : {"7", "-1", "4"}) {
        const ToolResult r = run(std::string("table.txt\n0\n0\n") + answer + "\n0\n0\nout.csv\n\n");
        EXPECT_EQ(r.out, all_zero_transcript_4096());
        EXPECT_EQ(read_file(dir / "amp3.csv"), zero) << answer;
        EXPECT_EQ(read_file(dir / "out.csv"), read_file(dir / "zero.csv")) << answer;
    }
}

TEST_F(Dialogue, EmptyLinesAndExtraValuesInAnswersAreSkipped) {
    const ToolResult r = run("table.txt\n\n   \n0 1\n+0\n000\n0,5\n0\nout.csv\n\n");
    EXPECT_EQ(r.out, all_zero_transcript_4096());
    EXPECT_EQ(r.status, 0);
}

TEST_F(Dialogue, EndOfInputAtTheFinalWaitEndsTheRunNormally) {
    const ToolResult r = run("table.txt\n0\n0\n0\n0\n0\nout.csv\n");
    EXPECT_EQ(r.out, all_zero_transcript_4096());
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.status, 0);
}

TEST_F(Dialogue, BadAnswersEndTheRunWithTheirReports) {
    struct Case {
        const char* answers;
        const char* report;
    };
    const std::string state =
        "apparent state: unit 5 (unnamed)\nlast format: list io\n"
        "lately reading sequential formatted external IO\n";
    for (const Case c : {Case{"table.txt\n1.0\n", "invalid integer: read unexpected character\n"},
                         Case{"table.txt\n1e0\n", "invalid integer: read unexpected character\n"},
                         Case{"table.txt\ny\n", "invalid number: incomprehensible list input\n"},
                         Case{"table.txt\n'1'\n", "invalid number: incomprehensible list input\n"},
                         Case{"table.txt\n", "list in: end of file\n"}}) {
        const ToolResult r = run(c.answers);
        EXPECT_EQ(r.out, input_prompt + table_report("4096  0.01") + sign_question) << c.answers;
        EXPECT_EQ(r.err, c.report + state) << c.answers;
        EXPECT_EQ(r.signal, SIGABRT) << c.answers;
    }
}

TEST_F(Dialogue, EndOfInputAtTheFileNamePromptIsReported) {
    const ToolResult r = run("");
    EXPECT_EQ(r.out, input_prompt);
    EXPECT_EQ(r.err,
              "fmt: end of file\napparent state: unit 5 (unnamed)\nlast format: (A90)\n"
              "lately reading sequential formatted external IO\n");
    EXPECT_EQ(r.signal, SIGABRT);
}

TEST_F(Dialogue, EmptyFileNameIsANullName) {
    const ToolResult r = run("\n");
    EXPECT_EQ(r.out, input_prompt);
    EXPECT_EQ(r.err,
              "open: null file name\napparent state: unit 11 named \n"
              "lately reading sequential formatted external IO\n");
    EXPECT_EQ(r.signal, SIGABRT);
}

}  // namespace
}  // namespace smwave::testing

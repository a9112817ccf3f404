// The time window, the thinning step and the waveform file, through whole runs.
#include <gtest/gtest.h>

#include "e2e/transcript.hpp"
#include "support/tool_run.hpp"

namespace smwave::testing {
namespace {

// Eight rows at 0.5 s; components 1, 2, 3 hold k, 10k and -k in row k.
double ramp(int row, int column) {
    if (column == 38) return row;
    if (column == 40) return 10.0 * row;
    if (column == 17) return -row;
    return 0.0;
}

const std::string header = " time(s),comp1, comp2, comp3\n";

// A waveform row of time t and the three relative values c, 10c, -c (c a small whole number).
std::string line(const char* t, int c) {
    auto e = [](int v) {
        if (v == 0) return std::string("  0.0000E+00");
        const int magnitude = v < 0 ? -v : v;
        const std::string digits = magnitude < 10 ? std::to_string(magnitude) + "000E+01"
                                                  : std::to_string(magnitude).substr(0, 2) + "00E+02";
        return std::string(v < 0 ? " -" : "  ") + "0." + digits;
    };
    return std::string(t) + "," + e(c) + "," + e(10 * c) + "," + e(-c) + ",\n";
}

class Window : public ::testing::Test {
  protected:
    void SetUp() override { write_file(dir / "t.txt", make_table(8, 0.5, ramp)); }
    // Runs with every answer 0 up to the cut, then `cut_and_skip`, output name out.csv and Enter.
    ToolResult run(const std::string& cut_and_skip) {
        return run_tool(dir.path(), "t.txt\n0\n0\n0\n" + cut_and_skip + "out.csv\n\n");
    }
    std::string out() { return read_file(dir / "out.csv"); }
    TempDir dir;
};

TEST_F(Window, CutReportsTheCountsAndStartsAtTheChosenSample) {
    const ToolResult r = run("1\n1.0\n1.0\n0\n");
    EXPECT_NE(r.out.find(cut_question +
                         " Enter Starting Time (sec)\n Number of Cutting Data = 2\n"
                         " Enter Duration (sec)\n Number of data = 3\n New nt = 3\n" +
                         skip_question + output_prompt),
              std::string::npos)
        << r.out;
    EXPECT_EQ(out(), header + line("   0.000", 0) + line("   0.500", 1) + line("   1.000", 2));
}

TEST_F(Window, ZeroStartBeginsAtSampleOne) {
    run("1\n0\n1.5\n0\n");
    EXPECT_EQ(out(),
              header + line("   0.000", 0) + line("   0.500", 1) + line("   1.000", 2) + line("   1.500", 3));
}

TEST_F(Window, NegativeStartPadsTheFrontWithZeros) {
    const ToolResult r = run("1\n-1.0\n2.0\n0\n");
    EXPECT_NE(r.out.find(" Number of Cutting Data = -2\n"), std::string::npos);
    EXPECT_EQ(out(), header + line("   0.000", 0) + line("   0.500", 0) + line("   1.000", 1) +
                         line("   1.500", 2) + line("   2.000", 3));
}

TEST_F(Window, WindowLongerThanTheRecordReadsZerosAndZeroTimes) {
    run("1\n3.0\n5.0\n0\n");
    const std::string file = out();
    // Samples 7 and 8 of the record, then zeros beyond the transform length; times past row 8 are 0.
    EXPECT_EQ(file.substr(0, header.size() + 2 * 49), header + line("   0.000", 0) + line("   0.500", 1));
    EXPECT_EQ(file.substr(file.size() - 2 * 49), line("   0.000", -7) + line("   0.000", -7));
    EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 12);
}

TEST_F(Window, NullDurationKeepsTheFrameDuration) {
    // Eight rows at 0.5 s: the frame is 8 samples, 4 s, so the window holds 4/0.5 + 1 = 9 samples.
    for (const char* duration : {",", "/", "3*", " , 7", "/ 2"}) {
        const ToolResult r = run(std::string("1\n0\n") + duration + "\n0\n");
        EXPECT_NE(r.out.find(" Number of data = 9\n New nt = 9\n"), std::string::npos) << duration << r.out;
        const std::string file = out();
        EXPECT_EQ(std::count(file.begin(), file.end(), '\n'), 10) << duration;
    }
}

// A null answer (a lone comma, a slash, a repeat count without a value) leaves its variable as it
// was: each answer then acts as its starting value typed out, 0, and the window duration as the
// frame duration (8 samples at 0.5 s).
TEST_F(Window, NullAnswersActAsTheStartingValues) {
    struct Case {
        const char* with_null;
        const char* typed;
    };
    for (const Case c : {Case{",\n0\n0\n0\n0\n", "0\n0\n0\n0\n0\n"},
                         Case{"1\n/\n1\n3*\n0\n0\n0\n0\n", "1\n0\n1\n0\n0\n0\n0\n0\n"},
                         Case{"0\n1\n4*\n0\n0\n0\n", "0\n1\n0 0 0 0\n0\n0\n0\n"},
                         Case{"0\n1\n0.1,,1,/\n0\n0\n0\n", "0\n1\n0.1 0 1 0\n0\n0\n0\n"},
                         Case{"0\n0\n,\n/\n3*\n", "0\n0\n0\n0\n0\n"},
                         Case{"0\n0\n1\n1\n,\n2\n0\n", "0\n0\n1\n1\n0\n2\n0\n"},
                         Case{"0\n0\n1\n1\n1\n3*\n,\n", "0\n0\n1\n1\n1\n4\n0\n"}}) {
        const ToolResult null_run = run_tool(dir.path(), std::string("t.txt\n") + c.with_null + "out.csv\n\n");
        const std::string null_files = read_file(dir / "amp3.csv") + read_file(dir / "out.csv");
        const ToolResult typed_run = run_tool(dir.path(), std::string("t.txt\n") + c.typed + "out.csv\n\n");
        EXPECT_EQ(null_run.out, typed_run.out) << c.with_null;
        EXPECT_EQ(null_run.err + std::to_string(null_run.status), typed_run.err + std::to_string(typed_run.status));
        EXPECT_EQ(null_files, read_file(dir / "amp3.csv") + read_file(dir / "out.csv")) << c.with_null;
    }
}

TEST_F(Window, SkipWritesEveryStepThSample) {
    run("1\n0\n2.0\n1\n");  // 5 samples: 1, 3, 5
    EXPECT_EQ(out(), header + line("   0.000", 0) + line("   1.000", 2) + line("   2.000", 4));
    run("1\n0\n2.5\n1\n");  // 6 samples: 1, 3, 5
    EXPECT_EQ(out(), header + line("   0.000", 0) + line("   1.000", 2) + line("   2.000", 4));
}

TEST_F(Window, OutputReplacesALongerFileAndMayBeTheInputTable) {
    write_file(dir / "out.csv", std::string(100000, '#'));
    run("1\n0\n0.5\n0\n");
    EXPECT_EQ(out(), header + line("   0.000", 0) + line("   0.500", 1));

    const ToolResult r = run_tool(dir.path(), "t.txt\n0\n0\n0\n1\n0\n0.5\n0\nt.txt\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(read_file(dir / "t.txt"), header + line("   0.000", 0) + line("   0.500", 1));
}

TEST_F(Window, SamplesBeyondTheArraysReadAsZero) {
    const ToolResult r = run("1\n65999.0\n1.5\n0\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(out(),
              header + line("   0.000", 0) + line("   0.500", 0) + line("   1.000", 0) + line("   1.500", 0));
}

TEST_F(Window, UnusableAnswersAreRefusedWithoutAWaveformFile) {
    struct Case {
        const char* answers;
        const char* says;
    };
    for (const Case c : {Case{"0\n-1\n", "skip number of -1"}, Case{"0\n-5\n", "skip number of -5"},
                         Case{"1\n0\n1e6\n", "longer than the 132000 samples"},
                         Case{"1\n0\n66000\n", "longer than the 132000 samples"},
                         Case{"1\n1e300\n", "window start"}, Case{"1\n0\n-1e12\n", "window duration"}}) {
        std::filesystem::remove(dir / "out.csv");
        const ToolResult r = run(c.answers);
        EXPECT_EQ(r.status, 2) << c.answers;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << r.err;
        EXPECT_FALSE(std::filesystem::exists(dir / "out.csv")) << c.answers;
        EXPECT_EQ(r.out.find("Enter output file name"), std::string::npos) << c.answers;
    }
}

}  // namespace
}  // namespace smwave::testing

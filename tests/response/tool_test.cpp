// smwave-response run as a user runs it: the response file and its round trip through the suite's
// reader, refusals with status 2 and no file left, and faults at the edges (full disk, read-only
// folder, folders and FIFOs as input, very long lines, interruption).
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cmath>
#include <cstdio>
#include <set>
#include <thread>

#include "companion/suite_file.hpp"
#include "response/record.hpp"
#include "response/response_file.hpp"
#include "response/settings.hpp"
#include "response/spectrum.hpp"
#include "support/command_run.hpp"

namespace smwave::response {
namespace {

namespace fs = std::filesystem;
using testing::read_file;
using testing::TempDir;
using testing::ToolResult;
using testing::write_file;

const std::string tool = SMWAVE_RESPONSE_EXE;

// A waveform file as smwave writes it: a burst of three decaying waves, times to three decimals.
std::string waveform(std::size_t samples, double dt = 0.01) {
    std::string text = " time(s),comp1, comp2, comp3\n";
    char row[96];
    for (std::size_t i = 0; i < samples; ++i) {
        const double t = i * dt, envelope = t * std::exp(-t);
        std::snprintf(row, sizeof row, "%8.3f,%12.4E,%12.4E,%12.4E,\n", t, 300 * envelope * std::sin(9 * t),
                      -200 * envelope * std::sin(23 * t), 90 * envelope * std::sin(3 * t));
        text += row;
    }
    return text;
}

std::string repeated(std::string_view text, std::size_t times) {
    std::string all;
    for (std::size_t i = 0; i < times; ++i) all += text;
    return all;
}

std::set<std::string> files_in(const fs::path& dir) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir)) names.insert(entry.path().filename().string());
    return names;
}

ToolResult run(const TempDir& dir, const std::vector<std::string>& arguments) {
    return testing::run_command(dir.path(), tool, arguments);
}

TEST(Tool, SpectraBesideTheInputReadBackAsComputed) {
    TempDir dir;
    write_file(dir / "w.csv", waveform(400));
    const ToolResult r = run(dir, {"w.csv", "--damping", "0.02,0.05", "--count", "5", "--units", "gal"});
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.status, 0);
    EXPECT_EQ(files_in(dir.path()), (std::set<std::string>{"w.csv", "w-response.csv"}));

    auto table = companion::read_suite_file(dir / "w-response.csv");
    ASSERT_TRUE(table) << describe(table.problem());
    EXPECT_EQ(table->kind, companion::SuiteFileKind::response);
    ASSERT_EQ(table->comments.size(), 1u);
    EXPECT_EQ(
        table->comments[0].rfind(" input w.csv, dt 0.01 s (from the time column), units gal, method", 0), 0u);
    const std::vector<std::string> names{"damping", "period(s)", "sd1",  "sd2",  "sd3", "psv1", "psv2",
                                         "psv3",    "psa1",      "psa2", "psa3", "sa1", "sa2",  "sa3"};
    EXPECT_EQ(table->names, names);

    Settings settings;
    settings.count = 5;
    auto record = load_record(dir / "w.csv", std::nullopt);
    ASSERT_TRUE(record);
    const auto rows = response_spectra(*record, {0.02, 0.05}, periods_of(settings), 1);
    ASSERT_EQ(table->rows(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        std::vector<double> expected{rows[i].damping, rows[i].period};
        for (const auto* values : {&rows[i].sd, &rows[i].psv, &rows[i].psa, &rows[i].sa}) {
            expected.insert(expected.end(), values->begin(), values->end());
        }
        for (std::size_t c = 0; c < expected.size(); ++c) EXPECT_EQ(table->columns[c][i], expected[c]) << i;
    }
    EXPECT_EQ(table->columns[1][1], 0.01);
    EXPECT_GT(table->columns[2][3], 0);
}

// The threads share the oscillators; the file is the same bytes however many there are.
TEST(Tool, ThreadsDoNotChangeTheFile) {
    TempDir dir;
    write_file(dir / "a.csv", waveform(1500));
    for (const char* threads : {"1", "3"}) {
        ASSERT_EQ(run(dir, {"a.csv", "--rotd", "-o", std::string("t") + threads + ".csv", "--threads", threads}).status, 0);
    }
    ASSERT_EQ(run(dir, {"a.csv", "--rotd", "-o", "t.csv"}).status, 0);
    EXPECT_EQ(read_file(dir / "t1.csv"), read_file(dir / "t.csv"));
    EXPECT_EQ(read_file(dir / "t3.csv"), read_file(dir / "t.csv"));
}

TEST(Tool, EchoFileWithAGivenIntervalAndOutputName) {
    TempDir dir;
    write_file(dir / "fort.99", "  0.  0.  0.  0.\n  0.01  12.5 -3.  1.E-005\n  0.5  -20.  4.  0.\n");
    ToolResult r = run(dir, {"fort.99", "--periods", "0,0.5", "--dt", "0.02"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = read_file(dir / "fort.99-response.csv");
    EXPECT_NE(text.find(", dt 0.02 s (given), units of the input,"), std::string::npos) << text;
    EXPECT_NE(text.find("\n0.05,0,0,0,0,0,0,0,20,4,1e-05,20,4,1e-05\n0.05,0.5,"), std::string::npos) << text;

    r = run(dir, {"fort.99", "--dt", "0.02", "--periods", "1", "-o", "spectra.csv"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(files_in(dir.path()),
              (std::set<std::string>{"fort.99", "fort.99-response.csv", "spectra.csv"}));
}

TEST(Tool, RefusalsLeaveNoFile) {
    std::string cut = waveform(5);
    cut.resize(cut.size() - 10);
    std::string stars = waveform(5);
    stars.replace(stars.find('\n', 40) - 12, 11, "***********");
    const struct {
        std::string input;
        std::vector<std::string> arguments;
        std::string err_start;
    } cases[] = {
        {waveform(50),
         {"w.csv", "--damping", "0.05,1.5"},
         "smwave-response: --damping 1.5: a damping ratio must lie between 0 and 1 (both excluded)\n"},
        {waveform(50),
         {"w.csv", "--periods", "0.1,-1"},
         "smwave-response: --periods -1: a period must be 0 or more and finite\n"},
        {waveform(50), {"w.csv", "--damping", "abc"}, "smwave-response: "},
        {waveform(50), {"w.csv", "--periods", "1", "--count", "5"}, "smwave-response: "},
        {waveform(50),
         {"w.csv", "-o", "./w.csv"},
         "smwave-response: ./w.csv: the output would overwrite the input w.csv"},
        {waveform(1), {"w.csv"}, "smwave-response: w.csv:2: fewer than two samples"},
        {cut, {"w.csv"}, "smwave-response: w.csv:6: the file ends within this row"},
        {stars, {"w.csv"}, "smwave-response: w.csv:2: a field holds no number"},
        {waveform(5),
         {"absent.csv"},
         "smwave-response: absent.csv: cannot open: No such file or directory\n"},
        {"", {"w.csv"}, "smwave-response: w.csv:1: the file is empty"},
        {waveform(5),
         {"w.csv", "--dt", "1e200", "--periods", "1e300"},
         "smwave-response: w.csv: the responses overflow the range of numbers"},
        // A very long line: one row of a million fields.
        {" time(s),comp1, comp2, comp3\n" + repeated("1,", 1000000) + "\n",
         {"w.csv"},
         "smwave-response: w.csv:2: expected 4 values, found "},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir / "w.csv", c.input);
        const ToolResult r = run(dir, c.arguments);
        EXPECT_EQ(r.status, 2) << c.err_start;
        EXPECT_EQ(r.err.rfind(c.err_start, 0), 0u) << r.err;
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"w.csv"}) << c.err_start;
    }
}

TEST(Tool, InputsThatAreNoFilesAreRefusedAtOnce) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    // Nobody ever writes to the FIFO: reading it would wait for ever.
    const struct {
        const char* input;
        const char* err;
    } cases[] = {{"folder", "smwave-response: folder: is a folder, not a file\n"},
                 {"fifo", "smwave-response: fifo: is not a regular file\n"}};
    for (const auto& c : cases) {
        const ToolResult r = run(dir, {c.input, "-o", "out.csv"});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.err);
    }
    EXPECT_EQ(files_in(dir.path()), (std::set<std::string>{"fifo", "folder"}));
}

TEST(Tool, FullDiskIsRefused) {
    TempDir dir;
    write_file(dir / "w.csv", waveform(50));
    const ToolResult r = run(dir, {"w.csv", "-o", "/dev/full"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "smwave-response: /dev/full: cannot write: No space left on device\n");
}

TEST(Tool, ReadOnlyFolderIsRefused) {
    if (const std::string why = testing::unprivileged_run_unavailable(); !why.empty()) GTEST_SKIP() << why;
    TempDir dir;
    write_file(dir / "w.csv", waveform(50));
    fs::permissions(dir.path(), fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                    fs::perms::group_exec | fs::perms::others_read | fs::perms::others_exec);
    const ToolResult r = testing::run_command(dir.path(), tool, {"w.csv"}, {}, true);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "smwave-response: w-response.csv: cannot create the file: Permission denied\n");
    EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"w.csv"});
}

TEST(Tool, InterruptionLeavesNoOutput) {
    TempDir dir;
    write_file(dir / "w.csv", waveform(15000));
    for (const int signal : {SIGINT, SIGTERM}) {
        // Some seconds of work: 20000 periods.
        testing::Started child(dir.path(), {.program = tool, .arguments = {"w.csv", "--count", "20000"}});
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        child.signal(signal);
        const ToolResult r = child.wait();
        EXPECT_EQ(r.signal, signal);
        EXPECT_EQ(files_in(dir.path()), std::set<std::string>{"w.csv"});
    }
}

}  // namespace
}  // namespace smwave::response

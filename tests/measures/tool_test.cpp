// smwave-measures run as a user runs it: the measures file's layout beside the input, the options that
// change it, and refusals with status 2 and no file left.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <map>
#include <sstream>

#include "support/command_run.hpp"

namespace smwave::measures {
namespace {

using testing::read_file;
using testing::TempDir;
using testing::ToolResult;
using testing::write_file;

const std::string tool = SMWAVE_MEASURES_EXE;

// A waveform file as smwave writes it, three decaying waves scaled by `scale`.
std::string waveform(std::size_t samples, double scale = 1) {
    std::string text = " time(s),comp1, comp2, comp3\n";
    char row[96];
    for (std::size_t i = 0; i < samples; ++i) {
        const double t = i * 0.01, envelope = scale * t * std::exp(-t / 2);
        std::snprintf(row, sizeof row, "%8.3f,%12.4E,%12.4E,%12.4E,\n", t, 300 * envelope * std::sin(9 * t),
                      -200 * envelope * std::sin(23 * t), 90 * envelope * std::sin(3 * t));
        text += row;
    }
    return text;
}

ToolResult run(const TempDir& dir, const std::vector<std::string>& arguments) {
    return testing::run_command(dir.path(), tool, arguments);
}

// The measures file's rows by measure name: the units and the eight cells.
std::map<std::string, std::vector<std::string>> rows_of(const std::string& text) {
    std::map<std::string, std::vector<std::string>> rows;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);  // the comment
    std::getline(lines, line);  // the header
    while (std::getline(lines, line)) {
        std::vector<std::string> fields;
        std::size_t at = 0;
        for (std::size_t comma; (comma = line.find(',', at)) != std::string::npos; at = comma + 1) {
            fields.push_back(line.substr(at, comma - at));
        }
        fields.push_back(line.substr(at));
        rows[fields[0]] = std::vector<std::string>(fields.begin() + 1, fields.end());
    }
    return rows;
}

TEST(Tool, MeasuresFileBesideTheInputHasEveryRowAndColumn) {
    TempDir dir;
    write_file(dir / "a.csv", waveform(2000));
    write_file(dir / "v.csv", waveform(2000, 0.1));
    const ToolResult r = run(dir, {"a.csv", "--velocity", "v.csv", "--frequencies", "1,2,80"});
    EXPECT_EQ(r.err, "");
    ASSERT_EQ(r.status, 0);
    const std::string text = read_file(dir / "a-measures.csv");
    EXPECT_EQ(text.rfind("# acceleration a.csv, velocity v.csv, displacement -, dt 0.0", 0), 0u);
    EXPECT_NE(text.find("\nmeasure,units,comp1,comp2,comp3,geometric_mean,larger,rotd00,rotd50,rotd100\n"),
              std::string::npos);
    const auto rows = rows_of(text);
    const std::vector<std::string> names{"pga",
                                         "pgv",
                                         "arias",
                                         "d5-75",
                                         "d5-95",
                                         "cav",
                                         "cav5",
                                         "standardized_cav",
                                         "bracketed_duration",
                                         "housner_si",
                                         "jma_intensity",
                                         "jma_intensity_published",
                                         "jma_grade",
                                         "fas_1Hz",
                                         "fas_2Hz",
                                         "fas_80Hz"};
    ASSERT_EQ(rows.size(), names.size());
    for (const auto& name : names) {
        ASSERT_EQ(rows.count(name), 1u) << name;
        EXPECT_EQ(rows.at(name).size(), 9u) << name;
    }
    EXPECT_EQ(rows.count("pgd"), 0u);
    // The peaks fill every column; the per-component measures only comp1-3; JMA only comp1; the
    // smoothed amplitudes also the geometric mean, and nothing above the Nyquist frequency.
    const auto filled = [&](const std::string& name) {
        std::string mask;
        for (std::size_t c = 1; c < 9; ++c) mask += rows.at(name)[c].empty() ? '.' : 'x';
        return mask;
    };
    EXPECT_EQ(filled("pga"), "xxxxxxxx");
    EXPECT_EQ(filled("pgv"), "xxxxxxxx");
    EXPECT_EQ(filled("cav"), "xxx.....");
    EXPECT_EQ(filled("jma_grade"), "x.......");
    EXPECT_EQ(filled("fas_1Hz"), "xxxx....");
    EXPECT_EQ(filled("fas_80Hz"), "........");
    EXPECT_EQ(rows.at("pga")[0], "cm/s/s");
    EXPECT_EQ(rows.at("arias")[0], "m/s");
    const double pga1 = std::stod(rows.at("pga")[1]), pga2 = std::stod(rows.at("pga")[2]);
    EXPECT_DOUBLE_EQ(std::stod(rows.at("pga")[4]), std::sqrt(pga1 * pga2));
    EXPECT_EQ(std::stod(rows.at("pga")[5]), std::max(pga1, pga2));
    EXPECT_GE(std::stod(rows.at("pga")[8]), std::max(pga1, pga2));
}

// The threads share the work; the file is the same bytes however many there are.
TEST(Tool, ThreadsDoNotChangeTheFile) {
    TempDir dir;
    write_file(dir / "a.csv", waveform(2000));
    for (const char* threads : {"1", "3"}) {
        ASSERT_EQ(run(dir, {"a.csv", "-o", std::string("m") + threads + ".csv", "--threads", threads}).status, 0);
    }
    ASSERT_EQ(run(dir, {"a.csv", "-o", "m.csv"}).status, 0);
    EXPECT_EQ(read_file(dir / "m1.csv"), read_file(dir / "m.csv"));
    EXPECT_EQ(read_file(dir / "m3.csv"), read_file(dir / "m.csv"));
}

TEST(Tool, UnitsAndHorizontalsChangeTheMeasures) {
    TempDir dir;
    write_file(dir / "a.csv", waveform(1500));
    ASSERT_EQ(run(dir, {"a.csv", "-o", "cm.csv"}).status, 0);
    ASSERT_EQ(run(dir, {"a.csv", "-o", "m.csv", "--units", "m/s/s", "--horizontal", "2,3"}).status, 0);
    const auto cm = rows_of(read_file(dir / "cm.csv")), m = rows_of(read_file(dir / "m.csv"));
    for (std::size_t c = 1; c <= 3; ++c) {
        EXPECT_DOUBLE_EQ(std::stod(m.at("pga")[c]), 100 * std::stod(cm.at("pga")[c]));
        const double arias = std::stod(cm.at("arias")[c]), duration = std::stod(cm.at("d5-95")[c]);
        EXPECT_NEAR(std::stod(m.at("arias")[c]), 1e4 * arias, 1e-12 * 1e4 * arias);
        EXPECT_NEAR(std::stod(m.at("d5-95")[c]), duration, 1e-12 * duration);
    }
    const double pga2 = std::stod(m.at("pga")[2]), pga3 = std::stod(m.at("pga")[3]);
    EXPECT_DOUBLE_EQ(std::stod(m.at("pga")[4]), std::sqrt(pga2 * pga3));
}

TEST(Tool, RefusesWithStatusTwoAndLeavesNoFile) {
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"a.csv", "--units", "ft/s/s"},
         "smwave-measures: --units ft/s/s: the units must be cm/s/s, gal, m/s/s or g\n"},
        {{"a.csv", "--horizontal", "1,1"},
         "smwave-measures: --horizontal: two different components among 1, 2 and 3 are needed (such as "
         "1,2)\n"},
        {{"a.csv", "--horizontal", "1,4"},
         "smwave-measures: --horizontal: two different components among 1, 2 and 3 are needed (such as "
         "1,2)\n"},
        {{"a.csv", "--frequencies", "1,0"},
         "smwave-measures: --frequencies 0: a frequency must be above 0 Hz and finite\n"},
        {{"missing.csv"}, "smwave-measures: missing.csv: cannot open: No such file or directory\n"},
        {{"a.csv", "--velocity", "short.csv"},
         "smwave-measures: short.csv:2: fewer than two samples: no response can be computed\n"},
        {{"huge.csv"},
         "smwave-measures: huge.csv: a value of 3e+200 cm/s/s is far too large: the measures would overflow "
         "the "
         "range of numbers\n"},
        {{"a.csv", "-o", "a.csv"}, ""},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir / "a.csv", waveform(300));
        write_file(dir / "short.csv", waveform(1));
        write_file(dir / "huge.csv",
                   " time(s),comp1, comp2, comp3\n   0.000,  0.3000E+201,  0.0000E+00,  0.0000E+00,\n"
                   "   0.010,  0.0000E+00,  0.0000E+00,  0.0000E+00,\n");
        const ToolResult r = run(dir, c.arguments);
        EXPECT_EQ(r.status, 2) << c.arguments.back();
        if (!c.message.empty()) {
            EXPECT_EQ(r.err, c.message);
        }
        EXPECT_FALSE(std::filesystem::exists(dir / "a-measures.csv"));
        EXPECT_FALSE(std::filesystem::exists(dir / "huge-measures.csv"));
        EXPECT_EQ(read_file(dir / "a.csv"), waveform(300));
    }
}

TEST(Tool, HelpAndVersion) {
    TempDir dir;
    const ToolResult help = run(dir, {"--help"});
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("--horizontal"), std::string::npos);
    const ToolResult version = run(dir, {"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out.rfind("smwave-measures ", 0), 0u);
}

}  // namespace
}  // namespace smwave::measures

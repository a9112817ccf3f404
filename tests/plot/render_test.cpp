// smwave-plot end to end: figures rendered by gnuplot and checked as images, the script that draws
// them again, and every refusal of bad input or usage.
#include <gtest/gtest.h>

#include <array>
#include <set>

#include "plot_test_files.hpp"
#include "support/command_run.hpp"

namespace smwave::plot {
namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::run_command;
using smwave::testing::TempDir;
using smwave::testing::ToolResult;
using smwave::testing::write_file;

ToolResult plot(const fs::path& dir, const std::vector<std::string>& arguments) {
    return run_command(dir, SMWAVE_PLOT_EXE, arguments);
}

std::set<std::string> entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

// The width and height a PNG's header gives, or {0, 0} when the bytes are no PNG.
std::array<unsigned, 2> png_size(const std::string& bytes) {
    if (bytes.size() < 24 || bytes.compare(0, 8, "\x89PNG\r\n\x1a\n") != 0 ||
        bytes.compare(12, 4, "IHDR") != 0) {
        return {0, 0};
    }
    const auto word = [&](std::size_t at) {
        unsigned value = 0;
        for (std::size_t i = 0; i < 4; ++i) value = value << 8 | static_cast<unsigned char>(bytes[at + i]);
        return value;
    };
    return {word(16), word(20)};
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

TEST(PlotRender, PngOfEachKindHasTheAskedSizeAndItsScriptDrawsItAgain) {
    const struct {
        const char* name;
        std::string text;
    } cases[] = {{"velocity.csv", testing::waveform_text()},
                 {"amp3.csv", testing::spectrum_text()},
                 {"fort.99", testing::echo_text()},
                 {"response.csv", testing::response_text()}};
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir / c.name, c.text);
        const ToolResult r = plot(dir.path(), {c.name, "--size", "640x480", "--band", "0.5,1,5,8"});
        const std::string figure = fs::path(c.name).stem().string() + ".png";
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err;
        EXPECT_EQ(r.err.find("gnuplot"), std::string::npos) << r.err;
        EXPECT_EQ(png_size(read_file(dir / figure)), (std::array<unsigned, 2>{640, 480})) << c.name;
        const std::string script = fs::path(figure).replace_extension(".gp").string();
        EXPECT_EQ(entries(dir.path()), (std::set<std::string>{c.name, figure, script}));

        fs::remove(dir / figure);
        const ToolResult again = run_command(dir.path(), "/bin/sh", {"-c", "gnuplot " + script});
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_EQ(png_size(read_file(dir / figure)), (std::array<unsigned, 2>{640, 480})) << c.name;
    }
}

TEST(PlotRender, SvgHoldsTheTitlesAndOneDataPathPerComponent) {
    TempDir dir;
    fs::create_directory(dir / "out");
    write_file(dir / "v.csv", testing::waveform_text());
    const ToolResult r = plot(dir.path(), {"v.csv", "-o", "out/v.svg", "--title", "Station <A> & B",
                                           "--labels", "EW,NS,UD", "--units", "cm/s"});
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string svg = read_file(dir / "out/v.svg");
    EXPECT_EQ(svg.rfind("<?xml", 0), 0u);
    EXPECT_NE(svg.find("<text>Station &lt;A> &amp; B</text>"), std::string::npos);
    for (const char* title : {"<text>EW: peak ", "<text>NS: peak ", "<text>UD: peak "}) {
        EXPECT_NE(svg.find(title), std::string::npos) << title;
    }
    EXPECT_EQ(count(svg, " cm/s at 0."), 3u);
    EXPECT_EQ(count(svg, "<path stroke='rgb("), 3u);
    EXPECT_NE(read_file(dir / "out/v.gp").find("data1 = '../v.csv'"), std::string::npos);
}

TEST(PlotRender, FieldsWithoutNumbersAreGapsCountedInAWarning) {
    TempDir dir;
    write_file(
        dir / "g.csv",
        " time(s),comp1, comp2, comp3\n   0.000,  0.1000E+01,  0.1000E+01,  0.1000E+01,\n"
        "   0.010,  0.2000E+01,************,  0.1234-101,\n   0.020,  0.3000E+01,  0.3000E+01,  0.1000E+01,\n"
        "   0.030,  0.3000E+01,  0.3000E+01,************,\n   0.040,  0.3000E+01,  0.4000E+01,  "
        "0.1000E+01,\n");
    const ToolResult r = plot(dir.path(), {"g.csv", "-o", "g.svg"});
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err,
              "smwave-plot: g.csv:3: 2 fields hold no number (the first on this line); drawn as gaps\n");
    const std::string svg = read_file(dir / "g.svg");
    // Each trace with a gap is drawn as two runs: its path moves (M) twice.
    std::vector<std::string> paths;
    for (std::size_t at = svg.find("<path stroke='rgb("); at != std::string::npos;
         at = svg.find("<path stroke='rgb(", at + 1)) {
        paths.push_back(svg.substr(at, svg.find("/>", at) - at));
    }
    ASSERT_EQ(paths.size(), 3u);
    EXPECT_EQ(count(paths[0], "M"), 1u);
    EXPECT_EQ(count(paths[1], "M"), 2u);
    EXPECT_EQ(count(paths[2], "M"), 2u);
    // The field with three exponent digits reads as a value next to zero, not as 0.1234.
    EXPECT_NE(svg.find("comp3: peak 1 at 0 s"), std::string::npos);
}

TEST(PlotRender, BadInputIsRefusedWithItsLineAndNothingIsWritten) {
    const struct {
        std::string text;
        std::string message;
    } cases[] = {
        {"", "in.csv:1: the file is empty"},
        {"hello\n", "in.csv:1: expected the header of a waveform file"},
        {" time(s),comp1, comp2, comp3\n", "in.csv:2: expected rows of numbers, found the end of the file"},
        {testing::waveform_text(3) + "   0.030,  0.1", "in.csv:5: the file ends within this row"},
        {" frequency(Hz),comp1, comp2, comp3\n  0.0000,  0.0000E+00,\n",
         "in.csv:2: expected 4 values, found 2"},
        {"damping,period(s),sd1\n0.05,1,2\n", "in.csv:1: expected the columns psa1, psa2 and psa3"},
        {"  0. 1. 2. 3.\n" + std::string(1 << 20, '7') + "\n", "in.csv:2: expected 4 values, found 1"},
        {testing::comma_file("frequency(Hz)", 4, 0.5, [](int, int) { return 0.0; }),
         "in.csv: holds no amplitude above zero at a frequency above zero"},
        {" time(s),comp1, comp2, comp3\n   0.000,  0.1000E+01,************,  0.1000E+01,\n",
         "in.csv: component 2 holds no number to draw"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir / "in.csv", c.text);
        const ToolResult r = plot(dir.path(), {"in.csv"});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err.rfind("smwave-plot: " + c.message, 0), 0u) << r.err;
        EXPECT_EQ(entries(dir.path()), std::set<std::string>{"in.csv"});
    }
}

TEST(PlotRender, BadUsageIsRefusedBeforeAnythingIsWritten) {
    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } cases[] = {
        {{"a.csv", "b.csv", "-o", "x.png"}, "-o names one figure"},
        {{"a.csv", "-o", "x.txt"}, "x.txt: the figure's name must end in .png, .svg or .pdf"},
        {{"a.csv", "--size", "12x"}, "--size expects WIDTHxHEIGHT"},
        {{"a.csv", "--labels", "EW,NS"}, "--labels expects three names"},
        {{"a.csv", "--band", "1,2,0.5,3"}, "--band expects four corner frequencies"},
        {{"a.csv", "f.99", "--overlay"}, "f.99: is a fort.99 but a.csv is a waveform file: --overlay draws"},
        {{"a.csv", "missing.csv"}, "missing.csv: cannot open: No such file"},
        {{"a.csv", "-o", "no/such/folder/a.png"}, "no/such/folder/a.gp: cannot create the file"},
        {{}, "FILE is required"},
    };
    for (const auto& c : cases) {
        TempDir dir;
        write_file(dir / "a.csv", testing::waveform_text());
        write_file(dir / "b.csv", testing::waveform_text());
        write_file(dir / "f.99", testing::echo_text());
        const ToolResult r = plot(dir.path(), c.arguments);
        EXPECT_EQ(r.status, 2) << c.message;
        EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
        EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"a.csv", "b.csv", "f.99"}));
    }
}

TEST(PlotRender, MissingGnuplotIsNamedWithItsPackage) {
    TempDir dir;
    write_file(dir / "a.csv", testing::waveform_text());
    const ToolResult r =
        run_command(dir.path(), "/usr/bin/env", {"PATH=/nonexistent", SMWAVE_PLOT_EXE, "a.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(
        r.err,
        "smwave-plot: gnuplot was not found on PATH: install the package gnuplot-nox (Debian, Ubuntu) or "
        "gnuplot (other systems)\n");
    EXPECT_EQ(entries(dir.path()), std::set<std::string>{"a.csv"});
}

TEST(PlotRender, SeveralFilesMakeOneFigureEachOrOneOverlay) {
    TempDir dir;
    write_file(dir / "a.csv", testing::waveform_text());
    write_file(dir / "b.csv", testing::waveform_text(30));
    EXPECT_EQ(plot(dir.path(), {"a.csv", "b.csv"}).status, 0);
    EXPECT_EQ(plot(dir.path(), {"a.csv", "b.csv", "--overlay"}).status, 0);
    EXPECT_EQ(plot(dir.path(), {"a.csv", "b.csv", "--overlay", "-o", "both.pdf"}).status, 0);
    EXPECT_EQ(entries(dir.path()),
              (std::set<std::string>{"a.csv", "b.csv", "a.png", "a.gp", "b.png", "b.gp", "a-overlay.png",
                                     "a-overlay.gp", "both.pdf", "both.gp"}));
    EXPECT_EQ(read_file(dir / "both.pdf").rfind("%PDF", 0), 0u);
}

}  // namespace
}  // namespace smwave::plot

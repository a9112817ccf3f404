// Figures of a record's files labelled from its table's metadata line: titles, component names,
// units, the time after the origin, overlay keys, and response files of few periods drawn as points.
#include <gtest/gtest.h>

#include "plot/record_labels.hpp"
#include "plot_test_files.hpp"
#include "support/command_run.hpp"

namespace smwave::plot {
namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::run_command;
using smwave::testing::TempDir;
using smwave::testing::write_file;

const std::string table_text =
    "AAA HNE HNN HNZ\nstation=AAA network=XX channels=HNE,HNN,HNZ start=2024-03-05T03:34:05.5Z dt=0.01 "
    "units=gal origin_time=2024-03-05T03:34:00Z\n";

// A response file of `periods` periods at one damping.
std::string response_of(int periods) {
    std::string text = "damping,period(s),psa1,psa2,psa3\n";
    for (int at = 1; at <= periods; ++at) text += "0.05," + std::to_string(at * 0.1) + ",1,2,3\n";
    return text;
}

TEST(PlotLabels, FiguresTakeTheRecordsMetadata) {
    const struct {
        std::vector<std::pair<std::string, std::string>> files;  // name, text
        std::vector<std::string> arguments;
        std::string script;
        std::vector<std::string> present, absent;
    } cases[] = {
        {{{"rec/table.txt", table_text}, {"rec/velocity.csv", testing::waveform_text()},
          {"rec/answers-velocity.txt", "table.txt\n0\n1\n0.1 0.2 20 25\n1\n"}},
         {"rec/velocity.csv"},
         "rec/velocity.gp",
         {"title 'AAA (XX) \u2014 2024-03-05 03:34:05.5 UTC \u2014 velocity, band 0.1-0.2-20-25 Hz'",
          "set title 'HNN: peak", "set ylabel 'HNZ (cm/s)'", "set xlabel 'time after the origin (s)'",
          "using ($1 + 5.5):2", "set xrange [5.5:5.99]"},
         {"comp1", "title 'velocity.csv"}},
        {{{"a/table.txt", table_text}, {"a/velocity.csv", testing::waveform_text()},
          {"b/velocity.csv", testing::waveform_text()}},
         {"a/velocity.csv", "b/velocity.csv", "--overlay", "-o", "both.png"},
         "both.gp",
         {"set title 'HNE'", "title 'AAA (XX): peak", "title 'b/velocity.csv: peak"},
         {}},
        {{{"t.txt", table_text}, {"amp3-acceleration.csv", testing::spectrum_text()}},
         {"amp3-acceleration.csv", "--table", "t.txt", "--labels", "E,N,U"},
         "amp3-acceleration.gp",
         {"Fourier amplitude of the acceleration'", "set ylabel 'Fourier amplitude (cm/s)'", "title 'E'"},
         {"HNE"}},
        {{{"few.csv", response_of(3)}}, {"few.csv"}, "few.gp", {"with points pointtype 7"}, {"with lines"}},
        {{{"many.csv", response_of(12)}}, {"many.csv"}, "many.gp", {"with lines"}, {"with points"}},
    };
    for (const auto& c : cases) {
        TempDir dir;
        for (const auto& [name, text] : c.files) {
            fs::create_directories((dir / name).parent_path());
            write_file(dir / name, text);
        }
        const auto r = run_command(dir.path(), SMWAVE_PLOT_EXE, c.arguments);
        ASSERT_EQ(r.status, 0) << c.script << ": " << r.err;
        const std::string script = read_file(dir / c.script);
        for (const auto& part : c.present) EXPECT_NE(script.find(part), std::string::npos) << c.script << ": " << part;
        for (const auto& part : c.absent) EXPECT_EQ(script.find(part), std::string::npos) << c.script << ": " << part;
    }
    TempDir dir;
    write_file(dir / "velocity.csv", testing::waveform_text());
    const auto refused = run_command(dir.path(), SMWAVE_PLOT_EXE, {"velocity.csv", "--table", "none.txt"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("none.txt: cannot open"), std::string::npos) << refused.err;
}

TEST(PlotLabels, UnitsAndTimesOfTheMetadata) {
    const struct {
        const char* quantity;
        const char* units;
        const char* expected;
    } units[] = {{"acceleration", "gal", "cm/s/s"}, {"velocity", "cm/s/s", "cm/s"}, {"displacement", "m/s^2", "m"},
                 {"velocity", "counts", ""},       {"", "cm/s/s", ""}};
    for (const auto& u : units) EXPECT_EQ(quantity_units(u.quantity, u.units), u.expected) << u.units;
    const struct {
        const char* from;
        const char* to;
        std::optional<double> seconds;
    } times[] = {{"2024-03-05T03:34:00Z", "2024-03-05T03:34:05.25Z", 5.25},
                 {"2023-12-31T23:59:59Z", "2024-01-01T00:00:01Z", 2},
                 {"2024-02-28T00:00:00Z", "2024-03-01T00:00:00Z", 2 * 86400.0},
                 {"2024-03-05 03:34:00", "2024-03-05T03:34:05Z", std::nullopt},
                 {"2024-13-05T03:34:00Z", "2024-03-05T03:34:05Z", std::nullopt}};
    for (const auto& t : times) EXPECT_EQ(seconds_between(t.from, t.to), t.seconds) << t.from;
}

}  // namespace
}  // namespace smwave::plot

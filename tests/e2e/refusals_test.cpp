// Inputs that would fill the files with asterisks or zeros are refused: non-finite samples in the
// component channels, and band-pass corners out of order or not finite.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "e2e/transcript.hpp"
#include "support/tool_run.hpp"

namespace smwave::testing {
namespace {

namespace fs = std::filesystem;

// A table of 16 rows at 0.01 s whose every channel holds its number plus a half, except the values
// given by row (from 1) and channel, which are written as they stand.
std::string table_with(const std::map<std::pair<int, int>, std::string>& values) {
    std::string table = "STN EW NS UD\nx\n";
    for (int row = 1; row <= 16; ++row) {
        table += std::to_string((row - 1) * 0.01);
        for (int column = 1; column <= 42; ++column) {
            const auto given = values.find({row, column});
            table += ' ' + (given != values.end() ? given->second : std::to_string(column) + ".5");
        }
        table += '\n';
    }
    return table;
}

struct Case {
    std::map<std::pair<int, int>, std::string> values;
    std::string answers;  // after the table's name
    std::string refusal;  // the line on standard error without "smwave: "; empty when the run is done
};

// Runs a case; a refused run ends its console output with `last_lines`.
void run_case(const Case& c, const std::string& last_lines) {
    TempDir dir;
    write_file(dir / "t.txt", table_with(c.values));
    const ToolResult r = run_tool(dir.path(), "t.txt\n" + c.answers);
    const bool refused = !c.refusal.empty();
    EXPECT_EQ(r.err, refused ? "smwave: " + c.refusal + "\n" : "") << c.answers;
    EXPECT_EQ(r.status, refused ? 2 : 0) << c.answers;
    EXPECT_EQ(fs::exists(dir / "amp3.csv"), !refused) << c.answers;
    EXPECT_EQ(fs::exists(dir / "out.csv"), !refused) << c.answers;
    // The echo file is whole: every row of the table, written out and closed.
    const std::string echo = read_file(dir / "fort.99");
    EXPECT_EQ(std::count(echo.begin(), echo.end(), '\n'), 16) << c.answers;
    if (refused) {
        ASSERT_GE(r.out.size(), last_lines.size()) << r.out;
        EXPECT_EQ(r.out.substr(r.out.size() - last_lines.size()), last_lines) << c.answers;
    }
}

const std::string all_zero = "0\n0\n0\n0\n0\nout.csv\n\n";

TEST(Refusals, NonFiniteComponentSamplesAreRefusedAfterTheCount) {
    const std::string rule = "; every value of channels 38, 40 and 17 must be a finite number";
    const Case cases[] = {
        {{{{1, 38}, "1e400"}}, all_zero, "row 1 of the table holds inf in channel 38" + rule},
        {{{{3, 40}, "-1e400"}, {{3, 17}, "1e999"}},
         all_zero,
         "row 3 of the table holds -inf in channel 40" + rule},
        {{{{16, 17}, "1e309"}, {{9, 38}, "0"}},
         all_zero,
         "row 16 of the table holds inf in channel 17" + rule},
        // Channels other than the components are never used.
        {{{{2, 1}, "1e400"}, {{4, 39}, "-1e999"}, {{16, 42}, "1e400"}}, all_zero, ""},
    };
    for (const Case& c : cases) run_case(c, table_report("16  0.01"));
}

TEST(Refusals, BandPassCornersOutOfOrderOrNotFiniteAreRefusedAfterTheirRead) {
    const std::string rule = " Hz are not usable; they must be finite numbers with fL1 <= fL2 <= fH1 <= fH2";
    const std::string answers_before = "0\n1\n";
    const std::string answers_after = "\n0\n0\n0\nout.csv\n\n";
    const Case cases[] = {
        {{}, "25 20 0.2 0.1", "the band-pass corners 25 20 0.2 0.1" + rule},
        {{}, "0.1 30 20 25", "the band-pass corners 0.1 30 20 25" + rule},
        {{}, "0.1 0.2 25 20", "the band-pass corners 0.1 0.2 25 20" + rule},
        {{}, "0.2 0.1 20 25", "the band-pass corners 0.2 0.1 20 25" + rule},
        {{}, "0.1 0.2 1e400 30", "the band-pass corners 0.1 0.2 inf 30" + rule},
        {{}, "-1e400 0.2 20 25", "the band-pass corners -inf 0.2 20 25" + rule},
        // Equal corners are steps, negative corners are used as typed.
        {{}, "0.2 0.2 30 30", ""},
        {{}, "-1 0 5 10", ""},
        {{}, "3 3 3 3", ""},
    };
    for (Case c : cases) {
        c.answers = answers_before + c.answers + answers_after;
        run_case(c, corner_prompt);
    }
}

}  // namespace
}  // namespace smwave::testing

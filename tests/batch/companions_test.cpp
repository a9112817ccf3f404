// smwave-batch with the companions it calls: response spectra and measures into the summary, figures
// per record.
// Each test runs only when the build has the companion; otherwise it is skipped.
#include <gtest/gtest.h>

#include "batch_run.hpp"
#include "companion/number_text.hpp"

namespace smwave::batch::testing {
namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::write_file;

TEST(BatchCompanions, ResponseSpectraJoinTheSummaryOnlyForAccelerationRecords) {
#ifndef SMWAVE_RESPONSE_EXE
    GTEST_SKIP() << "smwave-response is not part of this build";
#else
    TempDir dir;
    write_file(dir / "quake.txt", impulse_table());
    write_file(dir / "acceleration.txt", plain_answers);
    write_file(dir / "velocity.txt", "input\n0\n0\n1\n0\n0\nwave.csv\n\n");
    for (const char* answers : {"acceleration.txt", "velocity.txt"}) {
        SCOPED_TRACE(answers);
        const ToolResult r = run_batch(dir.path(), {"--answers", answers, "--response", "quake.txt"});
        ASSERT_EQ(r.status, 0) << r.err;
        std::size_t columns = 0;
        const auto rows = read_summary(dir / "smwave-batch/summary.csv", columns);
        ASSERT_TRUE(rows);
        EXPECT_EQ(columns, response_columns);
        const bool acceleration = std::string(answers) == "acceleration.txt";
        EXPECT_EQ(fs::exists(dir / "smwave-batch/quake/response.csv"), acceleration);
        for (std::size_t at = psa_first_column; at < response_columns; ++at) {
            const auto psa = companion::parse_number(rows->front()[at]);
            EXPECT_EQ(psa.has_value(), acceleration) << at;
            if (psa) {
                EXPECT_GT(*psa, 0.0) << at;  // component 1 holds an impulse
            }
            if (acceleration) break;
        }
        fs::remove_all(dir / "smwave-batch");
    }
#endif
}

TEST(BatchCompanions, MeasuresJoinTheSummaryWithTheResponseSpectra) {
#if !defined(SMWAVE_RESPONSE_EXE) || !defined(SMWAVE_MEASURES_EXE)
    GTEST_SKIP() << "smwave-response or smwave-measures is not part of this build";
#else
    TempDir dir;
    write_file(dir / "quake.txt", impulse_table());
    write_file(dir / "answers.txt", plain_answers);
    const ToolResult alone = run_batch(dir.path(), {"--answers", "answers.txt", "--measures", "quake.txt"});
    EXPECT_EQ(alone.status, 2);
    EXPECT_NE(alone.err.find("--measures requires --response"), std::string::npos) << alone.err;

    const ToolResult r =
        run_batch(dir.path(), {"--answers", "answers.txt", "--response", "--measures", "quake.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::size_t columns = 0;
    const auto rows = read_summary(dir / "smwave-batch/summary.csv", columns);
    ASSERT_TRUE(rows);
    EXPECT_EQ(columns, measures_columns);
    const auto header = summary_header(columns);
    EXPECT_EQ(header[rotd50_first_column], "psa0.3_rotd50");
    EXPECT_EQ(header.back(), "jma_grade");
    const Row& row = rows->front();
    EXPECT_EQ(row[status_column], "ok");
    // Component 1 holds an impulse: its RotD50 PSA, PGA RotD50 and Arias intensity are above 0.
    for (const std::size_t at : {std::size_t{rotd50_first_column}, std::size_t{measures_first_column} + 0,
                                 std::size_t{measures_first_column} + 1}) {
        const auto value = companion::parse_number(row[at]);
        ASSERT_TRUE(value) << header[at] << " " << row[at];
        EXPECT_GT(*value, 0.0) << header[at];
    }
    EXPECT_FALSE(row.back().empty());
#endif
}

TEST(BatchCompanions, FiguresAreDrawnWithTheTablesHeaderWords) {
#ifndef SMWAVE_PLOT_EXE
    GTEST_SKIP() << "smwave-plot is not part of this build";
#else
    TempDir dir;
    write_file(dir / "quake.txt", impulse_table());
    write_file(dir / "answers.txt", plain_answers);
    const ToolResult r = run_batch(dir.path(), {"--answers", "answers.txt", "--plot", "quake.txt"});
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(fs::exists(dir / "smwave-batch/quake/wave.png"));
    EXPECT_TRUE(fs::exists(dir / "smwave-batch/quake/amp3.png"));
    const std::string script = read_file(dir / "smwave-batch/quake/wave.gp");
    for (const char* label : {"EW", "NS", "UD"}) EXPECT_NE(script.find(label), std::string::npos) << label;
#endif
}

}  // namespace
}  // namespace smwave::batch::testing

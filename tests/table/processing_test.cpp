// What the conversion does to the samples: the baseline removed, the ends tapered, units turned into
// cm/s/s, against values worked out by hand; and the metadata that says so.
#include <gtest/gtest.h>

#include <cmath>

#include "companion/suite_file.hpp"
#include "support/tool_run.hpp"
#include "table/baseline.hpp"
#include "table/physical_units.hpp"
#include "table/table_checks.hpp"

namespace smwave::table {
namespace {

void expect_near_all(const std::vector<double>& got, const std::vector<double>& expected) {
    ASSERT_EQ(got.size(), expected.size());
    for (std::size_t i = 0; i < got.size(); ++i) EXPECT_NEAR(got[i], expected[i], 1e-12) << "sample " << i;
}

TEST(Baseline, MeanLineAndTaperGiveTheHandValues) {
    std::vector<double> mean = {1, 2, 3, 6};
    remove_mean(mean);
    expect_near_all(mean, {-2, -1, 0, 3});
    // Line through (0,0) (1,1) (2,0) (3,1): slope 0.2 about the mean 0.5 at i = 1.5.
    std::vector<double> line = {0, 1, 0, 1};
    remove_line(line);
    expect_near_all(line, {-0.2, 0.6, -0.6, 0.2});
    std::vector<double> ramp = {5, 7, 9, 11, 13};
    remove_line(ramp);
    expect_near_all(ramp, {0, 0, 0, 0, 0});
    std::vector<double> single = {4};
    remove_line(single);
    expect_near_all(single, {0});

    const std::pair<double, std::vector<double>> tapers[] = {
        {0.2, {0, 0.5, 1, 1, 1, 1, 1, 1, 0.5, 0}},
        {0.3, {0, 0.25, 0.75, 1, 1, 1, 1, 0.75, 0.25, 0}},
        {0.05, {1, 1, 1, 1, 1, 1, 1, 1, 1, 1}},  // floor(0.5) samples: none
        {0.5,
         {0, 0.0954915028125263, 0.3454915028125263, 0.6545084971874737, 0.9045084971874737,
          0.9045084971874737, 0.6545084971874737, 0.3454915028125263, 0.0954915028125263, 0}},
    };
    for (const auto& [fraction, weights] : tapers) {
        std::vector<double> ones(10, 1.0);
        apply_taper(ones, fraction);
        expect_near_all(ones, weights);
    }
}

TEST(PhysicalUnits, SpellingsOfAccelerationBecomeGal) {
    const std::pair<const char*, double> known[] = {
        {"m/s**2", 100}, {"M/S**2", 100}, {"m/s2", 100},   {"m/s/s", 100}, {"m/s^2", 100},
        {"cm/s**2", 1},  {"CM/S/S", 1},   {"gal", 1},      {"Gal", 1},     {"g", 980.665},
        {"G", 980.665},  {"mm/s/s", 0.1}, {"nm/s/s", 1e-7}};
    for (const auto& [units, factor] : known) EXPECT_EQ(factor_to_gal(units), factor) << units;
    for (const char* other : {"m/s", "counts", "V", "", "m"}) EXPECT_FALSE(factor_to_gal(other)) << other;
    EXPECT_TRUE(is_counts("COUNTS") && is_counts("count") && !is_counts("V"));
    EXPECT_TRUE(is_metres_per_second("M/S") && !is_metres_per_second("m/s**2"));
}

// A column file of a ramp on an offset: 600 samples at 0.01 s.
std::string ramp_columns() {
    std::string text = "time a b c\n";
    for (int i = 0; i < 600; ++i) {
        const std::string t = std::to_string(i) + "e-2";
        text += t + ' ' + std::to_string(100 + 2 * i) + ' ' + std::to_string(-50 + i) + " 7\n";
    }
    return text;
}

TEST(Baseline, OptionsChangeTheSamplesAndTheMetadataSaysSo) {
    testing::TempDir dir;
    testing::write_file(dir / "rec.txt", ramp_columns());
    struct Case {
        std::vector<std::string> options;
        std::string baseline, taper;
        double first_a, middle_c;  // sample 1 of component 1, sample 300 of component 3
    };
    const Case cases[] = {
        {{"--keep-mean"}, "none", "0", 100, 7},
        {{}, "mean", "0", -599, 0},
        {{"--detrend"}, "line", "0", 0, 0},
        {{"--taper", "0.05"}, "mean", "0.05", 0, 0},
    };
    for (const auto& c : cases) {
        std::vector<std::string> arguments = {"rec.txt", "-o", "t.txt"};
        arguments.insert(arguments.end(), c.options.begin(), c.options.end());
        const auto run = testing::run_table(dir.path(), arguments);
        ASSERT_EQ(run.status, 0) << run.err;
        const auto table = testing::read_table(dir / "t.txt");
        EXPECT_NEAR(table.components[0][0], c.first_a, 1e-9) << c.baseline;
        EXPECT_NEAR(table.components[2][299], c.middle_c, 1e-9) << c.baseline;
        const auto head = companion::read_table_head(dir / "t.txt");
        ASSERT_TRUE(head && head->metadata);
        EXPECT_EQ(head->metadata->find("baseline"), c.baseline);
        EXPECT_EQ(head->metadata->find("taper"), c.taper);
    }
    const auto both = testing::run_table(dir.path(), {"rec.txt", "--detrend", "--keep-mean"});
    EXPECT_EQ(both.status, 2);
    const auto wide = testing::run_table(dir.path(), {"rec.txt", "--taper", "0.6"});
    EXPECT_EQ(wide.status, 2);
}

}  // namespace
}  // namespace smwave::table

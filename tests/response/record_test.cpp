// The record behind a spectrum: its interval from the time column's span, the spacing check within
// the printed precision, and the refusals that name the line.
#include "response/record.hpp"

#include <gtest/gtest.h>

#include <cstdio>
#include <limits>

#include "response/settings.hpp"

namespace smwave::response {
namespace {

// A waveform file's text with times printed to three decimals, as smwave writes them.
std::string waveform(const std::vector<double>& times) {
    std::string text = " time(s),comp1, comp2, comp3\n";
    char row[96];
    for (std::size_t i = 0; i < times.size(); ++i) {
        std::snprintf(row, sizeof row, "%8.3f,%12.4E,%12.4E,%12.4E,\n", times[i], 0.5 * i, -1.0 * i, 0.25);
        text += row;
    }
    return text;
}

std::vector<double> grid(std::size_t count, double dt) {
    std::vector<double> times;
    for (std::size_t i = 0; i < count; ++i) times.push_back(i * dt);
    return times;
}

companion::Result<GroundRecord> record_of(const std::string& text, std::optional<double> dt = {}) {
    auto table = companion::parse_suite_text(text, "w.csv");
    if (!table) return table.problem();
    return record_from_table(std::move(*table), "w.csv", dt);
}

TEST(Record, IntervalComesFromTheWholeSpanOfTheTimeColumn) {
    const struct {
        std::string text;
        double dt;
    } cases[] = {
        {waveform(grid(1001, 0.01)), 0.01},
        // 400 samples a second printed to three decimals: differences of 0.002 and 0.003.
        {waveform(grid(401, 0.0025)), 0.0025},
        {waveform(grid(7, 0.0019)), 0.011 / 6},  // 0.0114 prints as 0.011
        // A window of a longer record: the times start where the table's did.
        {waveform({5.0, 5.01, 5.02, 5.03}), 0.03 / 3},
        {"  0.  0.021 -0.01771 -0.00604\n  0.01  0.01769  0.01781  1.E-005\n  0.02  1.  2.  3.\n", 0.01},
        {"  100.000001  1.  2.  3.\n  100.010001  1.  2.  3.\n  100.020001  1.  2.  3.\n", 0.02 / 2},
    };
    for (const auto& c : cases) {
        auto record = record_of(c.text);
        ASSERT_TRUE(record) << describe(record.problem());
        EXPECT_NEAR(record->dt, c.dt, 1e-12);
        EXPECT_TRUE(record->dt_from_time_column);
        EXPECT_EQ(record->components[0].size(), record->components[2].size());
    }
    auto record = record_of(waveform(grid(3, 0.01)));
    EXPECT_EQ(record->components[1], (std::vector<double>{0, -1, -2}));
}

TEST(Record, RefusalsNameTheLine) {
    std::vector<double> gap = grid(100, 0.01);
    gap.erase(gap.begin() + 50);
    std::string stars = waveform(grid(5, 0.01));
    stars.replace(stars.find("-3.0000E+00"), 11, "***********");
    const struct {
        std::string text;
        const char* message_start;
    } cases[] = {
        {waveform(gap), "w.csv:52: the time column is not evenly spaced here"},
        {waveform({0, 0.01, 0.02, 0.032, 0.04}), "w.csv:5: the time column is not evenly spaced here"},
        {"  0.  1.  2.  3.\n  0.01  1.  2.  3.\n  0.0200001  1.  2.  3.\n  0.03  1.  2.  3.\n",
         "w.csv:3: the time column is not evenly spaced here"},
        {waveform({0, 0, 0}), "w.csv:4: the time column does not increase"},
        {waveform({0.02, 0.01}), "w.csv:3: the time column does not increase"},
        {stars, "w.csv:5: a field holds no number"},
        {waveform({0}), "w.csv:2: fewer than two samples"},
        {" time(s),comp1, comp2, comp3\n", "w.csv:1: fewer than two samples"},
        {" frequency(Hz),comp1, comp2, comp3\n  0.0000,  0.1E+00,  0.1E+00,  0.1E+00,\n",
         "w.csv:1: this is amp3.csv; a waveform file or fort.99 was expected"},
        {"# x\ndamping,period(s),sd1\n0.05,0,1\n", "w.csv:2: this is response file"},
    };
    for (const auto& c : cases) {
        auto record = record_of(c.text);
        ASSERT_FALSE(record) << c.message_start;
        EXPECT_EQ(describe(record.problem()).rfind(c.message_start, 0), 0u) << describe(record.problem());
    }
}

TEST(Record, AGivenIntervalOverridesTheTimeColumnAndItsGaps) {
    std::string text = waveform({0, 0.01, 0.5, 0.7});
    text.replace(text.find("   0.700"), 8, "********");
    auto record = record_of(text, 0.02);
    ASSERT_TRUE(record) << describe(record.problem());
    EXPECT_EQ(record->dt, 0.02);
    EXPECT_FALSE(record->dt_from_time_column);
    EXPECT_FALSE(record_of(text));
}

TEST(Settings, PeriodsAndTheirChecks) {
    Settings settings;
    const std::vector<double> periods = periods_of(settings);
    ASSERT_EQ(periods.size(), 101u);
    EXPECT_EQ(periods[0], 0);
    EXPECT_EQ(periods[1], 0.01);
    EXPECT_EQ(periods[100], 10);
    EXPECT_NEAR(periods[34] / periods[1], 10, 1e-12);
    EXPECT_EQ(default_output("run/velocity.csv"), "run/velocity-response.csv");
    EXPECT_EQ(default_output("fort.99"), "fort.99-response.csv");

    const struct {
        void (*change)(Settings&);
        const char* message;
    } refused[] = {
        {[](Settings& s) {
             s.dampings = {0.05, 1};
         },
         "--damping 1: a damping ratio must lie between 0 and 1"},
        {[](Settings& s) { s.dampings = {0}; }, "--damping 0: a damping ratio must lie between 0 and 1"},
        {[](Settings& s) {
             s.periods = {0, -0.5};
         },
         "--periods -0.5: a period must be 0 or more and finite"},
        {[](Settings& s) { s.periods = {std::numeric_limits<double>::infinity()}; },
         "--periods inf: a period must be 0 or more and finite"},
        {[](Settings& s) { s.from = 0; }, "--from 0: the first period must be above 0"},
        {[](Settings& s) { s.to = 0.001; }, "--to 0.001: the last period must be finite and above --from"},
        {[](Settings& s) { s.count = 1; }, "--count 1: the grid needs from 2 to 100000 periods"},
        {[](Settings& s) { s.dt = -0.01; }, "--dt -0.01: the sampling interval must be above 0"},
    };
    for (const auto& c : refused) {
        Settings changed;
        c.change(changed);
        const auto problem = check_settings(changed);
        ASSERT_TRUE(problem) << c.message;
        EXPECT_EQ(describe(*problem).rfind(c.message, 0), 0u) << describe(*problem);
    }
    EXPECT_FALSE(check_settings(settings));
}

}  // namespace
}  // namespace smwave::response

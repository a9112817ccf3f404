// Orientation-independent peaks and spectra: the pruned peak search against the plain definition,
// closed forms of rotated, circular and single-axis motions, the rotated spectra against the
// per-component ones, and smwave-response --rotd.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

#include "companion/suite_file.hpp"
#include "response/oscillator.hpp"
#include "response/rotated_spectrum.hpp"
#include "response/spectrum.hpp"
#include "support/command_run.hpp"
#include "support/motions.hpp"

namespace smwave::response {
namespace {

constexpr double pi = std::numbers::pi;
constexpr double dt = 0.01;

using testing::random_pair;

GroundRecord record_of(std::vector<double> x1, std::vector<double> x2, std::vector<double> x3) {
    GroundRecord record;
    record.components = {std::move(x1), std::move(x2), std::move(x3)};
    record.dt = dt;
    return record;
}

// 80 sin(2 pi t) over 5 whole cycles.
std::vector<double> one_axis() {
    std::vector<double> a(501);
    for (std::size_t i = 0; i < a.size(); ++i) a[i] = 80 * std::sin(2 * pi * i / 100.0);
    return a;
}

TEST(Rotation, RotDIsIndependentOfTheSensorsOrientation) {
    const auto pair = random_pair(3000, 7);
    const std::vector<double>& x1 = pair[0];
    const std::vector<double>& x2 = pair[1];
    const RotD original = rotd_of_record(record_of(x1, x2, x1), {0, 1});
    // Turned by whole degrees the 180 peaks are the same set: every value stays within rounding.
    for (const int degrees : {1, 37, 90, 133, 271}) {
        SCOPED_TRACE(degrees);
        const double c = std::cos(degrees * pi / 180), s = std::sin(degrees * pi / 180);
        std::vector<double> y1(x1.size()), y2(x1.size());
        for (std::size_t i = 0; i < x1.size(); ++i) {
            y1[i] = c * x1[i] - s * x2[i];
            y2[i] = s * x1[i] + c * x2[i];
        }
        const RotD turned = rotd_of_record(record_of(y1, y2, y1), {0, 1});
        EXPECT_NEAR(turned.rotd00, original.rotd00, 1e-12 * original.rotd00);
        EXPECT_NEAR(turned.rotd50, original.rotd50, 1e-12 * original.rotd50);
        EXPECT_NEAR(turned.rotd100, original.rotd100, 1e-12 * original.rotd100);
    }
}

TEST(Rotation, RotDOfCircularAndSingleAxisMotions) {
    // Circular, 100 samples a cycle: every direction's peak lies within cos(pi / 100) of the radius.
    std::vector<double> c1(2001), c2(2001);
    for (std::size_t i = 0; i < c1.size(); ++i) {
        c1[i] = 50 * std::cos(2 * pi * i / 100.0);
        c2[i] = 50 * std::sin(2 * pi * i / 100.0);
    }
    const RotD circular = rotd_of_record(record_of(c1, c2, c1), {0, 1});
    for (const double value : {circular.rotd00, circular.rotd50, circular.rotd100}) {
        EXPECT_LE(value, 50 * (1 + 1e-15));
        EXPECT_GE(value, 50 * std::cos(pi / 100));
    }
    // Along one axis: the peak, the peak cos 45 degrees (the 90th and 91st peaks are at 45 and 135) and 0.
    const std::vector<double> along = one_axis(), across(along.size(), 0.0);
    const double peak = *std::max_element(along.begin(), along.end());
    const RotD single = rotd_of_record(record_of(along, across, along), {0, 1});
    EXPECT_EQ(single.rotd100, peak);
    EXPECT_NEAR(single.rotd50, peak * std::cos(pi / 4), 1e-14 * peak);
    EXPECT_EQ(single.rotd00, 0);
}

TEST(Rotation, PrunedPeakSearchGivesThePlainDefinitionsNumbers) {
    const auto pair = random_pair(2000, 11);
    const std::vector<double>& x1 = pair[0];
    const std::vector<double>& x2 = pair[1];
    // Scaled so that the squared distances straddle the ends of the range where squares drop points.
    std::vector<double> circle1, circle2, tiny1, tiny2, huge1, huge2, low1, low2, high1, high2;
    for (std::size_t i = 0; i < 720; ++i) {
        circle1.push_back(3 * std::cos(i * pi / 360));
        circle2.push_back(3 * std::sin(i * pi / 360));
        tiny1.push_back(x1[i] * 1e-170);
        tiny2.push_back(x2[i] * 1e-170);
        huge1.push_back(x1[i] * 1e300);
        huge2.push_back(x2[i] * 1e300);
        low1.push_back(x1[i] * 1e-141);
        low2.push_back(x2[i] * 1e-141);
        high1.push_back(x1[i] * 1e139);
        high2.push_back(x2[i] * 1e139);
    }
    const std::vector<double> zeros(100, 0.0), one{0.0}, point{-2.5};
    const std::vector<std::pair<const std::vector<double>*, const std::vector<double>*>> pairs{
        {&x1, &x2},       {&circle1, &circle2}, {&tiny1, &tiny2},
        {&huge1, &huge2}, {&zeros, &zeros},     {&one, &point}, {&low1, &low2}, {&high1, &high2}};
    for (std::size_t p = 0; p < pairs.size(); ++p) {
        SCOPED_TRACE(p);
        EXPECT_EQ(rotated_peaks(*pairs[p].first, *pairs[p].second),
                  rotated_peaks_plain(*pairs[p].first, *pairs[p].second));
    }
    // An oscillator's displacements on its sub-steps, generated twice by the pruned search.
    for (const double period : {0.02, 0.3, 3.0}) {
        const auto map = interval_map(period, 0.05, dt, sub_steps(period, dt));
        std::vector<double> u1, u2;
        trace_pair(map, {x1, x2, x1}, [&](double a, double b) {
            u1.push_back(a);
            u2.push_back(b);
        });
        const auto pruned = rotated_peaks([&](auto&& take) { trace_pair(map, {x1, x2, x1}, take); });
        EXPECT_EQ(pruned, rotated_peaks_plain(u1, u2)) << period;
        // The rotated spectra keep the traced displacements instead: the same numbers again.
        const RotD plain = rotd_of(rotated_peaks_plain(u1, u2));
        const RotD spectrum = rotated_spectra(record_of(x1, x2, x1), {0, 1}, {0.05}, {period}, 1).rotated[0].sd;
        EXPECT_EQ(spectrum.rotd00, plain.rotd00);
        EXPECT_EQ(spectrum.rotd50, plain.rotd50);
        EXPECT_EQ(spectrum.rotd100, plain.rotd100);
    }
}

TEST(Rotation, RotatedSpectraBracketTheHorizontalsAndScaleByTheirPeriod) {
    const auto pair = random_pair(1200, 5);
    const std::vector<double>& x1 = pair[0];
    const std::vector<double>& x2 = pair[1];
    const GroundRecord record = record_of(x1, x2, x1);
    const std::vector<double> periods{0, 0.05, 0.4, 2};
    const auto plain = response_spectra(record, {0.05}, periods, 1);
    const auto rotated = rotated_spectra(record, {0, 1}, {0.05}, periods, 2).rotated;
    ASSERT_EQ(rotated.size(), periods.size());
    for (std::size_t p = 0; p < periods.size(); ++p) {
        SCOPED_TRACE(periods[p]);
        const RotatedRow& row = rotated[p];
        // Angles 0 and 90 degrees project exactly onto the components, so their peaks are among the 180.
        const double first = p == 0 ? plain[p].psa[0] : plain[p].sd[0],
                     second = p == 0 ? plain[p].psa[1] : plain[p].sd[1];
        const RotD& d = p == 0 ? row.psa : row.sd;
        EXPECT_GE(d.rotd100, std::max(first, second));
        EXPECT_LE(d.rotd00, std::min(first, second));
        EXPECT_LE(d.rotd00, d.rotd50);
        EXPECT_LE(d.rotd50, d.rotd100);
        if (p > 0) {
            const double omega = 2 * pi / periods[p];
            EXPECT_EQ(row.psv.rotd50, omega * row.sd.rotd50);
            EXPECT_EQ(row.psa.rotd100, omega * omega * row.sd.rotd100);
        }
    }
}

// Each oscillator is stepped once for both spectra: the per-component rows are response_spectra()'s,
// bit for bit, whichever two components are the horizontals and however many threads share them.
TEST(Rotation, RotatedSpectraGiveTheComponentsRowsUnchanged) {
    const auto pair = random_pair(1500, 11);
    const GroundRecord record = record_of(pair[0], pair[1], random_pair(1500, 12)[0]);
    const std::vector<double> periods{0, 0.015, 0.3, 3}, dampings{0.02, 0.05};
    const auto plain = response_spectra(record, dampings, periods, 1);
    const std::array<std::array<int, 2>, 4> pairs{{{0, 1}, {1, 2}, {2, 0}, {1, 0}}};
    for (const auto& horizontals : pairs) {
        for (const unsigned threads : {1u, 3u}) {
            const auto rows = rotated_spectra(record, horizontals, dampings, periods, threads).rows;
            ASSERT_EQ(rows.size(), plain.size());
            for (std::size_t r = 0; r < rows.size(); ++r) {
                SCOPED_TRACE(::testing::Message() << horizontals[0] << horizontals[1] << " row " << r);
                EXPECT_EQ(rows[r].period, plain[r].period);
                EXPECT_EQ(rows[r].damping, plain[r].damping);
                EXPECT_EQ(rows[r].sd, plain[r].sd);
                EXPECT_EQ(rows[r].psv, plain[r].psv);
                EXPECT_EQ(rows[r].psa, plain[r].psa);
                EXPECT_EQ(rows[r].sa, plain[r].sa);
            }
        }
    }
}

TEST(Rotation, ToolAddsTheRotatedColumnsForTheChosenHorizontals) {
    testing::TempDir dir;
    const auto pair = random_pair(800, 9);
    const std::vector<double>& x1 = pair[0];
    const std::vector<double>& x2 = pair[1];
    std::string text = " time(s),comp1, comp2, comp3\n";
    char row[96];
    for (std::size_t i = 0; i < x1.size(); ++i) {
        std::snprintf(row, sizeof row, "%8.3f,%12.4E,%12.4E,%12.4E,\n", i * dt, x1[i], x2[i], x1[i] - x2[i]);
        text += row;
    }
    testing::write_file(dir / "w.csv", text);
    for (const char* horizontals : {"1,2", "3,1"}) {
        SCOPED_TRACE(horizontals);
        const auto r = testing::run_command(dir.path(), SMWAVE_RESPONSE_EXE,
                                            {"w.csv", "--count", "4", "--rotd", "--horizontal", horizontals});
        ASSERT_EQ(r.status, 0) << r.err;
        auto table = companion::read_suite_file(dir / "w-response.csv");
        ASSERT_TRUE(table) << describe(table.problem());
        ASSERT_EQ(table->names.size(), 23u);
        EXPECT_EQ(table->names[14], "sd_rotd00");
        EXPECT_EQ(table->names[22], "psa_rotd100");
        const auto column = [&](const std::string& name) {
            return table
                ->columns[std::find(table->names.begin(), table->names.end(), name) - table->names.begin()];
        };
        const std::size_t a = horizontals[0] == '1' ? 0 : 2, b = horizontals[0] == '1' ? 1 : 0;
        const char* sd[] = {"sd1", "sd2", "sd3"};
        for (std::size_t p = 1; p < table->rows(); ++p) {
            EXPECT_GE(column("sd_rotd100")[p], std::max(column(sd[a])[p], column(sd[b])[p]));
            EXPECT_LE(column("sd_rotd00")[p], std::min(column(sd[a])[p], column(sd[b])[p]));
        }
    }
    const auto refused =
        testing::run_command(dir.path(), SMWAVE_RESPONSE_EXE, {"w.csv", "--rotd", "--horizontal", "2,2"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.err,
              "smwave-response: --horizontal: two different components among 1, 2 and 3 are needed (such as "
              "1,2)\n");
}

}  // namespace
}  // namespace smwave::response

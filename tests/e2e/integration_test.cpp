// Double integration and differentiation through whole runs, against closed forms: each component is
// a sinusoid with a whole number of cycles in the record, whose spectrum is one bin and whose double
// integral and derivative are known exactly.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <sstream>
#include <vector>

#include "support/tool_run.hpp"

namespace smwave::testing {
namespace {

constexpr int rows = 4096;
constexpr double dt = 0.01;

// Component k (1..3): amplitude a times sin or cos of omega t, with `cycles` cycles in the record.
struct Component {
    int column;
    int cycles;
    double amplitude;
    bool cosine;
    double omega() const { return 2 * std::numbers::pi * cycles / (rows * dt); }
    double value(double t) const {
        return amplitude * (cosine ? std::cos(omega() * t) : std::sin(omega() * t));
    }
};

const Component components[3] = {{38, 37, 1.0, false}, {40, 100, 2.5, true}, {17, 250, 0.5, false}};

double signal(int row, int column) {
    for (const Component& c : components) {
        if (c.column == column) return c.value((row - 1) * dt);
    }
    return 0.0;
}

// The numbers of each data row of a written file (the header line skipped, trailing commas ignored).
std::vector<std::vector<double>> data_rows(const std::string& text) {
    std::vector<std::vector<double>> table;
    std::istringstream lines(text);
    std::string line;
    std::getline(lines, line);
    while (std::getline(lines, line)) {
        std::vector<double> values;
        const char* at = line.c_str();
        for (char* end = nullptr;; at = end + 1) {
            values.push_back(std::strtod(at, &end));
            if (*end != ',' || end[1] == '\0') break;
        }
        table.push_back(values);
    }
    return table;
}

// A value written with four significant digits, against the closed form: within half a unit of the
// fourth digit, plus a small share of the component's scale for the transform's own error.
void expect_written(double written, double exact, double scale, const std::string& where) {
    const double half_unit =
        exact == 0 ? 0 : 0.5 * std::pow(10.0, std::floor(std::log10(std::fabs(exact))) - 3);
    EXPECT_NEAR(written, exact, half_unit + 1e-7 * scale) << where;
}

struct Case {
    int nit;
    // The processed component at time t, and the factor its spectrum is multiplied by.
    std::function<double(const Component&, double)> processed;
    std::function<double(const Component&)> gain;
};

TEST(Integration, DoubleIntegralAndDerivativeOfBinSinusoidsFollowTheirClosedForms) {
    const Case cases[] = {
        {2, [](const Component& c, double t) { return -c.value(t) / (c.omega() * c.omega()); },
         [](const Component& c) { return 1 / (c.omega() * c.omega()); }},
        {3,
         [](const Component& c, double t) {
             const double w = c.omega();
             return c.amplitude * w * (c.cosine ? -std::sin(w * t) : std::cos(w * t));
         },
         [](const Component& c) { return c.omega(); }},
    };
    TempDir dir;
    write_file(dir / "table.txt", make_table(rows, dt, signal));
    for (const Case& test : cases) {
        const ToolResult r =
            run_tool(dir.path(), "table.txt\n0\n0\n" + std::to_string(test.nit) + "\n0\n0\nout.csv\n\n");
        ASSERT_EQ(r.status, 0) << r.err;

        // Waveform: each component relative to its own first sample.
        const auto wave = data_rows(read_file(dir / "out.csv"));
        ASSERT_EQ(wave.size(), std::size_t{rows});
        for (int k = 0; k < 3; ++k) {
            const Component& c = components[k];
            const double scale = c.amplitude * test.gain(c);
            for (int i = 0; i < rows; i += 7) {
                const double t = i * dt;
                expect_written(wave[i][k + 1], test.processed(c, t) - test.processed(c, 0), scale,
                               "nit " + std::to_string(test.nit) + " comp " + std::to_string(k + 1) +
                                   " row " + std::to_string(i + 1));
            }
        }

        // Spectrum: the sinusoid's one bin holds dt * rows / 2 times its amplitude, times the gain.
        const auto amp = data_rows(read_file(dir / "amp3.csv"));
        ASSERT_EQ(amp.size(), std::size_t{rows / 2 + 1});
        for (int k = 0; k < 3; ++k) {
            const Component& c = components[k];
            const double peak = dt * rows / 2 * c.amplitude * test.gain(c);
            expect_written(amp[c.cycles][k + 1], peak, peak, "nit " + std::to_string(test.nit) + " bin");
            expect_written(amp[c.cycles + 1][k + 1], 0, peak,
                           "nit " + std::to_string(test.nit) + " next bin");
        }
    }
}

}  // namespace
}  // namespace smwave::testing

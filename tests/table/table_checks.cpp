#include "table/table_checks.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <sstream>

#include "companion/suite_file.hpp"
#include "portable/float_chars.hpp"

namespace smwave::testing {

ToolResult run_table(const std::filesystem::path& dir, const std::vector<std::string>& arguments) {
    return run_command(dir, SMWAVE_TABLE_EXE, arguments);
}

namespace {

double exact(const std::string& word) {
    double value = 0;
    const auto [end, error] = smwave::portable::from_chars(word.data(), word.data() + word.size(), value);
    EXPECT_TRUE(error == std::errc() && end == word.data() + word.size()) << word;
    return value;
}

double peak_of(const std::vector<double>& values) {
    double peak = 0;
    for (const double value : values) peak = std::max(peak, std::abs(value));
    return peak;
}

}  // namespace

TableContent read_table(const std::filesystem::path& file) {
    std::istringstream text(read_file(file));
    TableContent table;
    std::string line, word;
    std::getline(text, line);
    std::istringstream words(line);
    while (words >> word) table.words.push_back(word);
    std::getline(text, table.provenance);
    while (std::getline(text, line)) {
        std::istringstream row(line);
        std::vector<std::string> numbers;
        while (row >> word) numbers.push_back(word);
        EXPECT_EQ(numbers.size(), 43u) << line;
        if (numbers.size() != 43) break;
        for (std::size_t channel = 1; channel <= 42; ++channel) {
            if (channel != 17 && channel != 38 && channel != 40) {
                EXPECT_EQ(numbers[channel], "0");
            }
        }
        table.time.push_back(exact(numbers[0]));
        table.components[0].push_back(exact(numbers[38]));
        table.components[1].push_back(exact(numbers[40]));
        table.components[2].push_back(exact(numbers[17]));
    }
    return table;
}

void expect_smwave_gives_back(const std::filesystem::path& dir, const std::string& table,
                              const std::vector<std::vector<double>>& expected) {
    const ToolResult run = run_tool(dir, table + "\n0\n0\n0\n0\n0\nwave.csv\n\n");
    ASSERT_EQ(run.status, 0) << run.err;
    const std::size_t rows = expected[0].size();
    EXPECT_NE(run.out.find(" NT and DT= " + std::to_string(rows) + " "), std::string::npos) << run.out;
    const auto echo = companion::read_suite_file(dir / "fort.99");
    const auto wave = companion::read_suite_file(dir / "wave.csv");
    ASSERT_TRUE(echo) << companion::describe(echo.problem());
    ASSERT_TRUE(wave) << companion::describe(wave.problem());
    ASSERT_EQ(echo->rows(), rows);
    ASSERT_EQ(wave->rows(), rows);
    for (std::size_t k = 0; k < 3; ++k) {
        const double peak = peak_of(expected[k]);
        for (std::size_t i = 0; i < rows; ++i) {
            const double value = expected[k][i];
            ASSERT_NEAR(echo->columns[k + 1][i], value, 1e-6 * std::abs(value) + 1e-12)
                << "echo, component " << k + 1 << ", row " << i + 1;
            const double relative = value - expected[k][0];
            ASSERT_NEAR(wave->columns[k + 1][i], relative, 5e-4 * std::abs(relative) + 1e-7 * peak)
                << "waveform file, component " << k + 1 << ", row " << i + 1;
        }
    }
}

}  // namespace smwave::testing

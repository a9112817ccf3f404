// Each format end to end: a known signal written in the format, converted, read back exactly, and
// run through smwave with no processing.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "companion/suite_file.hpp"
#include "support/tool_run.hpp"
#include "table/record_files.hpp"
#include "table/table_checks.hpp"

namespace smwave::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t samples = 600;
constexpr std::int64_t start = 1709609645LL * 1000000;  // 2024-03-05T03:34:05Z

// Every format: the whole-record mean of each component removed, as the conversion does by default.
std::vector<std::vector<double>> as_doubles(const std::vector<std::vector<std::int32_t>>& counts,
                                            double factor = 1) {
    std::vector<std::vector<double>> values;
    for (const auto& component : counts) {
        double mean = 0;
        for (const double value : component) mean += value;
        mean /= static_cast<double>(component.size());
        auto& removed = values.emplace_back();
        for (const double value : component) removed.push_back((value - mean) * factor);
    }
    return values;
}

std::vector<std::vector<double>> mean_removed(const std::vector<std::vector<std::int32_t>>& counts) {
    return as_doubles(counts);
}

// K-NET: gal from counts.
std::vector<std::vector<double>> in_gal(const std::vector<std::vector<std::int32_t>>& counts) {
    return as_doubles(counts, 7845.0 / 8223790.0);
}

std::string columns_text(const std::vector<std::vector<std::int32_t>>& signal, bool with_time,
                         char separator) {
    std::string text = "# a record written by hand\n";
    text += with_time ? std::string("time") + separator + "ns" + separator + "ew" + separator + "ud\n"
                      : std::string("index") + separator + "a" + separator + "b" + separator + "c\n";
    for (std::size_t i = 0; i < signal[0].size(); ++i) {
        char time[32];
        std::snprintf(time, sizeof time, "%.3f", 10 + static_cast<double>(i) * 0.005);
        text += (with_time ? std::string(time) : std::to_string(i)) + separator +
                std::to_string(signal[1][i]) + separator + std::to_string(signal[0][i]) + separator +
                std::to_string(signal[2][i]) + '\n';
    }
    return text;
}

SacFile sac(const std::vector<std::int32_t>& counts, const std::string& component, int version,
            bool big_endian) {
    SacFile file;
    file.data.assign(counts.begin(), counts.end());
    file.component = component;
    file.version = version;
    file.big_endian = big_endian;
    file.network = "NW";
    file.fields = {{31, 35.5f},
                   {32, -120.25f},
                   {7, 12.5f},
                   {35, 36.0f},
                   {36, -121.0f},
                   {38, 8.5f},
                   {39, 6.1f},
                   {57, component == "HHE" ? 90.0f : 0.0f},
                   {58, component == "HHZ" ? 0.0f : 90.0f}};
    return file;
}

struct FormatCase {
    std::string name;
    std::function<void(const fs::path&, const std::vector<std::vector<std::int32_t>>&)> write;
    std::vector<std::string> arguments;
    std::vector<std::string> words;  // the header line
    double interval;
    std::function<std::vector<std::vector<double>>(const std::vector<std::vector<std::int32_t>>&)> expected =
        mean_removed;
    // Items the table's metadata must hold, beyond station, channels, dt and baseline=mean.
    std::vector<std::pair<std::string, std::string>> items;
    std::string err;  // what standard error must hold
};

const std::vector<std::pair<std::string, std::string>> sac_items = {
    {"network", "NW"},         {"azimuths", "90,0,0"},
    {"dips", "0,0,-90"},       {"latitude", "35.5"},
    {"longitude", "-120.25"},  {"start", "2024-03-05T03:34:05Z"},
    {"units", "nm/s/s"},       {"origin_time", "2024-03-05T03:34:17.5Z"},
    {"origin_latitude", "36"}, {"origin_longitude", "-121"},
    {"origin_depth", "8.5"},   {"magnitude", "6.1"}};
const std::vector<std::pair<std::string, std::string>> mseed_items = {{"network", "XX"},
                                                                      {"start", "2024-03-05T03:34:05Z"},
                                                                      {"units", "counts"},
                                                                      {"correction", "none,none,none"}};
const std::string counts_warning =
    "smwave-table: the samples are still counts, not physical units: give the channels' StationXML with "
    "--inventory, or their units with --units\n";

void write_sac_set(const fs::path& dir, const std::vector<std::vector<std::int32_t>>& signal, int version,
                   bool big_endian, bool text) {
    const char* names[] = {"HHE", "HHN", "HHZ"};
    for (int k = 0; k < 3; ++k) {
        const SacFile file = sac(signal[static_cast<std::size_t>(k)], names[k], version, big_endian);
        write_file(dir / (std::string(names[k]) + ".sac"), text ? file.text_form() : file.binary());
    }
}

const std::vector<std::string> sac_inputs = {"HHE.sac", "HHN.sac", "HHZ.sac", "-o", "table.txt"};

const FormatCase cases[] = {
    {"ColumnsByHeaderNames",
     [](const fs::path& dir, const auto& signal) {
         write_file(dir / "rec.csv", columns_text(signal, true, ','));
     },
     {"rec.csv", "--columns", "time,EW,ns,ud", "-o", "table.txt"},
     {"rec", "ew", "ns", "ud"},
     0.005,
     mean_removed,
     {{"source", "rec.csv"}, {"units", "as in the file"}},
     ""},
    {"ColumnsByNumberWithInterval",
     [](const fs::path& dir, const auto& signal) {
         write_file(dir / "rec.txt", columns_text(signal, false, '\t'));
     },
     {"rec.txt", "--columns", "3,2,4", "--dt", "0.02", "-o", "table.txt"},
     {"rec", "b", "a", "c"},
     0.02,
     mean_removed,
     {{"source", "rec.txt"}},
     ""},
    {"KnetThreeFiles",
     [](const fs::path& dir, const auto& signal) {
         const char* directions[] = {"E-W", "N-S", "U-D"};
         const char* names[] = {"XYZ0120403051234.EW", "XYZ0120403051234.NS", "XYZ0120403051234.UD"};
         for (std::size_t k = 0; k < 3; ++k) {
             KnetFile file;
             file.direction = directions[k];
             file.counts = signal[k];
             write_file(dir / names[k], file.text());
         }
     },
     {"XYZ0120403051234.EW", "XYZ0120403051234.NS", "XYZ0120403051234.UD", "-o", "table.txt"},
     {"XYZ012", "EW", "NS", "UD"},
     0.01,
     in_gal,
     {{"azimuths", "90,0,0"},
      {"dips", "0,0,-90"},
      {"latitude", "36.05"},
      {"longitude", "140.1"},
      {"elevation", "25"},
      {"start", "2024-03-05T03:34:05Z"},
      {"units", "gal"},
      {"source", "XYZ0120403051234.EW"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"origin_latitude", "36.1"},
      {"origin_longitude", "140.2"},
      {"origin_depth", "40"},
      {"magnitude", "5.8"}},
     ""},
    {"SacBinaryLittleEndianVersion6",
     [](const fs::path& dir, const auto& signal) { write_sac_set(dir, signal, 6, false, false); },
     sac_inputs,
     {"ABC", "HHE", "HHN", "HHZ"},
     0.01,
     mean_removed,
     sac_items,
     ""},
    {"SacBinaryBigEndianVersion7",
     [](const fs::path& dir, const auto& signal) { write_sac_set(dir, signal, 7, true, false); },
     sac_inputs,
     {"ABC", "HHE", "HHN", "HHZ"},
     0.01,
     mean_removed,
     sac_items,
     ""},
    {"SacAlphanumericVersion6",
     [](const fs::path& dir, const auto& signal) { write_sac_set(dir, signal, 6, false, true); },
     sac_inputs,
     {"ABC", "HHE", "HHN", "HHZ"},
     0.01,
     mean_removed,
     sac_items,
     ""},
    {"SacAlphanumericVersion7",
     [](const fs::path& dir, const auto& signal) { write_sac_set(dir, signal, 7, false, true); },
     sac_inputs,
     {"ABC", "HHE", "HHN", "HHZ"},
     0.01,
     mean_removed,
     sac_items,
     ""},
    {"MseedOneFileInDefaultOrder",
     [](const fs::path& dir, const auto& signal) {
         write_file(dir / "rec.mseed", mseed_channel("STA", "HNZ", start, 200, signal[2]) +
                                           mseed_channel("STA", "HNN", start, 200, signal[1]) +
                                           mseed_channel("STA", "HNE", start, 200, signal[0]));
     },
     {"rec.mseed", "-o", "table.txt"},
     {"STA", "HNE", "HNN", "HNZ"},
     0.005,
     mean_removed,
     mseed_items,
     counts_warning},
    {"MseedOneFileInNamedOrder",
     [](const fs::path& dir, const auto& signal) {
         write_file(dir / "rec.mseed", mseed_channel("STA", "HN2", start, 100, signal[1]) +
                                           mseed_channel("STA", "HN1", start, 100, signal[2]) +
                                           mseed_channel("STA", "HNX", start, 100, signal[0]));
     },
     {"rec.mseed", "--channels", "hnx,HN2,HN1", "-o", "table.txt"},
     {"STA", "HNX", "HN2", "HN1"},
     0.01,
     mean_removed,
     mseed_items,
     counts_warning},
    {"MseedThreeFiles",
     [](const fs::path& dir, const auto& signal) {
         write_file(dir / "a.mseed", mseed_channel("STA", "HNZ", start, 100, signal[0]));
         write_file(dir / "b.mseed", mseed_channel("STA", "HNE", start, 100, signal[1]));
         write_file(dir / "c.mseed", mseed_channel("STA", "HNN", start, 100, signal[2]));
     },
     {"a.mseed", "b.mseed", "c.mseed", "-o", "table.txt"},
     {"STA", "HNZ", "HNE", "HNN"},
     0.01,
     mean_removed,
     mseed_items,
     counts_warning},
};

void PrintTo(const FormatCase& c, std::ostream* out) { *out << c.name; }

class FormatEndToEnd : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatEndToEnd, GivesTheSignalBackThroughSmwave) {
    const FormatCase& c = GetParam();
    TempDir dir;
    const auto signal = known_signal(samples);
    c.write(dir.path(), signal);
    const ToolResult run = run_table(dir.path(), c.arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, c.err);
    const TableContent table = read_table(dir / "table.txt");
    EXPECT_EQ(table.words, c.words);
    const auto head = companion::read_table_head(dir / "table.txt");
    ASSERT_TRUE(head && head->metadata) << table.provenance;
    auto items = c.items;
    items.insert(items.end(), {{"station", c.words[0]},
                               {"channels", c.words[1] + "," + c.words[2] + "," + c.words[3]},
                               {"baseline", "mean"},
                               {"taper", "0"}});
    for (const auto& [key, value] : items) EXPECT_EQ(head->metadata->find(key), value) << key;
    EXPECT_EQ(head->metadata->number("dt"), c.interval);
    ASSERT_EQ(table.time.size(), samples);
    EXPECT_EQ(table.time[1] - table.time[0], c.interval);  // smwave's interval, to the last bit
    const auto expected = c.expected(signal);
    for (std::size_t k = 0; k < 3; ++k) {
        for (std::size_t i = 0; i < samples; ++i) {
            ASSERT_NEAR(table.components[k][i], expected[k][i], 1e-12)
                << "component " << k + 1 << ", sample " << i + 1;
        }
    }
    expect_smwave_gives_back(dir.path(), "table.txt", expected);
}

INSTANTIATE_TEST_SUITE_P(Table, FormatEndToEnd, ::testing::ValuesIn(cases),
                         [](const auto& info) { return info.param.name; });

}  // namespace
}  // namespace smwave::testing

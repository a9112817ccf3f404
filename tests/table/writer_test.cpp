// The table's text: smwave's interval to the last bit, header words smwave reads whole, the
// provenance line, and the small conversions behind them.
#include <gtest/gtest.h>

#include "companion/output_file.hpp"
#include "companion/suite_file.hpp"
#include "support/tool_run.hpp"
#include "table/civil_time.hpp"
#include "table/columns_reader.hpp"
#include "table/table_checks.hpp"
#include "table/table_writer.hpp"

namespace smwave::table {
namespace {

using testing::read_table;
using testing::TempDir;

Record record_of(double interval, std::size_t samples) {
    Record record;
    record.station = "ST";
    record.names = {"A", "B", "C"};
    record.interval = interval;
    for (std::size_t k = 0; k < 3; ++k) {
        for (std::size_t i = 0; i < samples; ++i)
            record.samples[k].push_back(static_cast<double>(i * (k + 1)) / 7.0 - 3);
    }
    record.start = 1709609645LL * 1000000 + 250000;
    record.units = "gal";
    record.sources = {"a.EW", "b\nNS"};
    record.processing.add("scale", "2");
    return record;
}

TEST(TableWriter, TimesGiveTheIntervalToTheLastBitAndValuesReadBackExactly) {
    // The first record spans several of the writer's blocks.
    std::size_t samples = 40000;
    for (const double interval : {0.01, 0.005, 1 / 3.0, 1 / 40.0, 0.0125, 1e-3, 0.009999999776482582, 7.3}) {
        TempDir dir;
        const Record record = record_of(interval, samples);
        {
            auto out = companion::OutputFile::open(dir / "t.txt");
            ASSERT_TRUE(out);
            write_table(record, *out);
            ASSERT_FALSE(out->commit());
        }
        const auto table = read_table(dir / "t.txt");
        ASSERT_EQ(table.time.size(), samples);
        EXPECT_EQ(table.time[1] - table.time[0], interval);
        EXPECT_EQ(table.time[samples - 1], static_cast<double>(samples - 1) * interval);
        for (std::size_t k = 0; k < 3; ++k) EXPECT_EQ(table.components[k], record.samples[k]);
        EXPECT_EQ(table.words, (std::vector<std::string>{"ST", "A", "B", "C"}));
        samples = 1500;
    }
}

TEST(TableWriter, MetadataIsOneLineThatReadsBack) {
    Record record = record_of(0.01, 2);
    record.sources.push_back("my \"best\" record.sac");
    record.azimuths = {90.0, 0.0, std::nullopt};
    record.origin.depth = 40;
    EXPECT_EQ(
        table_head(record),
        "ST A B C\nstation=ST channels=A,B,C azimuths=90,0,- start=2024-03-05T03:34:05.25Z dt=0.01 "
        "units=gal scale=2 source=a.EW source=b?NS source=\"my \\\"best\\\" record.sac\" origin_depth=40\n");
    const auto head = companion::parse_table_head(table_head(record), "t.txt");
    ASSERT_TRUE(head);
    ASSERT_TRUE(head->metadata);
    EXPECT_EQ(head->metadata->all("source"),
              (std::vector<std::string>{"a.EW", "b?NS", "my \"best\" record.sac"}));
    EXPECT_EQ(head->metadata->number("dt"), 0.01);
    EXPECT_EQ(companion::split_commas(*head->metadata->find("azimuths")),
              (std::vector<std::string>{"90", "0", "-"}));
    record.start.reset();
    EXPECT_EQ(table_head(record).find("start="), std::string::npos);
}

TEST(TableMetadata, OlderFreeTextLinesBrokenQuotesAndControlBytesAreNotMetadata) {
    const std::string_view not_metadata[] = {
        "start 2024-03-05T03:34:05Z UTC; dt 0.01 s; units gal; sources a.EW; scale 1",
        "",
        "station=\"open",
        "Station=X",
        "a=b c",
        "a=\"b\"c",
        "a=b\"c",
        "a=b\x01c"};
    for (const auto line : not_metadata) EXPECT_FALSE(companion::parse_metadata(line)) << line;
    const auto head = companion::parse_table_head(
        "ST EW NS UD\nstart unknown; dt 0.01 s; units gal; sources x; scale 1\n0 1 2\n", "old.txt");
    ASSERT_TRUE(head);
    EXPECT_EQ(head->words, (std::vector<std::string>{"ST", "EW", "NS", "UD"}));
    EXPECT_EQ(head->second_line, "start unknown; dt 0.01 s; units gal; sources x; scale 1");
    EXPECT_FALSE(head->metadata);
    const auto empty_value = companion::parse_metadata("a=\"\" b=\"x y\"  c=1");
    ASSERT_TRUE(empty_value);
    EXPECT_EQ(empty_value->items,
              (std::vector<std::pair<std::string, std::string>>{{"a", ""}, {"b", "x y"}, {"c", "1"}}));
    EXPECT_FALSE(companion::parse_table_head("one line only\n", "short.txt"));
}

TEST(TableWriter, HeaderWordsAreReadWhole) {
    const std::pair<std::string, std::string> cases[] = {
        {"XYZ012", "XYZ012"}, {"", "-"},      {"N S", "N_S"},    {"a,b/c", "a_b_c"},
        {"'q'", "_q_"},       {"3*x", "3_x"}, {"t\tab", "t_ab"}, {"\"d\"", "_d_"},
    };
    for (const auto& [text, word] : cases) EXPECT_EQ(header_word(text), word) << text;
}

TEST(Conversions, IntervalsDatesAndTimes) {
    double sum = 0;
    for (int i = 0; i < 599; ++i) sum += 0.01;  // an interval as a mean of rounded steps
    EXPECT_EQ(tidy_interval(sum / 599), 0.01);
    EXPECT_EQ(tidy_interval(0.00999999), 0.00999999);
    EXPECT_EQ(tidy_interval(10.01 - 10), 0.01);
    EXPECT_EQ(format_utc(0), "1970-01-01T00:00:00Z");
    EXPECT_EQ(format_utc(-1), "1969-12-31T23:59:59.999999Z");
    EXPECT_EQ(format_utc(951782400LL * 1000000), "2000-02-29T00:00:00Z");
    EXPECT_EQ(parse_slashed_date_time("2000/02/29 00:00:00"), 951782400LL * 1000000);
    for (const char* bad : {"2001/02/29 00:00:00", "2024/13/01 00:00:00", "2024/03/05 24:00:00", "2024/03/05",
                            "2024-03-05 12:00:00"}) {
        EXPECT_FALSE(parse_slashed_date_time(bad)) << bad;
    }
}

}  // namespace
}  // namespace smwave::table

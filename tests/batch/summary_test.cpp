// Summary rows as CSV, shards of a batch, and merging the shards' summaries.
#include "batch/summary.hpp"

#include <gtest/gtest.h>

#include "batch/records.hpp"
#include "support/tool_run.hpp"

namespace smwave::batch {
namespace {

using smwave::testing::read_file;
using smwave::testing::TempDir;
using smwave::testing::write_file;

TEST(Summary, FieldsNeedingQuotesReadBackWhole) {
    const Row row{"a b", "x,y.txt", "say \"hi\"", "", "line\nbreak", "1", "-2.5e-05"};
    const std::string line = csv_line(row);
    EXPECT_EQ(line, "\"a b\",\"x,y.txt\",\"say \"\"hi\"\"\",,\"line\nbreak\",1,-2.5e-05\n");
    const auto rows = parse_csv(line + line, "s.csv");
    ASSERT_TRUE(rows);
    EXPECT_EQ(*rows, (std::vector<Row>{row, row}));
    EXPECT_EQ(companion::describe(parse_csv("a,\"b\nc", "s.csv").problem()),
              "s.csv:1: a quoted field is never closed");
    EXPECT_EQ(companion::describe(parse_csv("a\n\"b\"c\n", "s.csv").problem()),
              "s.csv:2: text follows a closing quote");
}

TEST(Summary, ShardsCoverEveryRecordOnce) {
    for (std::size_t count = 1; count <= 7; ++count) {
        std::vector<Record> records(count);
        for (std::size_t at = 0; at < count; ++at) records[at].index = at;
        for (std::size_t shards = 1; shards <= 5; ++shards) {
            std::vector<int> seen(count);
            for (std::size_t shard = 0; shard < shards; ++shard) {
                std::size_t previous = 0;
                for (const Record& record : select_shard(records, {shard, shards})) {
                    EXPECT_EQ(record.index % shards, shard);
                    EXPECT_TRUE(record.index >= previous);
                    previous = record.index;
                    ++seen[record.index];
                }
            }
            EXPECT_EQ(seen, std::vector<int>(count, 1)) << count << " records in " << shards << " shards";
        }
    }
    for (const char* bad : {"3/3", "1", "a/2", "1/0", "-1/2", "1/2x"}) EXPECT_FALSE(parse_shard(bad)) << bad;
    EXPECT_EQ(parse_shard("2/5")->number, 2u);
}

// Writes the shards of `records` rows named r0, r1, ... as `shards` shard summaries.
void write_shards(const TempDir& dir, std::size_t records, std::size_t shards) {
    for (std::size_t shard = 0; shard < shards; ++shard) {
        std::vector<Row> rows;
        for (std::size_t at = shard; at < records; at += shards) {
            Row row = empty_row(plain_columns, "r" + std::to_string(at), "t" + std::to_string(at) + ".txt");
            row[status_column] = at == 3 ? "failed" : "ok";
            rows.push_back(row);
        }
        write_file(dir / summary_file_name(shard, shards), summary_text(rows, plain_columns));
    }
}

TEST(Summary, MergeJoinsShardsInRecordOrderAndNamesMissingOnes) {
    TempDir dir;
    write_shards(dir, 7, 3);
    std::size_t records = 0, not_ok = 0;
    ASSERT_FALSE(merge_shards(dir.path(), records, not_ok));
    EXPECT_EQ(records, 7u);
    EXPECT_EQ(not_ok, 1u);
    std::size_t columns = 0;
    const auto merged = read_summary(dir / "summary.csv", columns);
    ASSERT_TRUE(merged);
    for (std::size_t at = 0; at < 7; ++at) EXPECT_EQ((*merged)[at][name_column], "r" + std::to_string(at));

    std::filesystem::remove(dir / "summary-1-of-3.csv");
    auto problem = merge_shards(dir.path(), records, not_ok);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->what, "missing shard summaries: summary-1-of-3.csv");

    TempDir mixed;
    write_shards(mixed, 7, 3);
    write_shards(mixed, 7, 2);
    EXPECT_NE(merge_shards(mixed.path(), records, not_ok)->what.find("different shard counts"),
              std::string::npos);

    TempDir uneven;
    write_shards(uneven, 7, 3);
    write_file(uneven / "summary-2-of-3.csv", read_file(uneven / "summary-0-of-3.csv"));
    EXPECT_NE(merge_shards(uneven.path(), records, not_ok)->what.find("are the shards of one batch?"),
              std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(uneven / "summary.csv"));
}

}  // namespace
}  // namespace smwave::batch

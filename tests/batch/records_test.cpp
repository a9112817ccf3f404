// Which tables a batch runs, in which order, under which names.
#include "batch/records.hpp"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "support/tool_run.hpp"

namespace smwave::batch {
namespace {

using smwave::testing::TempDir;
using smwave::testing::write_file;

TEST(Records, NamesComeFromTheTablesWithRepeatsNumberedInInputOrder) {
    TempDir dir;
    std::filesystem::create_directories(dir / "quake");
    for (const char* table : {"quake/b.txt", "quake/a.txt", "quake/.hidden", "a.txt", "my wave.dat",
                              "summary.csv.txt", "quake/a.csv"}) {
        write_file(dir / table, "x");
    }
    const auto records =
        list_records({(dir / "a.txt").string(), (dir / "quake").string(), (dir / "my wave.dat").string(),
                      (dir / "summary.csv.txt").string(), (dir / "a.txt").string()});
    ASSERT_TRUE(records);
    std::vector<std::string> names, tables;
    for (const Record& record : *records) {
        names.push_back(record.name);
        tables.push_back(record.table.lexically_relative(dir.path()).string());
    }
    EXPECT_EQ(names,
              (std::vector<std::string>{"a", "a-2", "a-3", "b", "my wave", "record-summary.csv", "a-4"}));
    EXPECT_EQ(tables, (std::vector<std::string>{"a.txt", "quake/a.csv", "quake/a.txt", "quake/b.txt",
                                                "my wave.dat", "summary.csv.txt", "a.txt"}));
}

TEST(Records, WhatIsNoTableIsRefused) {
    TempDir dir;
    std::filesystem::create_directories(dir / "empty");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no tables given"},
        {{(dir / "missing.txt").string()}, "no such table or folder"},
        {{(dir / "empty").string()}, "the folder holds no tables"},
        {{(dir / "fifo").string()},
         "is not a regular file: smwave reads each table by name, once per record"},
    };
    for (const auto& [arguments, what] : cases) {
        const auto records = list_records(arguments);
        ASSERT_FALSE(records) << what;
        EXPECT_EQ(records.problem().what, what);
    }
}

}  // namespace
}  // namespace smwave::batch

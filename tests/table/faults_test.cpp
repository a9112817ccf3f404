// Faults at the edges: outputs that cannot be written, an output naming an input, interruption
// during a long conversion, inputs that are folders, pipes or one very long line.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "support/command_run.hpp"
#include "table/table_checks.hpp"

namespace smwave::testing {
namespace {

namespace fs = std::filesystem;

// A small record in plain columns, and a long one (time and three components).
std::string columns(std::size_t rows) {
    std::string text = "t a b c\n";
    for (std::size_t i = 0; i < rows; ++i) {
        text += std::to_string(i) + "e-2 " + std::to_string(i % 97) + ".25 -" + std::to_string(i % 13) + " " +
                std::to_string(i % 5) + "e3\n";
    }
    return text;
}

std::size_t entries(const fs::path& folder) {
    return static_cast<std::size_t>(std::distance(fs::directory_iterator(folder), fs::directory_iterator()));
}

TEST(TableFaults, FullDiskAndAnOutputNamingAnInputAreRefusedAndNothingIsLeft) {
    TempDir dir;
    write_file(dir / "rec.txt", columns(100));
    const ToolResult full = run_table(dir.path(), {"rec.txt", "-o", "/dev/full"});
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "smwave-table: /dev/full: cannot write: No space left on device\n");
    const ToolResult same = run_table(dir.path(), {"rec.txt", "-o", "./rec.txt"});
    EXPECT_EQ(same.status, 2);
    EXPECT_NE(same.err.find("would overwrite the input"), std::string::npos) << same.err;
    EXPECT_EQ(read_file(dir / "rec.txt"), columns(100));
    EXPECT_EQ(entries(dir.path()), 1u);
}

TEST(TableFaults, StandardOutputWhenNoOutputIsNamed) {
    TempDir dir;
    write_file(dir / "rec.txt", columns(100));
    const ToolResult run = run_table(dir.path(), {"rec.txt"});
    EXPECT_EQ(run.status, 0);
    EXPECT_EQ(run.out.substr(0, 14), "rec a b c\nstat");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 102);
    EXPECT_EQ(run_table(dir.path(), {"--version"}).out.rfind("smwave-table ", 0), 0u);
    const ToolResult usage = run_table(dir.path(), {"rec.txt", "--format", "csv"});
    EXPECT_EQ(usage.status, 2);
    EXPECT_NE(usage.err.find("smwave-table --help"), std::string::npos) << usage.err;
}

TEST(TableFaults, ReadOnlyOutputFolderIsRefused) {
    if (const std::string why = unprivileged_run_unavailable(); !why.empty()) GTEST_SKIP() << why;
    TempDir dir;
    fs::create_directory(dir / "locked");
    write_file(dir / "rec.txt", columns(100));
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::others_read | fs::perms::others_exec);
    fs::permissions(dir / "rec.txt", fs::perms::owner_read | fs::perms::others_read);
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    const ToolResult run = run_command(dir.path(), SMWAVE_TABLE_EXE, {"rec.txt", "-o", "locked/t.txt"}, {}, true);
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_EQ(entries(dir / "locked"), 0u);
}

TEST(TableFaults, InterruptionLeavesNoPartialTable) {
    TempDir dir;
    write_file(dir / "rec.txt", columns(600000));
    for (const int signal : {SIGINT, SIGTERM}) {
        Started child(dir.path(), {.program = SMWAVE_TABLE_EXE, .arguments = {"rec.txt", "-o", "t.txt"}});
        // Wait for the temporary file of the table being written, then interrupt.
        bool writing = false;
        for (int i = 0; i < 20000 && !writing; ++i) {
            writing = entries(dir.path()) > 1;
            if (!writing) std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        child.signal(signal);
        const ToolResult ended = child.wait();
        ASSERT_TRUE(writing);
        EXPECT_EQ(ended.signal, signal) << "the conversion ended before the signal";
        EXPECT_EQ(entries(dir.path()), 1u);
    }
}

TEST(TableFaults, FoldersPipesAndVeryLongLinesAreRefusedClearly) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    write_file(dir / "long.txt", "t a b c\n0 1 2 3\n0.01 " + std::string(20 << 20, '7') + "x 2 3\n");
    const std::pair<std::string, std::string> cases[] = {
        {"folder", "smwave-table: folder: is a folder, not a record\n"},
        {"pipe", "smwave-table: pipe: is not a regular file (pipes and devices are not read)\n"},
        {"long.txt",
         "smwave-table: long.txt:3: '7777777777777777777777777777777777777777...' is not a number (column "
         "2)\n"},
    };
    for (const auto& [input, message] : cases) {
        const ToolResult run = run_table(dir.path(), {input, "-o", "t.txt"});
        EXPECT_EQ(run.status, 2) << input;
        EXPECT_EQ(run.err, message);
        EXPECT_FALSE(fs::exists(dir / "t.txt"));
    }
}

}  // namespace
}  // namespace smwave::testing

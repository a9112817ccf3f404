// The unit layer in process: connections, cuts, failure reports.
#include "textio/units.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include "support/run_harness.hpp"
#include "support/tool_run.hpp"

namespace smwave {
namespace {

using testing::RunHarness;
using testing::TempDir;

constexpr int file_unit = 20;

void write_line(int u, std::string_view text) {
    statement_start(Statement::free_write, u, false);
    hand_line(u, text.data(), text.size());
    statement_end(Statement::free_write);
}

// Runs `body`, which must end the run, and gives the report it wrote and the exit status (-1: abort).
std::pair<std::string, int> ended_run(const std::function<void()>& body) {
    const testing::EndedRun ended = testing::run_until_end(body);
    return {ended.report, ended.status};
}

TEST(Units, CloseCutsARewrittenFileAtItsLastByteWritten) {
    RunHarness harness;
    TempDir dir;
    testing::write_file(dir / "old.csv", std::string(1000, 'x') + "\n");
    open_unit(file_unit, (dir / "old.csv").string() + "   ");
    write_line(file_unit, "first");
    write_line(file_unit, "second");
    close_unit(file_unit);
    EXPECT_EQ(testing::read_file(dir / "old.csv"), "first\nsecond\n");
}

TEST(Units, ShorterOldFileIsOverwrittenAndExtended) {
    RunHarness harness;
    TempDir dir;
    testing::write_file(dir / "f", "ab");
    open_unit(file_unit, (dir / "f").string());
    write_line(file_unit, "longer line");
    close_unit(file_unit);
    EXPECT_EQ(testing::read_file(dir / "f"), "longer line\n");
}

TEST(Units, MissingFileIsCreatedAndReadsAsEmpty) {
    RunHarness harness;
    TempDir dir;
    open_unit(file_unit, (dir / "nosuch.txt").string());
    EXPECT_TRUE(std::filesystem::exists(dir / "nosuch.txt"));
    EXPECT_EQ(statement_start(Statement::free_read, file_unit, true), 0);
    EXPECT_EQ(unit(file_unit).stream.get(), -1);
    statement_end(Statement::free_read);
    close_unit(file_unit);
    EXPECT_EQ(std::filesystem::file_size(dir / "nosuch.txt"), 0u);
}

TEST(Units, FirstWriteConnectsTheUnitToItsImplicitFile) {
    RunHarness harness;
    TempDir dir;
    const auto before = std::filesystem::current_path();
    std::filesystem::current_path(dir.path());
    testing::write_file(dir / "fort.99", std::string(500, 'z'));
    write_line(99, "  0.01 -2.5");
    end_of_run_close();
    std::filesystem::current_path(before);
    EXPECT_EQ(testing::read_file(dir / "fort.99"), "  0.01 -2.5\n");
}

TEST(Units, EndOfFileFlagIsHandedBackToAReadWithAnEndBranch) {
    RunHarness harness;
    TempDir dir;
    testing::write_file(dir / "t", "");
    open_unit(file_unit, (dir / "t").string());
    unit(file_unit).at_eof = true;
    EXPECT_EQ(statement_start(Statement::free_read, file_unit, true), -1);
    const auto [report, status] = ended_run([] { statement_start(Statement::free_read, file_unit, false); });
    EXPECT_EQ(status, -1);
    EXPECT_EQ(report, "read start: end of file\napparent state: unit 20 named " + (dir / "t").string() +
                          "\nlast format: list io\nlately reading sequential formatted external IO\n");
}

TEST(Units, EmptyNameReportsNullFileNameWithoutLastFormat) {
    RunHarness harness;
    const auto [report, status] = ended_run([] { open_unit(11, std::string(90, ' ')); });
    EXPECT_EQ(status, -1);
    EXPECT_EQ(report,
              "open: null file name\napparent state: unit 11 named \nlately reading sequential formatted "
              "external IO\n");
}

TEST(Units, NameInAMissingFolderReportsTheSystemText) {
    RunHarness harness;
    TempDir dir;
    const std::string name = (dir / "no" / "such.csv").string();
    const auto [report, status] = ended_run([&] { open_unit(11, name); });
    EXPECT_EQ(report, "open: No such file or directory\napparent state: unit 11 named " + name +
                          "\nlately reading sequential formatted external IO\n");
}

TEST(Units, WriteRefusedByAFullDeviceIsReported) {
#ifndef __linux__
    GTEST_SKIP() << "needs /dev/full, a device that Linux has";
#endif
    RunHarness harness;
    open_unit(file_unit, "/dev/full");
    const auto [report, status] = ended_run([] {
        write_line(file_unit, "lost?");
        close_unit(file_unit);
    });
    EXPECT_EQ(status, -1);
    EXPECT_EQ(report.substr(0, report.find('\n')), "write: No space left on device");
    EXPECT_NE(report.find("apparent state: unit 20 named /dev/full\n"), std::string::npos);
}

TEST(Units, ReportFirstLineByCode) {
    struct Case {
        int code;
        const char* context;
        const char* line;
    };
    for (const Case c :
         {Case{-1, "list in", "list in: end of file"},
          Case{112, "invalid number", "invalid number: incomprehensible list input"},
          Case{115, "invalid integer", "invalid integer: read unexpected character"},
          Case{114, "x", "x: unit not connected"},
          Case{132, "x", "x: Temporary file name (TMPDIR?) too long"},
          Case{133, "x", "x: illegal error number 133"}, Case{-7, "x", "x: illegal error number -7"},
          Case{2, "open", "open: No such file or directory"}}) {
        RunHarness harness;
        write_line(unit_stdout, "");
        const auto [report, status] = ended_run([&] { fatal_io(c.code, c.context); });
        EXPECT_EQ(report.substr(0, report.find('\n')), c.line) << c.code;
        EXPECT_EQ(status, -1);
    }
}

TEST(Units, RefusalWritesItsMessageAndExitsWithStatusTwo) {
    RunHarness harness;
    const auto [report, status] = ended_run([] { refuse_run("smwave: no"); });
    EXPECT_EQ(report, "smwave: no\n");
    EXPECT_EQ(status, 2);
}

}  // namespace
}  // namespace smwave

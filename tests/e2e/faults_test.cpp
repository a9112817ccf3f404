// Faults at process level: signals at a prompt and during a long write, files that refuse writes.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <csignal>
#include <thread>

#include "e2e/transcript.hpp"
#include "support/tool_run.hpp"

namespace smwave::testing {
namespace {

namespace fs = std::filesystem;

double steady(int row, int column) { return column == 38 ? row % 7 : column == 17 ? -row % 5 : 0.5; }

// The tool running in the background with its console input on a pipe that the test holds open.
Launch held_console(std::string_view answers) {
    return {.program = SMWAVE_EXE, .input = std::string(answers), .hold_input = true, .name = "smwave"};
}

ToolResult end_with(Started& tool, int signal) {
    tool.signal(signal);
    return tool.wait();
}

bool whole_records(const std::string& text, int values) {
    if (text.empty() || text.back() != '\n') return false;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        const std::string line = text.substr(start, end - start);
        int items = 0;
        for (std::size_t i = 0; i < line.size(); ++i)
            items += line[i] != ' ' && (i == 0 || line[i - 1] == ' ');
        if (items != values) return false;
        start = end + 1;
    }
    return true;
}

// Interrupt and termination exit with status 1; the arithmetic-fault and abort reports abort. Every
// file is closed and cut either way.
TEST(Faults, SignalsAtAPromptReportAndCloseEveryFile) {
    struct Case {
        int signal;
        const char* report;
        int status;         // exit status, or -1 for an abort
        int ending_signal;  // the signal that ends the process, or 0
    };
    for (const Case c :
         {Case{SIGINT, "Interrupt\n", 1, 0}, Case{SIGTERM, "Killed\n", 1, 0},
          Case{SIGFPE, "Floating Exception\n", -1, SIGABRT}, Case{SIGABRT, "IOT Trap\n", -1, SIGABRT}}) {
        TempDir dir;
        write_file(dir / "t.txt", make_table(300, 0.01, steady));
        write_file(dir / "fort.99", std::string(200000, '#'));
        Started tool(dir.path(), held_console("t.txt\n"));
        ASSERT_TRUE(tool.wait_for_output(sign_question));
        const ToolResult r = end_with(tool, c.signal);
        EXPECT_EQ(r.err, c.report);
        EXPECT_EQ(r.status, c.status) << c.report;
        EXPECT_EQ(r.signal, c.ending_signal) << c.report;
        const std::string echo = read_file(dir / "fort.99");
        EXPECT_EQ(std::count(echo.begin(), echo.end(), '\n'), 300);
        EXPECT_TRUE(whole_records(echo, 4));
    }
}

TEST(Faults, TerminationDuringALongWriteLeavesWholeRecords) {
    TempDir dir;
    write_file(dir / "t.txt", make_table(131072, 0.01, steady));
    Started tool(dir.path(), held_console("t.txt\n"));
    // The first echo bytes show that the tool has started and handles the signal, however slowly the
    // machine runs; the echo of 131072 rows goes on long after.
    for (int i = 0; i < 6000 && !fs::exists(dir / "fort.99"); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    for (int i = 0; i < 6000 && fs::file_size(dir / "fort.99") == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const ToolResult r = end_with(tool, SIGTERM);
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "Killed\n");
    const std::string echo = read_file(dir / "fort.99");
    if (!echo.empty()) {
        EXPECT_TRUE(whole_records(echo, 4));
    }
}

TEST(Faults, ReadOnlySpectrumFileIsReportedAfterTheNotice) {
    if (const std::string why = unprivileged_run_unavailable(); !why.empty()) GTEST_SKIP() << why;
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    write_file(dir / "t.txt", make_table(64, 0.01, steady));
    write_file(dir / "amp3.csv", "old spectrum\n");
    fs::permissions(dir / "amp3.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ToolResult r = run_tool(dir.path(), "t.txt\n0\n0\n0\n", {.unprivileged = true});
    EXPECT_EQ(r.out.substr(r.out.size() - spectrum_notice.size()), spectrum_notice);
    EXPECT_EQ(r.err,
              "list output start: can't write file\napparent state: unit 10 named amp3.csv\n"
              "last format: list io\nlately writing sequential formatted external IO\n");
    EXPECT_EQ(r.signal, SIGABRT);
    EXPECT_EQ(read_file(dir / "amp3.csv"), "old spectrum\n");
}

TEST(Faults, FullDiskIsReportedNotAcceptedSilently) {
#ifndef __linux__
    GTEST_SKIP() << "needs /dev/full, a device that Linux has";
#endif
    TempDir dir;
    write_file(dir / "t.txt", make_table(64, 0.01, steady));
    const ToolResult waveform = run_tool(dir.path(), "t.txt\n0\n0\n0\n0\n0\n/dev/full\n\n");
    EXPECT_EQ(waveform.err.substr(0, waveform.err.find('\n')), "write: No space left on device");
    EXPECT_NE(waveform.err.find("apparent state: unit 11 named /dev/full\n"), std::string::npos);
    EXPECT_EQ(waveform.signal, SIGABRT);

    fs::remove(dir / "amp3.csv");
    fs::create_symlink("/dev/full", dir / "amp3.csv");
    const ToolResult spectrum = run_tool(dir.path(), "t.txt\n0\n0\n0\n0\n0\nout.csv\n\n");
    EXPECT_EQ(spectrum.err.substr(0, spectrum.err.find('\n')), "write: No space left on device");
    EXPECT_NE(spectrum.err.find("apparent state: unit 10 named amp3.csv\n"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir / "out.csv"));
}

TEST(Faults, OutputInAMissingFolderIsReported) {
    TempDir dir;
    write_file(dir / "t.txt", make_table(64, 0.01, steady));
    const ToolResult r = run_tool(dir.path(), "t.txt\n0\n0\n0\n0\n0\nno/such/out.csv\n\n");
    EXPECT_EQ(r.err,
              "open: No such file or directory\napparent state: unit 11 named no/such/out.csv\n"
              "lately reading sequential formatted external IO\n");
    EXPECT_EQ(r.signal, SIGABRT);
}

// The same table with CR LF line ends, a header in another encoding, a zero byte that ends a header
// text, and a skipped line of several megabytes reads exactly as the plain table.
TEST(Faults, UnusualBytesInATableReadLikeThePlainTable) {
    TempDir dir;
    const std::string plain = make_table(64, 0.01, steady);
    const std::string rows = plain.substr(plain.find('\n', plain.find('\n') + 1) + 1);
    std::string crlf;
    for (const char c : rows) {
        if (c == '\n') crlf += '\r';
        crlf += c;
    }
    std::string odd_header = "\xd0\xa1\xd1\x82\xd0\xbd E";
    odd_header += '\0';
    odd_header += "W NS UD\r\n" + std::string(5 << 20, 'x') + "\r\n";
    write_file(dir / "plain.txt", plain);
    write_file(dir / "odd.txt", odd_header + crlf);
    const ToolResult a = run_tool(dir.path(), "plain.txt\n0\n0\n0\n0\n0\na.csv\n\n");
    const std::string echo_a = read_file(dir / "fort.99");
    const ToolResult b = run_tool(dir.path(), "odd.txt\n0\n0\n0\n0\n0\nb.csv\n\n");
    EXPECT_EQ(b.status, 0) << b.err;
    EXPECT_EQ(a.out, b.out);
    EXPECT_EQ(read_file(dir / "fort.99"), echo_a);
    EXPECT_EQ(read_file(dir / "a.csv"), read_file(dir / "b.csv"));
}

TEST(Faults, ZeroByteInARowIsABadNumber) {
    TempDir dir;
    std::string table = make_table(3, 0.01, steady);
    table[table.rfind(" 0.5")] = '\0';
    write_file(dir / "t.txt", table);
    const ToolResult r = run_tool(dir.path(), "t.txt\n");
    EXPECT_EQ(r.err.substr(0, r.err.find('\n')), "invalid number: incomprehensible list input");
    EXPECT_EQ(r.signal, SIGABRT);
    const std::string echo = read_file(dir / "fort.99");
    EXPECT_EQ(std::count(echo.begin(), echo.end(), '\n'), 2);
}

TEST(Faults, TableThatIsAFolderIsReported) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    const ToolResult r = run_tool(dir.path(), "folder\n");
    EXPECT_EQ(r.err,
              "list in: Is a directory\napparent state: unit 11 named folder\n"
              "last format: list io\nlately reading sequential formatted external IO\n");
    EXPECT_EQ(r.signal, SIGABRT);
}

TEST(Faults, ReadOnlyWaveformFileIsReportedAndKept) {
    if (const std::string why = unprivileged_run_unavailable(); !why.empty()) GTEST_SKIP() << why;
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    write_file(dir / "t.txt", make_table(64, 0.01, steady));
    write_file(dir / "out.csv", "keep me\n");
    fs::permissions(dir / "out.csv", fs::perms::owner_read | fs::perms::group_read | fs::perms::others_read);
    const ToolResult r = run_tool(dir.path(), "t.txt\n0\n0\n0\n0\n0\nout.csv\n\n", {.unprivileged = true});
    EXPECT_EQ(r.err,
              "list output start: can't write file\napparent state: unit 11 named out.csv\n"
              "last format: list io\nlately writing sequential formatted external IO\n");
    EXPECT_EQ(read_file(dir / "out.csv"), "keep me\n");
}

TEST(Faults, EchoFileThatCannotBeCreatedIsReportedAtTheFirstRow) {
    if (const std::string why = unprivileged_run_unavailable(); !why.empty()) GTEST_SKIP() << why;
    TempDir dir;
    write_file(dir / "t.txt", make_table(8, 0.01, steady));
    fs::permissions(dir.path(), fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec |
                                    fs::perms::others_read | fs::perms::others_exec);
    const ToolResult r = run_tool(dir.path(), "t.txt\n", {.unprivileged = true});
    EXPECT_EQ(r.err,
              "lio: formatted io not allowed\napparent state: unit 99 named fort.99\n"
              "last format: list io\nlately reading sequential formatted external IO\n");
    EXPECT_EQ(r.signal, SIGABRT);
}

}  // namespace
}  // namespace smwave::testing

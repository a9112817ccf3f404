// smwave-plot at the edges: full disks, read-only folders, inputs that must not be overwritten,
// interruption while gnuplot draws, and inputs that are no files.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <set>
#include <thread>

#include "plot_test_files.hpp"
#include "support/command_run.hpp"

namespace smwave::plot {
namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::run_command;
using smwave::testing::TempDir;
using smwave::testing::ToolResult;
using smwave::testing::write_file;

std::set<std::string> entries(const fs::path& folder) {
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder)) names.insert(entry.path().filename().string());
    return names;
}

TEST(PlotFaults, FiguresThatCannotBeWrittenAreReportedAndLeaveNothing) {
    TempDir dir;
    write_file(dir / "a.csv", testing::waveform_text());
    fs::create_symlink("/dev/full", dir / "full.png");
    const ToolResult full = run_command(dir.path(), SMWAVE_PLOT_EXE, {"a.csv", "-o", "full.png"});
    EXPECT_EQ(full.status, 2);
    EXPECT_EQ(full.err, "smwave-plot: full.png: cannot write: No space left on device\n");
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"a.csv", "full.png"}));

    // A folder this user may not write in (tests run as root drop to nobody, for whom permissions hold).
    fs::create_directory(dir / "locked");
    fs::permissions(dir.path(), fs::perms::all);
    fs::permissions(dir / "locked", fs::perms::owner_read | fs::perms::owner_exec | fs::perms::group_read |
                                        fs::perms::group_exec | fs::perms::others_read |
                                        fs::perms::others_exec);
    const ToolResult locked = run_command(dir.path(), SMWAVE_PLOT_EXE, {"a.csv", "-o", "locked/a.png"}, {}, true);
    EXPECT_EQ(locked.status, 2);
    EXPECT_EQ(locked.err, "smwave-plot: locked/a.gp: cannot create the file: Permission denied\n");
    EXPECT_TRUE(fs::is_empty(dir / "locked"));
}

TEST(PlotFaults, AnInputIsNeverOverwrittenByAFigureOrScript) {
    for (const char* input : {"w.png", "w.gp"}) {
        TempDir dir;
        write_file(dir / input, testing::waveform_text());
        const ToolResult r = run_command(dir.path(), SMWAVE_PLOT_EXE, {input});
        EXPECT_EQ(r.status, 2);
        EXPECT_NE(r.err.find("would overwrite the input " + std::string(input)), std::string::npos) << r.err;
        EXPECT_EQ(read_file(dir / input), testing::waveform_text());
        EXPECT_EQ(entries(dir.path()), std::set<std::string>{input});
    }
}

TEST(PlotFaults, FoldersAndEndlessPipesAreRefusedNotWaitedFor) {
    TempDir dir;
    fs::create_directory(dir / "folder");
    ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0644), 0);
    const struct {
        const char* input;
        const char* message;
    } cases[] = {{"folder", "smwave-plot: folder: is a folder, not a file\n"},
                 {"pipe", "smwave-plot: pipe: is not a regular file\n"}};
    for (const auto& c : cases) {
        const ToolResult r = run_command(dir.path(), SMWAVE_PLOT_EXE, {c.input});
        EXPECT_EQ(r.status, 2);
        EXPECT_EQ(r.err, c.message);
    }
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"folder", "pipe"}));
}

TEST(PlotFaults, AFailingGnuplotIsReportedAndItsPartialFigureRemoved) {
    TempDir dir;
    write_file(dir / "a.csv", testing::waveform_text());
    fs::create_directory(dir / "bin");
    write_file(dir / "bin/gnuplot",
               "#!/bin/sh\ncat >/dev/null\nprintf 'partial'\necho '\"/dev/stdin\" line 3: out of luck' "
               ">&2\nexit 1\n");
    fs::permissions(dir / "bin/gnuplot", fs::perms::owner_all);
    const ToolResult r =
        run_command(dir.path(), "/usr/bin/env",
                    {"PATH=" + (dir / "bin").string() + ":/usr/bin:/bin", SMWAVE_PLOT_EXE, "a.csv"});
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.err, "smwave-plot: a.gp: gnuplot failed:\na.gp line 3: out of luck\n");
    EXPECT_EQ(entries(dir.path()), (std::set<std::string>{"a.csv", "bin"}));
}

TEST(PlotFaults, InterruptionWhileGnuplotDrawsLeavesNoPartialFigure) {
    TempDir dir;
    write_file(dir / "big.csv", testing::waveform_text(131072));
    for (const int signal : {SIGINT, SIGTERM}) {
        smwave::testing::Started tool(dir.path(), {.program = SMWAVE_PLOT_EXE, .arguments = {"big.csv"}});
        // The figure's temporary file appears when the drawing starts.
        bool drawing = false;
        for (int i = 0; i < 3000 && !drawing; ++i) {
            for (const auto& name : entries(dir.path())) drawing |= name.rfind(".big.png.", 0) == 0;
            if (!drawing) std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
        EXPECT_TRUE(drawing);
        tool.signal(signal);
        const ToolResult ended = tool.wait();
        EXPECT_EQ(ended.signal, signal) << ended.status;
        EXPECT_EQ(entries(dir.path()), std::set<std::string>{"big.csv"});
    }
}

}  // namespace
}  // namespace smwave::plot

// The command line: --help and --version alone are answered; every other command line is ignored.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/tool_run.hpp"

namespace smwave::testing {
namespace {

namespace fs = std::filesystem;

TEST(CommandLine, HelpAndVersionAloneAreAnsweredWithoutARun) {
    struct Case {
        const char* argument;
        std::vector<std::string> wanted;  // pieces of standard output, the first one at its start
    };
    for (const Case& c : {Case{"--help",
                               {"Usage: smwave < ANSWERS\n", "standard input", "fort.99", "amp3.csv",
                                "Exit status: 0", "man -l man/smwave.1", "README.md"}},
                          Case{"--version", {std::string("smwave ") + SMWAVE_VERSION + "\n"}}}) {
        SCOPED_TRACE(c.argument);
        TempDir dir;
        const ToolResult r = run_tool(dir.path(), "t.txt\n", {}, {c.argument});
        EXPECT_EQ(r.status, 0);
        EXPECT_EQ(r.err, "");
        EXPECT_EQ(r.out.rfind(c.wanted.front(), 0), 0u) << r.out;
        for (const std::string& piece : c.wanted) EXPECT_NE(r.out.find(piece), std::string::npos) << piece;
        EXPECT_TRUE(fs::is_empty(dir.path()));
    }
}

// Other arguments, or the two among others, leave the run exactly as without any.
TEST(CommandLine, OtherArgumentsAreIgnored) {
    const std::string table =
        make_table(64, 0.01, [](int row, int column) { return (row * column) % 9 - 4.0; });
    const std::string answers = "t.txt\n0\n0\n1\n0\n0\nout.csv\n\n";
    auto run_with = [&](std::vector<std::string> arguments) {
        TempDir dir;
        write_file(dir / "t.txt", table);
        const ToolResult r = run_tool(dir.path(), answers, {}, std::move(arguments));
        return std::vector<std::string>{r.out,
                                        r.err,
                                        std::to_string(r.status),
                                        read_file(dir / "fort.99"),
                                        read_file(dir / "amp3.csv"),
                                        read_file(dir / "out.csv")};
    };
    const auto plain = run_with({});
    ASSERT_EQ(plain[2], "0") << plain[1];
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"-h"}, {"--HELP"}, {"--help", "--version"}, {"--version", "x"}, {"-v"}, {""}, {"t.txt"}}) {
        SCOPED_TRACE(arguments.front() + " (" + std::to_string(arguments.size()) + " arguments)");
        EXPECT_EQ(run_with(arguments), plain);
    }
}

}  // namespace
}  // namespace smwave::testing

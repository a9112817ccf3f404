// The dialogue followed through an answers file: the waveform file's name, the quantity, the refusals.
#include "batch/answers.hpp"

#include <gtest/gtest.h>

namespace smwave::batch {
namespace {

struct Walk {
    const char* what;
    std::string answers;
    std::string waveform;  // "" when the answers are refused
    bool changes_quantity;
    std::string problem;  // describe() of the refusal
};

TEST(Answers, TheDialogueIsFollowedToTheWaveformFileName) {
    const std::string long_name(95, 'w');
    const Walk walks[] = {
        {"every answer no", "t\n0\n0\n0\n0\n0\nout.csv\n\n", "out.csv", false, ""},
        {"signs asked", "t\n1\n1\n0\n1\n0\n2\n0\n0\nv.csv\n", "v.csv", true, ""},
        {"corners over two lines", "t\n0\n1\n0.1 0.2\n20,25\n1\n0\n0\nvel.csv\n", "vel.csv", true, ""},
        {"corners repeated", "t\n0\n1\n4*1\n3\n0\n0\nd.csv\n", "d.csv", true, ""},
        {"a window", "t\n0\n0\n0\n1\n10\n20\n0\ncut.csv\n", "cut.csv", false, ""},
        {"empty lines skipped", "t\n\n0\n\n0\n  \n0\n0\n0\nout.csv\n", "out.csv", false, ""},
        {"the rest of a line dropped", "t\n0 1\n0\n7\n0\n0\nx.csv\n", "x.csv", false, ""},
        {"trailing letters end a number", "t\n1xyz\n0\n0\n0\n0\n2abc\n0\n0\nl.csv\n", "l.csv", true, ""},
        {"beyond 32 bits", "t\n0\n0\n99999999999\n0\n0\nbig.csv\n", "big.csv", false, ""},
        {"a repeat count and null items", "t\n3*\n1\n,,0.2 20 25\n2*1\n0\n0\nr.csv\n", "r.csv", true, ""},
        {"a name line without its end", "t\n0\n0\n0\n0\n0\nx.csv", "", false,
         "a.txt:7: the line of the waveform file's name has no line end, without which smwave stops there"},
        {"a number with a bad exponent", "t\n0\n1\n0.1 0.2 1e 25\n", "", false,
         "a.txt:4: the four corner frequencies must be numbers, not '1e'"},
        {"null answers", "t\n,\n/\n0\n0\n0\nn.csv\n", "n.csv", false, ""},
        {"crlf and trailing blanks", "t\r\n0\r\n0\r\n0\r\n0\r\n0\r\nname.csv   \r\n", "name.csv", false, ""},
        {"90 characters kept", "t\n0\n0\n0\n0\n0\n" + long_name + "\n", long_name.substr(0, 90), false, ""},
        {"empty", "", "", false, "a.txt:1: the answers file is empty"},
        {"one line without its end", "t", "", false, "a.txt:1: the answers end before the sign answer"},
        {"cut short", "t\n0\n0\n", "", false, "a.txt:4: the answers end before the integration answer"},
        {"no name", "t\n0\n0\n0\n0\n0\n", "", false,
         "a.txt:7: the answers end before the waveform file's name"},
        {"a letter", "t\n0\ny\n", "", false, "a.txt:3: the band-pass answer must be an integer, not 'y'"},
        {"a decimal", "t\n\n\n1.0\n", "", false, "a.txt:4: the sign answer must be an integer, not '1.0'"},
        {"a path", "t\n0\n0\n0\n0\n0\n/tmp/out.csv\n", "", false,
         "a.txt:7: the waveform file's name '/tmp/out.csv' is a path: every record writes it into its own "
         "folder, so it must be a plain name"},
        {"a taken name", "t\n0\n0\n0\n0\n0\namp3.csv\n", "", false,
         "a.txt:7: the waveform file's name 'amp3.csv' is taken by another file of the record's folder"},
        {"an empty name", "t\n0\n0\n0\n0\n0\n   \n", "", false, "a.txt:7: the waveform file's name is empty"},
    };
    for (const Walk& walk : walks) {
        SCOPED_TRACE(walk.what);
        const auto answers = parse_answers(walk.answers, "a.txt");
        if (!walk.problem.empty()) {
            ASSERT_FALSE(answers);
            EXPECT_EQ(companion::describe(answers.problem()), walk.problem);
            continue;
        }
        ASSERT_TRUE(answers) << companion::describe(answers.problem());
        EXPECT_EQ(answers->waveform_name, walk.waveform);
        EXPECT_EQ(answers->changes_quantity, walk.changes_quantity);
    }
}

TEST(Answers, OnlyTheFirstLineIsReplaced) {
    const auto answers = parse_answers("/a/very/long/path/table.txt\n0\n0\n0\n0\n0\nout.csv\n\n", "a.txt");
    ASSERT_TRUE(answers);
    EXPECT_EQ(answers_for_table(*answers, "table"), "table\n0\n0\n0\n0\n0\nout.csv\n\n");
}

}  // namespace
}  // namespace smwave::batch

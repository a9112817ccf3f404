// smwave-batch end to end: the real smwave (or a stand-in for the ways it cannot be made to end) run on
// tables in temporary folders, checked through the summary, the record folders and the exit status.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <csignal>

#include "batch_run.hpp"

namespace smwave::batch::testing {
namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::write_file;

std::string last_line(const std::string& text) {
    const std::size_t end = text.find_last_not_of('\n');
    return text.substr(text.rfind('\n', end) + 1, end - text.rfind('\n', end));
}

std::vector<std::string> column(const std::vector<Row>& rows, std::size_t at) {
    std::vector<std::string> values;
    for (const Row& row : rows) values.push_back(row[at]);
    return values;
}

TEST(Batch, EveryWayARecordEndsHasItsRowInInputOrder) {
    TempDir dir;
    write_file(dir / "answers.txt", plain_answers);
    write_file(dir / "quake.txt", impulse_table());
    write_file(dir / "flat.txt", flat_table());
    write_file(dir / "bad.txt", bad_number_table());
    write_file(dir / "sleep.txt", table_saying("sleep"));
    write_file(dir / "segv.txt", table_saying("segv"));
    write_file(dir / "big.txt", table_saying("big"));
    write_file(dir / "quiet.txt", table_saying("quiet"));
    const std::string smwave = stand_in_smwave(dir.path()).string();
    const ToolResult r =
        run_batch(dir.path(), {"--answers", "answers.txt", "--out", "out", "--jobs", "2", "--smwave", smwave,
                               "quake.txt", "flat.txt", "bad.txt", "segv.txt", "big.txt", "quiet.txt"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_EQ(last_line(r.err),
              "smwave-batch: 6 records: 1 ok, 2 refused, 2 failed, 1 killed, 0 interrupted");
    const auto rows = summary_rows(dir / "out/summary.csv");
    ASSERT_EQ(rows.size(), 6u);
    EXPECT_EQ(column(rows, name_column),
              (std::vector<std::string>{"quake", "flat", "bad", "segv", "big", "quiet"}));
    EXPECT_EQ(column(rows, status_column),
              (std::vector<std::string>{"ok", "refused", "failed", "killed", "refused", "failed"}));
    EXPECT_EQ(column(rows, exit_status_column),
              (std::vector<std::string>{"0", "2", "SIGABRT", "SIGSEGV", "0", "0"}));
    EXPECT_EQ(rows[0][message_column], "");
    EXPECT_TRUE(rows[1][message_column].starts_with("smwave: the sampling interval"))
        << rows[1][message_column];
    EXPECT_EQ(rows[2][message_column], "invalid number: incomprehensible list input");
    EXPECT_EQ(rows[4][message_column], "more than 131072 rows: smwave stops without a waveform file");
    EXPECT_EQ(rows[5][message_column], "out/quiet/wave.csv: cannot open: No such file or directory");
    // The ok record: the console's counts and the waveform file's peaks (component 1 holds the impulse).
    const Row expected{"quake",
                       "quake.txt",
                       "ok",
                       "0",
                       "",
                       "200",
                       "0.01",
                       "256",
                       "5",
                       "0.5",
                       "0",
                       "0",
                       "0",
                       "0",
                       "out/quake/wave.csv",
                       "out/quake/amp3.csv"};
    EXPECT_EQ(rows[0], expected);
    EXPECT_EQ(read_file(dir / "out/quake/answers.txt"), "table\n0\n0\n0\n0\n0\nwave.csv\n\n");
    EXPECT_EQ(fs::read_symlink(dir / "out/quake/table"), dir / "quake.txt");
    for (const char* kept :
         {"console.txt", "errors.txt", "fort.99", "amp3.csv", "wave.csv", "finished.csv"}) {
        EXPECT_TRUE(fs::exists(dir / "out/quake" / kept)) << kept;
    }
    EXPECT_TRUE(fs::exists(dir / "out/flat/finished.csv"));
    for (const char* again : {"bad", "segv"}) EXPECT_FALSE(fs::exists(dir / "out" / again / "finished.csv"));
    // A record still running at the timeout.
    const ToolResult slow = run_batch(dir.path(), {"--answers", "answers.txt", "--out", "slow", "--timeout",
                                                   "0.5", "--smwave", smwave, "sleep.txt"});
    EXPECT_EQ(slow.status, 1) << slow.err;
    const Row killed = summary_rows(dir / "slow/summary.csv").front();
    EXPECT_EQ(killed[status_column], "killed");
    EXPECT_EQ(killed[exit_status_column], "SIGKILL");
    EXPECT_EQ(killed[message_column], "still running after the timeout of 0.5 s");
}

TEST(Batch, FarPathsBlanksAndRepeatedNamesEachGetAFolder) {
    TempDir dir;
    fs::path far = dir / "tables";
    while (far.string().size() < 300) far /= "a-folder-with-a-rather-long-name";
    fs::create_directories(far);
    write_file(far / "my quake.txt", impulse_table());
    write_file(dir / "my quake.txt", impulse_table());
    write_file(dir / "answers.txt", plain_answers);
    const ToolResult r = run_batch(dir.path(), {"--answers", "answers.txt", far.string(), "my quake.txt",
                                                (far / "my quake.txt").string()});
    ASSERT_EQ(r.status, 0) << r.err;
    const auto rows = summary_rows(dir / "smwave-batch/summary.csv");
    EXPECT_EQ(column(rows, name_column), (std::vector<std::string>{"my quake", "my quake-2", "my quake-3"}));
    EXPECT_EQ(column(rows, status_column), (std::vector<std::string>{"ok", "ok", "ok"}));
    EXPECT_EQ(rows[1][waveform_column], "smwave-batch/my quake-2/wave.csv");
    EXPECT_NE(read_file(dir / "smwave-batch/summary.csv").find("\"my quake-2\",\"my quake.txt\",ok,0,,200,"),
              std::string::npos);
}

TEST(Batch, UsageErrorsAreRefusedWithStatusTwoAndNoSummary) {
    TempDir dir;
    write_file(dir / "answers.txt", plain_answers);
    write_file(dir / "short.txt", "input\n0\n");
    write_file(dir / "t.txt", impulse_table());
    write_file(dir / "a-file", "");
    ASSERT_EQ(::mkfifo((dir / "fifo").c_str(), 0600), 0);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{"t.txt"}, "smwave-batch: --answers FILE is needed"},
        {{"--answers", "short.txt", "t.txt"},
         "smwave-batch: short.txt:3: the answers end before the band-pass answer"},
        {{"--answers", "missing.txt", "t.txt"},
         "smwave-batch: missing.txt: cannot open: No such file or directory"},
        {{"--answers", "fifo", "t.txt"}, "smwave-batch: fifo: is not a regular file"},
        {{"--answers", ".", "t.txt"}, "smwave-batch: .: is a folder, not a file"},
        {{"--answers", "answers.txt"}, "smwave-batch: no tables given"},
        {{"--answers", "answers.txt", "none.txt"}, "smwave-batch: none.txt: no such table or folder"},
        {{"--answers", "answers.txt", "fifo"},
         "smwave-batch: fifo: is not a regular file: smwave reads each table"},
        {{"--answers", "answers.txt", "--out", "a-file/out", "t.txt"},
         "smwave-batch: a-file/out: cannot make the batch folder"},
        {{"--answers", "answers.txt", "--jobs", "0", "t.txt"}, "smwave-batch: --jobs: Value 0 not in range"},
        {{"--answers", "answers.txt", "--shard", "2/2", "t.txt"},
         "smwave-batch: --shard wants K/N with 0 <= K < N"},
        {{"--answers", "answers.txt", "--smwave", "a-file", "t.txt"},
         "smwave-batch: a-file: is no executable program"},
        {{"--answers", "answers.txt", "--out", ".", "summary.csv"},
         "summary.csv: the output would overwrite the input summary.csv"},
        {{"--merge", "."}, "smwave-batch: .: no shard summaries"},
    };
    write_file(dir / "summary.csv", impulse_table());
    for (const auto& [arguments, message] : cases) {
        const ToolResult r = run_batch(dir.path(), arguments);
        EXPECT_EQ(r.status, 2) << message;
        EXPECT_NE(r.err.find(message), std::string::npos) << r.err;
        EXPECT_FALSE(fs::exists(dir / "smwave-batch")) << message;
    }
    EXPECT_EQ(read_file(dir / "summary.csv"), impulse_table());
}

// Interrupted by `signal_number` while the first of three records runs; then resumed.
void interrupt_and_resume(int signal_number) {
    TempDir dir;
    write_file(dir / "answers.txt", plain_answers);
    for (const char* table : {"a.txt", "b.txt", "c.txt"}) write_file(dir / table, impulse_table());
    const std::string smwave = stand_in_smwave(dir.path()).string();
    const std::vector<std::string> arguments{"--answers", "answers.txt", "--jobs", "1",    "--smwave",
                                             smwave,      "a.txt",       "b.txt",  "c.txt"};
    write_file(dir / "slow", "");
    BatchRun interrupted(dir.path(), arguments);
    ASSERT_TRUE(wait_for_file(dir / "smwave-batch/a/console.txt"));
    interrupted.signal(signal_number);
    const ToolResult stopped = interrupted.wait();
    EXPECT_EQ(stopped.status, 130) << stopped.err;
    EXPECT_EQ(last_line(stopped.err),
              "smwave-batch: 3 records: 0 ok, 0 refused, 0 failed, 0 killed, 3 interrupted");
    const auto rows = summary_rows(dir / "smwave-batch/summary.csv");
    EXPECT_EQ(column(rows, status_column), (std::vector<std::string>(3, "interrupted")));
    EXPECT_EQ(column(rows, exit_status_column), (std::vector<std::string>{"SIGTERM", "", ""}));
    EXPECT_FALSE(fs::exists(dir / "smwave-batch/b"));

    fs::remove(dir / "slow");
    std::vector<std::string> resumed = arguments;
    resumed.push_back("--resume");
    const ToolResult finished = run_batch(dir.path(), resumed);
    EXPECT_EQ(finished.status, 0) << finished.err;
    EXPECT_EQ(column(summary_rows(dir / "smwave-batch/summary.csv"), status_column),
              (std::vector<std::string>(3, "ok")));

    write_file(dir / "slow", "");  // a record that ran again would now take 30 s
    const ToolResult kept = run_batch(dir.path(), resumed);
    EXPECT_EQ(kept.status, 0) << kept.err;
    EXPECT_NE(kept.err.find("3/3 c: ok (kept from an earlier run)"), std::string::npos) << kept.err;
}

TEST(Batch, InterruptionMarksUnfinishedRecordsAndResumeRunsOnlyThose) {
    interrupt_and_resume(SIGINT);
    interrupt_and_resume(SIGTERM);
}

TEST(Batch, ShardsMergeIntoTheWholeBatchsSummary) {
    TempDir dir;
    write_file(dir / "answers.txt", plain_answers);
    fs::create_directories(dir / "quake");
    for (const char* table : {"e.txt", "d.txt", "c.txt", "b.txt", "a.txt"})
        write_file(dir / "quake" / table, impulse_table());
    write_file(dir / "quake/c.txt", flat_table());
    ASSERT_EQ(run_batch(dir.path(), {"--answers", "answers.txt", "quake"}).status, 1);
    const std::string whole = read_file(dir / "smwave-batch/summary.csv");
    fs::remove(dir / "smwave-batch/summary.csv");
    for (const char* shard : {"0/3", "1/3", "2/3"}) {
        EXPECT_EQ(run_batch(dir.path(), {"--answers", "answers.txt", "--shard", shard, "quake"}).status,
                  std::string(shard) == "2/3" ? 1 : 0);
    }
    EXPECT_EQ(column(summary_rows(dir / "smwave-batch/summary-1-of-3.csv"), name_column),
              (std::vector<std::string>{"b", "e"}));
    const ToolResult merged = run_batch(dir.path(), {"--merge", "smwave-batch"});
    EXPECT_EQ(merged.status, 1) << merged.err;
    EXPECT_EQ(read_file(dir / "smwave-batch/summary.csv"), whole);

    fs::remove(dir / "smwave-batch/summary-1-of-3.csv");
    const ToolResult missing = run_batch(dir.path(), {"--merge", "smwave-batch"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_EQ(missing.err, "smwave-batch: smwave-batch: missing shard summaries: summary-1-of-3.csv\n");
}

TEST(Batch, FaultsAtTheEdgesAreReported) {
    TempDir dir;
    fs::permissions(dir.path(), fs::perms::all);
    write_file(dir / "t.txt", impulse_table());
    // A very long first answer line is replaced whole.
    write_file(dir / "answers.txt", std::string(1 << 20, 'x') + "\n0\n0\n0\n0\n0\nwave.csv\n\n");
    EXPECT_EQ(run_batch(dir.path(), {"--answers", "answers.txt", "t.txt"}).status, 0);
    // A summary that cannot be written.
    fs::create_symlink("/dev/full", dir / "full-summary");
    fs::create_directories(dir / "full");
    fs::create_symlink("/dev/full", dir / "full/summary.csv");
    const ToolResult full = run_batch(dir.path(), {"--answers", "answers.txt", "--out", "full", "t.txt"});
    EXPECT_EQ(full.status, 2);
    EXPECT_NE(full.err.find("full/summary.csv: cannot write: No space left on device"), std::string::npos)
        << full.err;
    // A batch folder that cannot be written, for a user without the right to.
    fs::create_directories(dir / "read-only");
    fs::permissions(dir / "read-only", fs::perms::owner_read | fs::perms::owner_exec |
                                           fs::perms::others_read | fs::perms::others_exec |
                                           fs::perms::group_read | fs::perms::group_exec);
    if (::getuid() != 0 && ::access((dir / "read-only").c_str(), W_OK) == 0)
        GTEST_SKIP() << "folder stays writable";
    BatchRun read_only(dir.path(), {"--answers", "answers.txt", "--out", "read-only", "t.txt"}, true);
    const ToolResult refused = read_only.wait();
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("read-only: cannot write in the batch folder: Permission denied"),
              std::string::npos)
        << refused.err;
}

}  // namespace
}  // namespace smwave::batch::testing

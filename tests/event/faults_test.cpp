// smwave-event under faults, end to end: outputs that cannot be written, inputs that cannot be read
// or vanish, programs that hang, abort or are interrupted, two runs on one folder, odd file names,
// link loops and records too long to transform. After each the event folder is consistent: its
// flatfile is a whole CSV of one row per record, each ok or failed with its reason.
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <map>
#include <sstream>

#include "event/scan.hpp"
#include "support/command_run.hpp"
#include "support/launch.hpp"

namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::run_command;
using smwave::testing::TempDir;
using smwave::testing::ToolResult;
using smwave::testing::write_file;

// A K-NET file of `samples` at 100 Hz with the event's origin and the record's true peak in its
// header; `direction` E-W, N-S or U-D.
std::string knet_file(const std::string& station, const std::string& direction, int samples = 1000) {
    std::vector<long> counts;
    double mean = 0, peak = 0;
    for (int i = 0; i < samples; ++i) {
        const double t = i / 100.0;
        mean += static_cast<double>(counts.emplace_back(std::lround(5000 + 3000 * std::sin(7 * t) * std::exp(-(t - 4) * (t - 4) / 4))));
    }
    mean /= samples;
    for (const long count : counts) peak = std::max(peak, std::abs((static_cast<double>(count) - mean) * 7845 / 8223790));
    std::ostringstream text;
    text << "Origin Time       2024/03/05 12:34:00\nLat.              36.10\nLong.             140.20\n"
         << "Depth. (km)       40\nMag.              5.8\nStation Code      " << station
         << "\nStation Lat.      36.3\nStation Long.     140.5\nStation Height(m) 25\n"
         << "Record Time       2024/03/05 12:34:20\nSampling Freq(Hz) 100Hz\nDuration Time(s)  " << samples / 100
         << "\nDir.              " << direction << "\nScale Factor      7845(gal)/8223790\nMax. Acc. (gal)   "
         << std::fixed << std::setprecision(3) << peak << "\nLast Correction   2024/03/05 12:34:21\nMemo.\n";
    for (std::size_t i = 0; i < counts.size(); ++i) text << counts[i] << (i % 8 == 7 || i + 1 == counts.size() ? "\n" : " ");
    return text.str();
}

// A station's three files in `folder`, named `prefix` and the direction.
void write_station(const fs::path& folder, const std::string& station, const std::string& prefix, int samples = 1000) {
    fs::create_directories(folder);
    for (const auto& [extension, direction] : {std::pair{"EW", "E-W"}, {"NS", "N-S"}, {"UD", "U-D"}})
        write_file(folder / (prefix + "." + extension), knet_file(station, direction, samples));
}

// A CSV file's rows, read strictly: a quote opens a field and closes it before a comma or line end;
// fails the test for anything else (a stray quote, a file ending within quotes).
std::vector<std::vector<std::string>> csv_of(const std::string& text) {
    std::vector<std::vector<std::string>> rows;
    std::vector<std::string> row{""};
    bool quoted = false, was_quoted = false;
    for (std::size_t at = 0; at < text.size(); ++at) {
        const char c = text[at];
        if (quoted) {
            if (c != '"') row.back() += c;
            else if (at + 1 < text.size() && text[at + 1] == '"') row.back() += text[++at];
            else quoted = false;
        } else if (c == '"') {
            EXPECT_TRUE(row.back().empty() && !was_quoted) << "a stray quote at byte " << at;
            quoted = was_quoted = true;
        } else if (c == ',' || c == '\n') {
            if (c == ',') row.emplace_back();
            else rows.push_back(std::exchange(row, {""}));
            was_quoted = false;
        } else {
            EXPECT_FALSE(was_quoted) << "text after a closing quote at byte " << at;
            row.back() += c;
        }
    }
    EXPECT_FALSE(quoted) << "the file ends within quotes";
    EXPECT_EQ(row, std::vector<std::string>{""}) << "the last line has no line end";
    return rows;
}

using Rows = std::vector<std::map<std::string, std::string>>;

// The flatfile checked whole: every row as many fields as the header, an ok row with its numbers, a
// row not ok with its reason and without them.
Rows flatfile_rows(const fs::path& file) {
    const auto table = csv_of(read_file(file));
    Rows rows;
    for (std::size_t r = 1; r < table.size(); ++r) {
        EXPECT_EQ(table[r].size(), table[0].size()) << file << " row " << r;
        auto& row = rows.emplace_back();
        for (std::size_t at = 0; at < table[0].size() && at < table[r].size(); ++at) row[table[0][at]] = table[r][at];
        const bool ok = row["status"] == "ok";
        EXPECT_TRUE(ok || row["status"] == "failed" || row["status"] == "refused") << row["status"];
        EXPECT_EQ(row["reason"].empty(), ok) << row["record"];
        EXPECT_EQ(row["pga_h1"].empty(), !ok) << row["record"];
    }
    return rows;
}

std::map<std::string, std::string> reasons_of(const Rows& rows) {
    std::map<std::string, std::string> reasons;
    for (const auto& row : rows) reasons[row.at("record")] = row.at("reason");
    return reasons;
}

ToolResult run_event(const fs::path& dir, const std::vector<std::string>& arguments) {
    return run_command(dir, SMWAVE_EVENT_EXE, arguments);
}

// smwave-event and its programs copied into `dir`/bin, with stand-ins for smwave and smwave-table that
// misbehave for one record while a file of `dir` says so: `hang` makes smwave sleep for CCC003,
// `abort` makes it abort for BBB002, `vanish` removes AAA001's N-S file before its conversion.
fs::path event_with_faults(const fs::path& dir) {
    const fs::path bin = dir / "bin";
    fs::create_directories(bin);
    for (const char* program : {SMWAVE_EVENT_EXE, SMWAVE_RESPONSE_EXE, SMWAVE_MEASURES_EXE})
        fs::copy_file(program, bin / fs::path(program).filename());
    const std::string d = "'" + dir.string() + "'";
    write_file(bin / "smwave", "#!/bin/sh\ncase \"${PWD##*/}\" in\n"
                               "  CCC003) [ -e " + d + "/hang ] && exec sleep 600 ;;\n"
                               "  BBB002) [ -e " + d + "/abort ] && kill -ABRT $$ ;;\nesac\nexec '" SMWAVE_EXE "'\n");
    write_file(bin / "smwave-table", "#!/bin/sh\n[ -e " + d + "/vanish ] && [ \"${PWD##*/}\" = AAA001 ] && rm -f " + d +
                                         "/dl/AAA001/a.NS\nexec '" SMWAVE_TABLE_EXE "' \"$@\"\n");
    for (const char* stand_in : {"smwave", "smwave-table"}) fs::permissions(bin / stand_in, fs::perms::owner_all);
    return bin / "smwave-event";
}

void write_download(const fs::path& dl) {
    for (const char* station : {"AAA001", "BBB002", "CCC003"}) write_station(dl / station, station, "a");
}

void wait_for(const fs::path& file) {
    for (int wait = 0; wait < 1200 && !fs::exists(file); ++wait) ::usleep(50'000);
}

TEST(EventFaults, HangingAbortingAndVanishingRecordsAreMarked) {
    TempDir dir;
    write_download(dir / "dl");
    const fs::path event = event_with_faults(dir.path());
    for (const char* fault : {"hang", "abort", "vanish"}) write_file(dir / fault, "");
    const ToolResult r = run_command(dir.path(), event.string(), {"--out", "out", "dl", "--timeout", "30"});
    EXPECT_EQ(r.status, 1) << r.err;
    const std::map<std::string, std::string> expected{
        {"AAA001", "conversion_refused"}, {"BBB002", "smwave_aborted"}, {"CCC003", "killed_timeout"}};
    EXPECT_EQ(reasons_of(flatfile_rows(dir / "out" / "flatfile.csv")), expected);
}

// Interrupted by each signal while a record runs: the flatfile marks the rest interrupted, a second
// run on the folder meanwhile is refused, and --resume then gives the uninterrupted run's flatfile.
TEST(EventFaults, SignalsDuringRecordsThenResumeAndASecondRunIsLocked) {
    TempDir dir;
    write_download(dir / "dl");
    const fs::path event = event_with_faults(dir.path());
    ASSERT_EQ(run_command(dir.path(), event.string(), {"--out", "clean", "dl"}).status, 0);
    for (const int signal : {SIGINT, SIGTERM}) {
        const std::string out = "out" + std::to_string(signal);
        write_file(dir / "hang", "");
        smwave::testing::Started started(dir.path(), {.program = event.string(), .arguments = {"--out", out, "dl", "--jobs", "1"}});
        wait_for(dir / out / "CCC003" / "answers-acceleration.txt");
        ::usleep(200'000);
        const ToolResult second = run_command(dir.path(), event.string(), {"--out", out, "dl"});
        EXPECT_EQ(second.status, 2) << second.err;
        EXPECT_NE(second.err.find("in use by another smwave-event run"), std::string::npos) << second.err;
        started.signal(signal);
        const ToolResult interrupted = started.wait(std::chrono::seconds(60));
        EXPECT_EQ(interrupted.status, 130) << signal << interrupted.err;
        const std::map<std::string, std::string> marked{{"AAA001", ""}, {"BBB002", ""}, {"CCC003", "interrupted"}};
        EXPECT_EQ(reasons_of(flatfile_rows(dir / out / "flatfile.csv")), marked) << signal;
        fs::remove(dir / "hang");
        const ToolResult resumed = run_command(dir.path(), event.string(), {"--out", out, "dl", "--resume"});
        EXPECT_EQ(resumed.status, 0) << resumed.err;
        EXPECT_EQ(read_file(dir / out / "flatfile.csv"), read_file(dir / "clean" / "flatfile.csv")) << signal;
    }
}

// While a shard runs, the other shards of the event run into the same folder, but the same shard
// again, a whole run and a merge are refused.
TEST(EventFaults, ShardsShareTheFolderAndEachRunsOnce) {
    TempDir dir;
    write_download(dir / "dl");
    const fs::path event = event_with_faults(dir.path());
    write_file(dir / "hang", "");  // CCC003, the third record, is shard 2/3's
    smwave::testing::Started held(dir.path(), {.program = event.string(), .arguments = {"--out", "out", "dl", "--shard", "2/3"}});
    wait_for(dir / "out" / "CCC003" / "answers-acceleration.txt");
    const struct {
        std::vector<std::string> arguments;
        int status;
    } cases[] = {{{"--out", "out", "dl", "--shard", "0/3"}, 0},
                 {{"--out", "out", "dl", "--shard", "2/3"}, 2},
                 {{"--out", "out", "dl"}, 2},
                 {{"--merge", "out"}, 2}};
    for (const auto& c : cases) {
        const ToolResult r = run_command(dir.path(), event.string(), c.arguments);
        EXPECT_EQ(r.status, c.status) << c.arguments.back() << r.err;
        if (c.status == 2) EXPECT_NE(r.err.find("in use by another smwave-event run"), std::string::npos) << r.err;
    }
    held.signal(SIGTERM);
    EXPECT_EQ(held.wait(std::chrono::seconds(60)).status, 130);
}

// SIGTERM at moments from the scan of a large download to the flatfile's writing: the run ends by the
// signal (before the records: nothing half written) or marks what it did not finish; no temporary
// file is left; --resume then gives the uninterrupted run's flatfile.
TEST(EventFaults, ASignalAtAnyMomentThenResume) {
    TempDir dir;
    write_download(dir / "dl");
    fs::create_directories(dir / "dl" / "notes");
    for (int note = 0; note < 3000; ++note) write_file(dir / "dl" / "notes" / ("n" + std::to_string(note)), "a note\n");
    ASSERT_EQ(run_event(dir.path(), {"--out", "clean", "dl"}).status, 0);
    for (const int delay_ms : {20, 150, 600, 1500, 3000}) {
        const std::string out = "out" + std::to_string(delay_ms);
        smwave::testing::Started started(dir.path(), {.program = SMWAVE_EVENT_EXE, .arguments = {"--out", out, "dl"}});
        ::usleep(static_cast<useconds_t>(delay_ms) * 1000);
        started.signal(SIGTERM);
        const ToolResult ended = started.wait(std::chrono::seconds(120));
        EXPECT_TRUE(ended.signal == SIGTERM || ended.status == 130 || ended.status == 0) << delay_ms << ended.err;
        if (fs::exists(dir / out / "flatfile.csv")) flatfile_rows(dir / out / "flatfile.csv");
        if (fs::exists(dir / out)) {
            for (const auto& entry : fs::directory_iterator(dir / out)) {
                const std::string name = entry.path().filename().string();
                EXPECT_TRUE(!name.starts_with('.') || name == ".smwave-event.lock") << delay_ms << " left " << name;
            }
        }
        const ToolResult resumed = run_event(dir.path(), {"--out", out, "dl", "--resume"});
        EXPECT_EQ(resumed.status, 0) << delay_ms << resumed.err;
        EXPECT_EQ(read_file(dir / out / "flatfile.csv"), read_file(dir / "clean" / "flatfile.csv")) << delay_ms;
    }
}

// Output that cannot be written: a folder the run may not write to, and a device that fills up. The
// run says so; what it leaves is a whole flatfile or none.
TEST(EventFaults, OutputThatCannotBeWritten) {
    TempDir dir;
    write_download(dir / "dl");
    fs::create_directory(dir / "full");
    if (::mount("smwave-test", (dir / "full").c_str(), "tmpfs", 0, "size=96k") != 0) {
        std::printf("full device skipped: no tmpfs can be mounted here (%s)\n", std::strerror(errno));
    } else {
        // The records' tables do not fit: each record fails saying so, or the run is refused saying so.
        const ToolResult full = run_event(dir.path(), {"--out", "full/out", "dl"});
        if (full.status == 2) EXPECT_NE(full.err.find("No space left on device"), std::string::npos) << full.err;
        else EXPECT_EQ(full.status, 1) << full.err;
        if (fs::exists(dir / "full" / "out" / "flatfile.csv")) {
            for (const auto& row : flatfile_rows(dir / "full" / "out" / "flatfile.csv"))
                EXPECT_NE(row.at("message").find("No space left on device"), std::string::npos) << row.at("message");
        }
        ::umount((dir / "full").c_str());
    }
    if (const std::string why = smwave::testing::unprivileged_run_unavailable(); !why.empty()) GTEST_SKIP() << why;
    fs::create_directory(dir / "locked");
    for (const auto& entry : fs::recursive_directory_iterator(dir.path()))
        fs::permissions(entry.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    fs::permissions(dir.path(), fs::perms::others_read | fs::perms::others_exec, fs::perm_options::add);
    const ToolResult locked = smwave::testing::launch(
        dir.path(), {.program = SMWAVE_EVENT_EXE, .arguments = {"--out", "locked/out", "dl"}, .unprivileged = true,
                     .beside = {SMWAVE_EXE, SMWAVE_TABLE_EXE, SMWAVE_RESPONSE_EXE, SMWAVE_MEASURES_EXE}});
    EXPECT_EQ(locked.status, 2) << locked.err;
    EXPECT_NE(locked.err.find("locked/out"), std::string::npos) << locked.err;
    EXPECT_TRUE(fs::is_empty(dir / "locked"));
    // A folder of the download it may not read: refused, naming it, before anything is written.
    fs::permissions(dir / "dl" / "BBB002", fs::perms::owner_all);
    fs::permissions(dir / "locked", fs::perms::others_all, fs::perm_options::add);
    const ToolResult unreadable = smwave::testing::launch(
        dir.path(), {.program = SMWAVE_EVENT_EXE, .arguments = {"--out", "locked/out", "dl"}, .unprivileged = true,
                     .beside = {SMWAVE_EXE, SMWAVE_TABLE_EXE, SMWAVE_RESPONSE_EXE, SMWAVE_MEASURES_EXE}});
    EXPECT_EQ(unreadable.status, 2) << unreadable.err;
    EXPECT_NE(unreadable.err.find("dl/BBB002: cannot be searched"), std::string::npos) << unreadable.err;
    EXPECT_TRUE(fs::is_empty(dir / "locked"));
}

// Names with blanks, quotes, line ends and bytes that are no UTF-8, and links that loop: every file
// is a line of a valid inputs.csv, and the records are processed.
TEST(EventFaults, OddNamesAndLinkLoops) {
    TempDir dir;
    const std::string odd[] = {"with blank", "with \"quote\"", "with\nline end", "with,comma", "latin\xe9"};
    for (std::size_t at = 0; at < std::size(odd); ++at)
        write_station(dir / "dl" / odd[at], "ST" + std::to_string(at), odd[at]);
    fs::create_directory_symlink("..", dir / "dl" / "up");
    fs::create_symlink("loop2", dir / "dl" / "loop1");
    fs::create_symlink("loop1", dir / "dl" / "loop2");
    fs::create_symlink("nowhere", dir / "dl" / "dangling");
    const ToolResult r = run_event(dir.path(), {"--out", "out", "dl"});
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(flatfile_rows(dir / "out" / "flatfile.csv").size(), std::size(odd));
    const auto inputs = csv_of(read_file(dir / "out" / "inputs.csv"));
    std::size_t found = 0;
    for (const auto& line : inputs) {
        ASSERT_EQ(line.size(), 4u);
        for (const std::string& name : odd) found += line[0].find("/" + name + "/") != std::string::npos;
    }
    EXPECT_EQ(found, 3 * std::size(odd));
    // The links that do not resolve are listed, as no records.
    std::size_t links = 0;
    for (const auto& line : inputs) links += (line[0].ends_with("/loop1") || line[0].ends_with("/dangling")) && line[3].starts_with("not a record");
    EXPECT_EQ(links, 2u);
}

// A record longer than smwave transforms is refused with its reason, the others processed.
TEST(EventFaults, ARecordBeyondTheTransformLimit) {
    TempDir dir;
    write_download(dir / "dl");
    write_station(dir / "dl" / "LONG09", "LONG09", "a", 140000);
    const ToolResult r = run_event(dir.path(), {"--out", "out", "dl"});
    EXPECT_EQ(r.status, 1) << r.err;
    const auto reasons = reasons_of(flatfile_rows(dir / "out" / "flatfile.csv"));
    EXPECT_FALSE(reasons.at("LONG09").empty());
    EXPECT_EQ(reasons.at("AAA001"), "");
}

// Many small files: the scan reads them all and the grouping makes every record.
TEST(EventFaults, ManySmallFiles) {
    TempDir dir;
    constexpr int stations = 300;
    for (int at = 0; at < stations; ++at) {
        const std::string code = "S" + std::to_string(10000 + at);
        write_station(dir / "dl" / code.substr(0, 3), code, code, 200);
    }
    const auto files = smwave::event::scan_download({(dir / "dl").string()}, dir / "out");
    ASSERT_TRUE(files);
    EXPECT_EQ(files->size(), 3u * stations);
    EXPECT_EQ(smwave::event::group_records(*files).records.size(), static_cast<std::size_t>(stations));
}

// Codes that make the same folder name (a blank or a dot for '_', an empty part dropped) are two
// records in two folders, never one folder of mixed files.
TEST(EventFaults, CodesSharingAFolderNameStayApart) {
    const std::vector<std::vector<std::string>> stations = {
        {"", "A", "B"}, {"A", "B", ""}, {"XX", "S T", ""}, {"XX", "S_T", ""}, {"XX", "S.T", ""}};
    std::vector<smwave::event::ScannedFile> files;
    for (const auto& codes : stations) {
        for (const char* channel : {"HNE", "HNN", "HNZ"}) {
            auto& file = files.emplace_back();
            file.path = codes[0] + "/" + codes[1] + "/" + channel;
            file.kind = smwave::event::FileKind::record;
            file.component.network = codes[0];
            file.component.station = codes[1];
            file.component.location = codes[2];
            file.component.name = channel;
        }
    }
    const auto download = smwave::event::group_records(files);
    std::vector<std::string> names;
    for (const auto& record : download.records) names.push_back(record.name);
    EXPECT_EQ(names, (std::vector<std::string>{"A.B.HN", "A.B.HN-2", "XX.S_T.HN", "XX.S_T.HN-2", "XX.S_T.HN-3"}));
}

// An event file whose origin is no place on the Earth is refused before any work.
TEST(EventFaults, AnEventOffTheEarthIsRefused) {
    TempDir dir;
    write_download(dir / "dl");
    write_file(dir / "event.xml", R"(<?xml version="1.0"?>
<q:quakeml xmlns="http://quakeml.org/xmlns/bed/1.2" xmlns:q="http://quakeml.org/xmlns/quakeml/1.2">
  <eventParameters publicID="smi:t/ep"><event publicID="smi:t/ev"><origin publicID="smi:t/or">
    <time><value>2024-03-05T03:34:01Z</value></time><latitude><value>361</value></latitude>
    <longitude><value>140.2</value></longitude><depth><value>8500</value></depth></origin></event></eventParameters>
</q:quakeml>
)");
    const ToolResult r = run_event(dir.path(), {"--out", "out", "dl", "--event", "event.xml"});
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("event.xml: the event's origin is no place on the Earth"), std::string::npos) << r.err;
    EXPECT_FALSE(fs::exists(dir / "out"));
}

}  // namespace

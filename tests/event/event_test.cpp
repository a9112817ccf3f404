// smwave-event end to end on a download the test writes: K-NET stations with origin headers, a
// KiK-net site with surface and borehole sensors sampled at 50 Hz, a stray file, a one-component
// station and a duplicate file.
#include <gtest/gtest.h>
#include <unistd.h>

#include <csignal>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>
#include <numbers>
#include <sstream>

#include "event/event_tool.hpp"
#include "event/record_work.hpp"
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

struct Station {
    std::string code;
    double latitude, longitude, amplitude;
};
const Station stations[] = {{"AAA001", 36.30, 140.50, 1.0}, {"BBB002", 36.00, 140.00, 2.0}, {"CCC003", 35.50, 139.90, 0.5}};
constexpr double origin_latitude = 36.10, origin_longitude = 140.20, origin_depth = 40;

// A K-NET/KiK-net file of a decaying burst; `direction` as the header gives it ("E-W", or 1-6).
std::string knet_file(const Station& s, const std::string& direction, int hertz, double phase,
                      const std::string& origin_time = "2024/03/05 12:34:00") {
    std::ostringstream text;
    text << "Origin Time       " << origin_time << "\nLat.              36.10\nLong.             140.20\n"
         << "Depth. (km)       40\nMag.              5.8\nStation Code      " << s.code << "\nStation Lat.      "
         << s.latitude << "\nStation Long.     " << s.longitude << "\nStation Height(m) 25\n"
         << "Record Time       2024/03/05 12:34:20\nSampling Freq(Hz) " << hertz << "Hz\nDuration Time(s)  20\n"
         << "Dir.              " << direction << "\nScale Factor      7845(gal)/8223790\nMax. Acc. (gal)   1.000\n"
         << "Last Correction   2024/03/05 12:34:21\nMemo.\n";
    const int samples = 20 * hertz;
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / hertz;
        char word[32];
        std::snprintf(word, sizeof word, "%9ld",
                      5000 + std::lround(s.amplitude * 3000 * std::sin(7 * t + phase) * std::exp(-(t - 8) * (t - 8) / 9)));
        text << word << (i % 8 == 7 || i + 1 == samples ? "\n" : "");
    }
    return text.str();
}

// The download: three K-NET stations, a KiK-net site (surface and borehole), a one-component station,
// a duplicate and a stray file.
void write_download(const fs::path& dir, const std::string& third_origin = "2024/03/05 12:34:00") {
    const std::pair<const char*, const char*> knet_directions[] = {{"EW", "E-W"}, {"NS", "N-S"}, {"UD", "U-D"}};
    for (std::size_t at = 0; at < 3; ++at) {
        fs::create_directories(dir / stations[at].code);
        double phase = 0;
        for (const auto& [extension, direction] : knet_directions)
            write_file(dir / stations[at].code / (stations[at].code + "2403051234." + extension),
                       knet_file(stations[at], direction, 100, phase += 1, at == 2 ? third_origin : "2024/03/05 12:34:00"));
    }
    const Station kik{"KIK005", 36.60, 140.60, 1.5};
    fs::create_directories(dir / "kik");
    const char* kik_extensions[] = {"NS1", "EW1", "UD1", "NS2", "EW2", "UD2"};
    for (int at = 0; at < 6; ++at)
        write_file(dir / "kik" / ("KIK0052403051234." + std::string(kik_extensions[at])),
                   knet_file(kik, std::to_string(at + 1), 50, at));
    write_file(dir / "DDD004.EW", knet_file({"DDD004", 36.2, 140.3, 1}, "E-W", 100, 0));
    fs::copy_file(dir / "AAA001" / "AAA0012403051234.EW", dir / "zz-copy.EW");
    write_file(dir / "notes.txt", "downloaded on Tuesday\n");
}

using Rows = std::vector<std::map<std::string, std::string>>;

std::vector<std::string> csv_fields(const std::string& line) {
    std::vector<std::string> fields{""};
    bool quoted = false;
    for (const char c : line) {
        if (c == '"') quoted = !quoted;
        else if (c == ',' && !quoted) fields.emplace_back();
        else fields.back() += c;
    }
    return fields;
}

Rows csv_rows(const fs::path& file) {
    std::istringstream in(read_file(file));
    std::string line;
    std::getline(in, line);
    const auto names = csv_fields(line);
    Rows rows;
    while (std::getline(in, line)) {
        const auto fields = csv_fields(line);
        auto& row = rows.emplace_back();
        for (std::size_t at = 0; at < names.size() && at < fields.size(); ++at) row[names[at]] = fields[at];
    }
    return rows;
}

double number(const std::map<std::string, std::string>& row, const std::string& name) {
    return std::stod(row.at(name));
}

// The largest size of a waveform file's column `column` (1 to 3).
double peak_of(const fs::path& waveform, int column) {
    std::istringstream in(read_file(waveform));
    double peak = 0;
    for (std::string line; std::getline(in, line);) {
        const auto fields = csv_fields(line);
        char* end = nullptr;
        const double value = std::strtod(fields.at(column).c_str(), &end);
        if (end != fields[column].c_str()) peak = std::max(peak, std::fabs(value));
    }
    return peak;
}

// Great-circle distance by the spherical law of cosines (the tool uses another formula).
double distance_km(double lat1, double lon1, double lat2, double lon2) {
    const double r = std::numbers::pi / 180;
    return 6371 * std::acos(std::sin(lat1 * r) * std::sin(lat2 * r) +
                            std::cos(lat1 * r) * std::cos(lat2 * r) * std::cos((lon2 - lon1) * r));
}

ToolResult run_event(const fs::path& dir, std::vector<std::string> arguments) {
    return run_command(dir, SMWAVE_EVENT_EXE, arguments);
}

TEST(EventTest, GroupsTheDownloadAndFillsTheFlatfile) {
    TempDir dir;
    write_download(dir / "dl");
    const ToolResult r = run_event(dir.path(), {"--out", "out", "dl", "--jobs", "2"});
    ASSERT_EQ(r.status, 0) << r.err;

    std::map<std::string, std::pair<std::string, std::string>> inputs;  // path -> record, note's start
    for (auto& row : csv_rows(dir / "out" / "inputs.csv")) inputs[row["path"]] = {row["record"], row["note"].substr(0, 14)};
    const std::map<std::string, std::pair<std::string, std::string>> expected = {
        {"dl/AAA001/AAA0012403051234.EW", {"AAA001", ""}},
        {"dl/CCC003/CCC0032403051234.UD", {"CCC003", ""}},
        {"dl/kik/KIK0052403051234.EW1", {"KIK005.borehole", ""}},
        {"dl/kik/KIK0052403051234.UD2", {"KIK005.surface", ""}},
        {"dl/DDD004.EW", {"", "left out: one "}},
        {"dl/zz-copy.EW", {"", "left out: dupl"}},
        {"dl/notes.txt", {"", "not a record: "}},
    };
    EXPECT_EQ(inputs.size(), 3 * 3 + 6 + 3u);
    for (const auto& [path, want] : expected) EXPECT_EQ(inputs[path], want) << path;

    const Rows rows = csv_rows(dir / "out" / "flatfile.csv");
    ASSERT_EQ(rows.size(), 5u);
    double last = 0;
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("record"));
        EXPECT_EQ(row.at("status"), "ok");
        EXPECT_EQ(row.at("event_id"), "20240305033400");  // 12:34 JST
        const double epicentral = number(row, "epicentral_distance");
        EXPECT_NEAR(epicentral, distance_km(origin_latitude, origin_longitude, number(row, "station_latitude"),
                                            number(row, "station_longitude")), 1e-6);
        EXPECT_NEAR(number(row, "hypocentral_distance"), std::hypot(epicentral, origin_depth), 1e-9);
        EXPECT_GE(epicentral, last);
        last = epicentral;
        const fs::path folder = dir / "out" / row.at("record");
        const char* quantities[] = {"acceleration", "velocity", "displacement"};
        const char* peaks[] = {"pga", "pgv", "pgd"};
        const char* suffixes[] = {"h1", "h2", "z"};
        for (int q = 0; q < 3; ++q) {
            for (int c = 0; c < 3; ++c) {
                EXPECT_DOUBLE_EQ(number(row, std::string(peaks[q]) + "_" + suffixes[c]),
                                 peak_of(folder / (std::string(quantities[q]) + ".csv"), c + 1))
                    << peaks[q] << suffixes[c];
            }
        }
        EXPECT_FALSE(row.at("psa_1_rotd50").empty());
        EXPECT_FALSE(row.at("jma_class").empty());
        EXPECT_EQ(row.at("band_f3"), row.at("sampling_rate") == "50" ? "18.75" : "25");
    }
    // BBB002 lies south-west of the epicentre: the epicentre is to its north-east.
    EXPECT_EQ(rows[0].at("record"), "BBB002");
    EXPECT_NEAR(number(rows[0], "back_azimuth"), 58.2, 0.1);
    EXPECT_TRUE(fs::is_regular_file(dir / "out" / "BBB002" / "amp3-velocity.csv"));
}

TEST(EventTest, RerunsAndJobCountsGiveTheSameFiles) {
    TempDir dir;
    write_download(dir / "dl");
    ASSERT_EQ(run_event(dir.path(), {"--out", "one", "dl", "--jobs", "1"}).status, 0);
    ASSERT_EQ(run_event(dir.path(), {"--out", "two", "dl", "--jobs", "2"}).status, 0);
    const std::string first = read_file(dir / "one" / "flatfile.csv");
    EXPECT_EQ(first, read_file(dir / "two" / "flatfile.csv"));
    ASSERT_EQ(run_event(dir.path(), {"--out", "one", "dl", "--jobs", "2"}).status, 0);
    EXPECT_EQ(first, read_file(dir / "one" / "flatfile.csv"));
    // Shards merged give the one run's flatfile; a missing shard is named.
    for (const char* shard : {"0/3", "2/3"}) ASSERT_EQ(run_event(dir.path(), {"--out", "parts", "dl", "--shard", shard}).status, 0);
    const ToolResult missing = run_event(dir.path(), {"--merge", "parts"});
    EXPECT_EQ(missing.status, 2);
    EXPECT_NE(missing.err.find("flatfile-1-of-3.csv: is missing"), std::string::npos) << missing.err;
    ASSERT_EQ(run_event(dir.path(), {"--out", "parts", "dl", "--shard", "1/3"}).status, 0);
    ASSERT_EQ(run_event(dir.path(), {"--merge", "parts"}).status, 0);
    EXPECT_EQ(first, read_file(dir / "parts" / "flatfile.csv"));
    // An event folder inside the download is not scanned as part of it, on the first run or the next.
    for (int run = 0; run < 2; ++run) {
        ASSERT_EQ(run_event(dir.path(), {"--out", "dl/out", "dl", "--jobs", "2"}).status, 0);
        EXPECT_EQ(read_file(dir / "dl" / "out" / "inputs.csv"), read_file(dir / "one" / "inputs.csv"));
    }
    EXPECT_EQ(read_file(dir / "one" / "inputs.csv"), read_file(dir / "two" / "inputs.csv"));
}

// The jobs bound the cores the event keeps busy: each record's smwave-response and smwave-measures run
// on one thread, or on the jobs' share when there are fewer records (five here) than jobs.
TEST(EventTest, JobsBoundTheThreadsOfEachRecordsPrograms) {
    TempDir dir;
    write_download(dir / "dl");
    const fs::path bin = dir / "bin", log = dir / "arguments.log";
    fs::create_directories(bin);
    for (const char* program : {SMWAVE_EVENT_EXE, SMWAVE_TABLE_EXE, SMWAVE_EXE})
        fs::copy_file(program, bin / fs::path(program).filename());
    for (const char* program : {SMWAVE_RESPONSE_EXE, SMWAVE_MEASURES_EXE}) {
        const fs::path stand_in = bin / fs::path(program).filename();
        write_file(stand_in, "#!/bin/sh\necho \"$*\" >> '" + log.string() + "'\nexec '" + program + "' \"$@\"\n");
        fs::permissions(stand_in, fs::perms::owner_all);
    }
    const std::pair<const char*, const char*> cases[] = {{"1", "--threads 1"}, {"2", "--threads 1"}, {"15", "--threads 3"}};
    for (const auto& [jobs, threads] : cases) {
        fs::remove(log);
        ASSERT_EQ(run_command(dir.path(), (bin / "smwave-event").string(), {"--out", "out", "dl", "--jobs", jobs}).status, 0);
        std::istringstream lines(read_file(log));
        int runs = 0;
        for (std::string line; std::getline(lines, line); ++runs) EXPECT_NE(line.find(threads), std::string::npos) << jobs << ": " << line;
        EXPECT_EQ(runs, 15) << jobs;  // two smwave-response runs and one smwave-measures run a record
    }
}

TEST(EventTest, OriginsThatDisagreeNeedTheEventGiven) {
    TempDir dir;
    write_download(dir / "dl", "2024/03/05 12:34:09");
    const ToolResult refused = run_event(dir.path(), {"--out", "out", "dl"});
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find("differs from the one of"), std::string::npos) << refused.err;
    EXPECT_FALSE(fs::exists(dir / "out" / "flatfile.csv"));

    ASSERT_EQ(run_event(dir.path(), {"--out", "out", "dl", "--origin", "2024-03-05T03:34:02Z 36 140 10 6.1"}).status, 0);
    const Rows rows = csv_rows(dir / "out" / "flatfile.csv");
    EXPECT_EQ(rows.at(0).at("event_id"), "20240305033402");
    EXPECT_EQ(rows.at(0).at("magnitude"), "6.1");
    EXPECT_NEAR(number(rows[0], "hypocentral_distance"), std::hypot(number(rows[0], "epicentral_distance"), 10), 1e-9);

    // A QuakeML event: the preferred origin (depth in metres) and magnitude, not the first ones.
    write_file(dir / "dl" / "event.xml", R"(<?xml version="1.0"?>
<q:quakeml xmlns="http://quakeml.org/xmlns/bed/1.2" xmlns:q="http://quakeml.org/xmlns/quakeml/1.2">
  <eventParameters publicID="smi:test/ep"><event publicID="smi:test/ev1">
    <preferredOriginID>smi:test/or2</preferredOriginID><preferredMagnitudeID>smi:test/mag2</preferredMagnitudeID>
    <origin publicID="smi:test/or1"><time><value>2024-03-05T03:30:00Z</value></time>
      <latitude><value>30</value></latitude><longitude><value>130</value></longitude><depth><value>1000</value></depth></origin>
    <origin publicID="smi:test/or2"><time><value>2024-03-05T03:34:01.5Z</value></time>
      <latitude><value>36.1</value></latitude><longitude><value>140.2</value></longitude><depth><value>8500.0</value></depth></origin>
    <magnitude publicID="smi:test/mag1"><mag><value>5.0</value></mag><type>ml</type></magnitude>
    <magnitude publicID="smi:test/mag2"><mag><value>6.3</value></mag><type>Mw</type></magnitude>
  </event></eventParameters>
</q:quakeml>
)");
    ASSERT_EQ(run_event(dir.path(), {"--out", "quake", "dl", "--event", "dl/event.xml"}).status, 0);
    const auto row = csv_rows(dir / "quake" / "flatfile.csv").at(0);
    const std::pair<const char*, const char*> wanted[] = {
        {"event_id", "smi:test/ev1"}, {"origin_time", "2024-03-05T03:34:01.5Z"}, {"event_depth", "8.5"},
        {"magnitude", "6.3"}, {"magnitude_type", "Mw"}};
    for (const auto& [column, value] : wanted) EXPECT_EQ(row.at(column), value) << column;
    EXPECT_NE(read_file(dir / "quake" / "inputs.csv").find("dl/event.xml,quakeml,,"), std::string::npos);
}

TEST(EventTest, ABadRecordDoesNotStopTheEvent) {
    TempDir dir;
    write_download(dir / "dl");
    // One component at another rate: smwave-table refuses the record.
    write_file(dir / "dl" / "AAA001" / "AAA0012403051234.NS", knet_file(stations[0], "N-S", 200, 0));
    const ToolResult r = run_event(dir.path(), {"--out", "out", "dl", "--timeout", "60", "--periods", "nga"});
    EXPECT_EQ(r.status, 1) << r.err;
    EXPECT_FALSE(csv_rows(dir / "out" / "flatfile.csv").at(0).at("psa_0.667_rotd50").empty());
    EXPECT_NE(r.err.find("5 records: 4 ok, 1 not ok"), std::string::npos) << r.err;
    EXPECT_NE(r.err.find(" AAA001: refused (conversion_refused): "), std::string::npos) << r.err;
    for (const auto& row : csv_rows(dir / "out" / "flatfile.csv")) {
        const bool bad = row.at("record") == "AAA001";
        EXPECT_EQ(row.at("status"), bad ? "refused" : "ok") << row.at("record");
        EXPECT_EQ(row.at("reason"), bad ? "conversion_refused" : "") << row.at("record");
        EXPECT_EQ(row.at("pga_h1").empty(), bad);
        EXPECT_FALSE(row.at("epicentral_distance").empty());
    }
}

// On a terminal the progress is one line redrawn in place, cleared before the last words.
TEST(EventTest, ProgressOnATerminal) {
    if (!fs::exists("/usr/bin/script")) GTEST_SKIP() << "util-linux's script, which gives a terminal, is missing";
    TempDir dir;
    write_download(dir / "dl");
    const ToolResult r = run_command(dir.path(), "/usr/bin/script",
                                     {"-qec", SMWAVE_EVENT_EXE " --out out dl --jobs 1 --periods 1", "/dev/null"});
    ASSERT_EQ(r.status, 0) << r.out;
    for (const char* drawn : {"\r\033[Ksmwave-event: 0/5 records, 0 not ok, 0:00 elapsed",
                              "\r\033[Ksmwave-event: 5/5 records, 0 not ok, ", "\r\033[Ksmwave-event: 5 records: 5 ok"})
        EXPECT_NE(r.out.find(drawn), std::string::npos) << drawn << " in " << r.out;
    EXPECT_EQ(r.out.find("1/5 BBB002"), std::string::npos) << r.out;
}

// smwave-event and its programs copied into `dir`/bin, with a stand-in smwave that sleeps for the
// record CCC003 while `dir`/slow exists.
fs::path event_with_slow_record(const fs::path& dir) {
    const fs::path bin = dir / "bin";
    fs::create_directories(bin);
    for (const char* program : {SMWAVE_EVENT_EXE, SMWAVE_TABLE_EXE, SMWAVE_RESPONSE_EXE, SMWAVE_MEASURES_EXE})
        fs::copy_file(program, bin / fs::path(program).filename());
    write_file(bin / "smwave", "#!/bin/sh\nif [ -e '" + (dir / "slow").string() +
                                   "' ] && [ \"${PWD##*/}\" = CCC003 ]; then exec sleep 600; fi\nexec '" SMWAVE_EXE "'\n");
    fs::permissions(bin / "smwave", fs::perms::owner_all);
    write_file(dir / "slow", "");
    return bin / "smwave-event";
}

TEST(EventTest, TimeoutsInterruptionAndResume) {
    TempDir dir;
    write_download(dir / "dl");
    const fs::path event = event_with_slow_record(dir.path());
    // A timeout no ordinary record reaches, even in the sanitizer build; the slow record sleeps far longer.
    const ToolResult timed = run_command(dir.path(), event.string(), {"--out", "timed", "dl", "--timeout", "30"});
    EXPECT_EQ(timed.status, 1) << timed.err;
    for (const auto& row : csv_rows(dir / "timed" / "flatfile.csv"))
        EXPECT_EQ(row.at("reason"), row.at("record") == "CCC003" ? "killed_timeout" : "") << row.at("record");

    smwave::testing::Started started(dir.path(), {.program = event.string(), .arguments = {"--out", "out", "dl", "--jobs", "1"}});
    for (int wait = 0; wait < 600 && !fs::exists(dir / "out" / "CCC003" / "answers-acceleration.txt"); ++wait)
        ::usleep(50'000);
    ::usleep(200'000);
    started.signal(SIGINT);
    const ToolResult interrupted = started.wait(std::chrono::seconds(30));
    EXPECT_EQ(interrupted.status, 130) << interrupted.err;
    for (const auto& row : csv_rows(dir / "out" / "flatfile.csv")) {
        const bool done = row.at("record") < "CCC003";
        EXPECT_EQ(row.at("status"), done ? "ok" : "failed") << row.at("record");
        EXPECT_EQ(row.at("reason"), done ? "" : "interrupted") << row.at("record");
    }
    fs::remove(dir / "slow");
    write_file(dir / "out" / "AAA001" / "console-acceleration.txt", "kept\n");
    const ToolResult resumed = run_command(dir.path(), event.string(), {"--out", "out", "dl", "--resume"});
    EXPECT_EQ(resumed.status, 0) << resumed.err;
    EXPECT_EQ(read_file(dir / "out" / "AAA001" / "console-acceleration.txt"), "kept\n");
    ASSERT_EQ(run_command(dir.path(), event.string(), {"--out", "clean", "dl"}).status, 0);
    EXPECT_EQ(read_file(dir / "out" / "flatfile.csv"), read_file(dir / "clean" / "flatfile.csv"));
}

// The example earthquake: every record of its formats grouped and processed, the miniSEED stations
// placed by the StationXML file, the PEER pairs as two horizontals, amplitudes falling with distance.
TEST(EventTest, TheExampleEarthquake) {
    TempDir dir;
    ASSERT_EQ(run_command(dir.path(), MAKE_EVENT_EXE, {"download"}).status, 0);
    const ToolResult r = run_event(dir.path(), {"--out", "quake", "download/"});
    ASSERT_EQ(r.status, 0) << r.err;
    std::map<std::string, std::string> notes;  // path -> note's start
    for (auto& row : csv_rows(dir / "quake" / "inputs.csv")) notes[row["path"]] = row["note"].substr(0, 12);
    EXPECT_EQ(notes.at("download/README.txt"), "not a record");
    EXPECT_EQ(notes.at("download/event.xml"), "event descri");
    EXPECT_EQ(notes.at("download/fdsn/stations.xml"), "StationXML i");
    EXPECT_EQ(notes.at("download/fdsn/SY.S11.00.HN.mseed"), "channel HNZ,");  // the file's last channel

    const Rows rows = csv_rows(dir / "quake" / "flatfile.csv");
    ASSERT_EQ(rows.size(), 6 + 4 + 4 + 2u);
    std::map<std::string, int> formats;
    std::vector<std::pair<double, double>> surface;  // hypocentral distance, PGA RotD50
    for (const auto& row : rows) {
        SCOPED_TRACE(row.at("record"));
        EXPECT_EQ(row.at("status"), "ok") << row.at("message");
        const bool peer = row.at("source_files").ends_with(".AT2");
        ++formats[peer ? "peer" : row.at("network") == "SY" ? "mseed" : row.at("sensor").empty() ? "knet" : row.at("sensor")];
        EXPECT_EQ(row.at("pga_z").empty(), peer);
        EXPECT_EQ(row.at("jma_class").empty(), peer);
        EXPECT_EQ(row.at("epicentral_distance").empty(), peer);
        if (peer) {
            EXPECT_EQ(row.at("channels"), row.at("station") == "Pine Ridge" ? "H090 H000" : "H135 H045");
            continue;
        }
        EXPECT_EQ(row.at("correction"), row.at("network") == "SY" ? "sensitivity,sensitivity,sensitivity" : "none,none,none");
        const double epicentral = number(row, "epicentral_distance");
        EXPECT_TRUE(epicentral > 4.99 && epicentral < 200.01) << epicentral;
        if (row.at("sensor") != "borehole") surface.emplace_back(number(row, "hypocentral_distance"), number(row, "pga_rotd50"));
    }
    EXPECT_EQ(formats, (std::map<std::string, int>{{"knet", 6}, {"surface", 2}, {"borehole", 2}, {"mseed", 4}, {"peer", 2}}));
    for (const auto& [near_km, near_pga] : surface) {
        for (const auto& [far_km, far_pga] : surface) {
            if (far_km > 1.5 * near_km) {
                EXPECT_LT(far_pga, near_pga) << near_km << " km against " << far_km << " km";
            }
        }
    }
}

TEST(EventTest, TheNgaWest2Periods) {
    const auto periods = smwave::event::nga_west2_periods();
    ASSERT_EQ(periods.size(), 111u);
    EXPECT_TRUE(std::is_sorted(periods.begin(), periods.end()));
    EXPECT_EQ(std::adjacent_find(periods.begin(), periods.end()), periods.end());
    const std::pair<std::size_t, double> at[] = {{0, 0.01}, {1, 0.02}, {19, 0.067}, {30, 0.133}, {60, 0.667},
                                                 {67, 1},   {104, 10}, {108, 14},   {110, 20}};
    for (const auto& [index, period] : at) EXPECT_EQ(periods[index], period) << index;
}

TEST(EventTest, ComponentSlotsAndTheNyquistRule) {
    const std::pair<const char*, int> slots[] = {{"EW", 0}, {"NS2", 1}, {"UD1", 2}, {"HNE", 0}, {"HH1", 0},
                                                 {"HN2", 1}, {"BHZ", 2}, {"LOG", -1}};
    for (const auto& [name, slot] : slots) {
        const auto found = smwave::event::component_slot(name);
        EXPECT_EQ(found ? static_cast<int>(*found) : -1, slot) << name;
    }
    const std::array<double, 4> band{0.05, 0.1, 25, 30};
    EXPECT_EQ(smwave::event::band_for(band, 0.01), band);
    EXPECT_EQ(smwave::event::band_for(band, 0.02), (std::array<double, 4>{0.05, 0.1, 18.75, 22.5}));
}

}  // namespace

namespace {

TEST(EventTest, ReportDrawsThePageAfterTheRecords) {
    TempDir dir;
    write_download(dir / "download");
    const ToolResult r = run_event(dir.path(), {"--out", "quake", "download", "--report", "--jobs", "2"});
    EXPECT_EQ(r.status, 0) << r.err;
    const std::string page = read_file(dir / "quake/report.html");
    const Rows rows = csv_rows(dir / "quake/flatfile.csv");
    for (const auto& row : rows) {
        EXPECT_NE(page.find("<section id=\"record-" + row.at("record") + "\">"), std::string::npos) << row.at("record");
        EXPECT_TRUE(fs::exists(dir / "quake/figures" / row.at("record") / "waveforms.png")) << row.at("record");
    }
    EXPECT_TRUE(fs::exists(dir / "quake/figures/peaks-epicentral.png"));
}

}  // namespace

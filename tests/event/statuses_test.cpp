// Nothing silently wrong: random downloads (seeded) of K-NET stations in gal and miniSEED stations in
// counts, some missing a horizontal, some with their StationXML (right, or with stage gains that fail
// the sensitivity check), some whose K-NET origin disagrees. Each record's status and reason must be
// what its files warrant, and a record not ok has no numbers.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <random>
#include <sstream>

#include "event/flatfile.hpp"
#include "support/command_run.hpp"
#include "support/launch.hpp"
#include "table/record_files.hpp"

namespace {

namespace fs = std::filesystem;
using smwave::testing::run_command;
using smwave::testing::TempDir;
using smwave::testing::write_file;

constexpr std::int64_t record_start = 1709642060LL * 1000000;  // 2024-03-05T12:34:20Z

std::string knet_file(const std::string& station, const std::string& direction, const std::string& origin_time) {
    std::ostringstream text;
    text << "Origin Time       " << origin_time << "\nLat.              36.10\nLong.             140.20\n"
         << "Depth. (km)       40\nMag.              5.8\nStation Code      " << station
         << "\nStation Lat.      36.3\nStation Long.     140.5\nStation Height(m) 25\n"
         << "Record Time       2024/03/05 12:34:20\nSampling Freq(Hz) 100Hz\nDuration Time(s)  8\nDir.              "
         << direction << "\nScale Factor      7845(gal)/8223790\nMax. Acc. (gal)   1.000\n"
         << "Last Correction   2024/03/05 12:34:21\nMemo.\n";
    for (int i = 0; i < 800; ++i)
        text << std::lround(5000 + 3000 * std::sin(0.07 * i) * std::exp(-(i - 300) * (i - 300) / 4e4))
             << (i % 8 == 7 ? "\n" : " ");
    return text.str();
}

// The station's StationXML: three channels of 100 Hz, 1e5 counts per m/s**2, one stage of `gain`.
std::string inventory(const std::string& station, double gain) {
    std::string text = "<?xml version=\"1.0\"?>\n<FDSNStationXML xmlns=\"http://www.fdsn.org/xml/station/1\" "
                       "schemaVersion=\"1.2\"><Network code=\"XX\"><Station code=\"" + station +
                       "\"><Latitude>35.9</Latitude><Longitude>140.1</Longitude><Elevation>10</Elevation>\n";
    for (const char* channel : {"HNE", "HNN", "HNZ"}) {
        text += std::string("<Channel code=\"") + channel + "\" locationCode=\"\" startDate=\"2020-01-01T00:00:00Z\">"
                "<SampleRate>100</SampleRate><Response><InstrumentSensitivity><Value>100000</Value><InputUnits><Name>"
                "m/s**2</Name></InputUnits><OutputUnits><Name>count</Name></OutputUnits></InstrumentSensitivity>"
                "<Stage number=\"1\"><StageGain><Value>" + std::to_string(gain) + "</Value></StageGain></Stage>"
                "</Response></Channel>\n";
    }
    return text + "</Station></Network></FDSNStationXML>\n";
}

enum class Kind { knet, knet_other_origin, counts, counts_inventory, counts_bad_gains };

struct Station {
    std::string code;
    Kind kind;
    bool complete;
};

void write_station(const fs::path& dl, const Station& s) {
    const fs::path folder = dl / s.code;
    fs::create_directories(folder);
    const bool knet = s.kind == Kind::knet || s.kind == Kind::knet_other_origin;
    const std::string origin = s.kind == Kind::knet_other_origin ? "2024/03/05 12:30:00" : "2024/03/05 12:34:00";
    const auto signal = smwave::testing::known_signal(800);
    const char* knet_directions[] = {"E-W", "N-S", "U-D"};
    const char* knet_extensions[] = {"EW", "NS", "UD"};
    const char* channels[] = {"HNE", "HNN", "HNZ"};
    for (int c = 0; c < 3; ++c) {
        if (!s.complete && c == 1) continue;  // one horizontal and the vertical: no record
        if (knet) write_file(folder / (s.code + "." + knet_extensions[c]), knet_file(s.code, knet_directions[c], origin));
        else write_file(folder / (s.code + "." + channels[c] + ".mseed"), smwave::testing::mseed_channel(s.code, channels[c], record_start, 100, signal[c]));
    }
    if (s.kind == Kind::counts_inventory || s.kind == Kind::counts_bad_gains)
        write_file(folder / ("XX." + s.code + ".xml"), inventory(s.code, s.kind == Kind::counts_bad_gains ? 150000 : 100000));
}

// The reason a complete station's record warrants, "" for ok; `inventories`: how many the download holds.
std::string warranted(const Station& s, int inventories) {
    switch (s.kind) {
        case Kind::knet:
        case Kind::knet_other_origin: return "";
        case Kind::counts: return inventories == 1 ? "conversion_refused" : "not_physical_units";
        case Kind::counts_inventory: return "";
        case Kind::counts_bad_gains: return "conversion_refused";
    }
    return "?";
}

TEST(EventStatuses, EveryRecordGetsTheStatusItsFilesWarrant) {
    std::mt19937 random(27);
    for (int download = 0; download < 4; ++download) {
        TempDir dir;
        std::vector<Station> stations{{"KNT000", Kind::knet, true}};
        const int more = 2 + static_cast<int>(random() % 3);
        for (int at = 1; at <= more; ++at) {
            const auto kind = static_cast<Kind>(random() % 5);
            const bool knet = kind == Kind::knet || kind == Kind::knet_other_origin;
            stations.push_back({(knet ? "KNT00" : "CNT0") + std::to_string(at), kind, random() % 4 != 0});
        }
        int inventories = 0, conflicts = 0;
        for (const Station& s : stations) {
            write_station(dir / "dl", s);
            inventories += s.kind == Kind::counts_inventory || s.kind == Kind::counts_bad_gains;
            conflicts += s.kind == Kind::knet_other_origin && s.complete;  // only records state the origin
        }
        const auto r = run_command(dir.path(), SMWAVE_EVENT_EXE, {"--out", "out", "dl", "--jobs", "2"});
        SCOPED_TRACE("download " + std::to_string(download) + ": " + r.err);
        if (conflicts > 0) {
            EXPECT_EQ(r.status, 2);
            EXPECT_FALSE(fs::exists(dir / "out" / "flatfile.csv"));
            continue;
        }
        auto read = smwave::event::read_flatfile(dir / "out" / "flatfile.csv");
        ASSERT_TRUE(read);
        std::map<std::string, std::string> reasons, expected;
        for (auto& row : read->second) {
            reasons[row["record"]] = row["reason"];
            EXPECT_EQ(row["status"] == "ok", row["reason"].empty()) << row["record"];
            EXPECT_EQ(row["pga_h1"].empty(), row["status"] != "ok") << row["record"];
        }
        for (const Station& s : stations) {
            if (s.complete) expected[s.code.starts_with("KNT") ? s.code : "XX." + s.code + ".HN"] = warranted(s, inventories);
        }
        EXPECT_EQ(reasons, expected);
        EXPECT_EQ(r.status, std::all_of(expected.begin(), expected.end(), [](const auto& e) { return e.second.empty(); }) ? 0 : 1);
    }
}

}  // namespace

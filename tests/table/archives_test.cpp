// The engineering archives' formats end to end (a known signal written in each, converted, given back
// through smwave with its metadata), their --info rows, their warnings and their refusals.
#include <gtest/gtest.h>

#include <functional>

#include "companion/suite_file.hpp"
#include "support/tool_run.hpp"
#include "table/archive_files.hpp"
#include "table/record_files.hpp"
#include "table/table_checks.hpp"

namespace smwave::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::size_t samples = 600;
constexpr double gravity = 980.665;
using Signal = std::vector<std::vector<double>>;
using Items = std::vector<std::pair<std::string, std::string>>;

// The known signal as each format stores it: counts / 1e5 in g (PEER), counts / 100 in cm/s/s (the
// others), so that every value prints exactly.
Signal stored(double divisor) {
    Signal values(3);
    const auto counts = known_signal(samples);
    for (std::size_t k = 0; k < 3; ++k) {
        for (const auto count : counts[k]) values[k].push_back(count / divisor);
    }
    return values;
}

// What the table must hold: the stored values in cm/s/s, in component order, each mean removed.
Signal expected_table(const Signal& values, double factor, const std::vector<std::size_t>& order) {
    Signal table;
    for (const std::size_t k : order) {
        auto& out = table.emplace_back();
        if (k == 3) {
            out.assign(samples, 0.0);
            continue;
        }
        double mean = 0;
        for (const double value : values[k]) mean += value * factor;
        mean /= static_cast<double>(samples);
        for (const double value : values[k]) out.push_back(value * factor - mean);
    }
    return table;
}

void write_peer(const fs::path& dir, const std::string& file, const std::string& component,
                const std::vector<double>& values, const std::function<void(PeerFile&)>& change = {}) {
    PeerFile peer;
    peer.title = "Test Event, 03/05/2024, Test Station, " + component;
    peer.values = values;
    if (change) change(peer);
    write_file(dir / file, peer.text());
}

std::vector<CosmosChannel> cosmos_channels(const Signal& values) {
    std::vector<CosmosChannel> channels(3);
    const char* names[] = {"HNN", "HNZ", "HNE"};
    const int azimuths[] = {360, 0, 90};
    for (std::size_t k = 0; k < 3; ++k) {
        channels[k].channel = names[k];
        channels[k].azimuth = azimuths[k];
        channels[k].values = values[k];
    }
    return channels;
}

// Channels 360, Up and 90 of a CSMIP file, as Volume 2 or Volume 1 (film pairs, or digital values).
std::vector<CsmipChannel> csmip_channels(const Signal& values, bool corrected, bool digital = false) {
    std::vector<CsmipChannel> channels(3);
    const char* orientations[] = {"360 Deg", "Up", "90 Deg"};
    const int slots[] = {360, 500, 90};
    for (std::size_t k = 0; k < 3; ++k) {
        channels[k].corrected = corrected;
        channels[k].digital = digital;
        channels[k].orientation = orientations[k];
        channels[k].slot27 = slots[k];
        channels[k].values = values[k];
    }
    return channels;
}

// Components 360, up and 90 of an SMC record, one file each (TESTN, TESTZ, TESTE); `change` alters
// the first.
void write_smc(const fs::path& dir, const Signal& values, const std::function<void(SmcFile&)>& change) {
    const char* components[] = {"360", "up", "90"};
    const int azimuths[] = {360, -32768, 90};
    const char* ids[] = {"TESTN", "TESTZ", "TESTE"};
    for (std::size_t k = 0; k < 3; ++k) {
        SmcFile smc;
        smc.id = ids[k];
        smc.component = components[k];
        smc.azimuth = azimuths[k];
        smc.values = values[k];
        if (k == 0 && change) change(smc);
        write_file(dir / ids[k], smc.text());
    }
}

std::string smc_text(const Signal& v, const std::function<void(SmcFile&)>& change) {
    SmcFile smc;
    smc.values = v[0];
    change(smc);
    return smc.text();
}

struct ArchiveCase {
    std::string name;
    std::function<void(const fs::path&, const Signal&)> write;
    double divisor, factor;
    std::vector<std::string> arguments;
    std::vector<std::string> words;
    std::vector<std::size_t> order;  // the stored components in table order; 3: absent
    Items items;
    std::string err;
    double interval = 0.01;
};

const Items cosmos_items = {{"network", "AK"},
                            {"azimuths", "90,0,0"},
                            {"dips", "0,0,-90"},
                            {"latitude", "60.9677"},
                            {"longitude", "-144.6051"},
                            {"elevation", "512"},
                            {"start", "2024-03-05T03:34:05Z"},
                            {"units", "cm/s/s"},
                            {"level", "V2"},
                            {"filter", "0.03,20"},
                            {"origin_time", "2024-03-05T03:34:00Z"},
                            {"origin_latitude", "61.3464"},
                            {"origin_depth", "46"},
                            {"magnitude", "7"},
                            {"source", "rec.V2c"}};

const ArchiveCase cases[] = {
    {"PeerThreeFilesOrderedByAzimuth",
     [](const fs::path& dir, const Signal& v) {
         write_peer(dir, "a.AT2", "337", v[0]);
         write_peer(dir, "b.AT2", "UP", v[1]);
         write_peer(dir, "c.AT2", "67", v[2]);
     },
     1e5,
     gravity,
     {"a.AT2", "b.AT2", "c.AT2", "-o", "table.txt"},
     {"Test_Station", "H67", "H337", "UP"},
     {2, 0, 1},
     {{"azimuths", "67,337,-"},
      {"dips", "0,0,-90"},
      {"units", "cm/s/s"},
      {"event", "Test Event"},
      {"event_date", "2024-03-05"},
      {"source", "c.AT2"}},
     ""},
    {"PeerTwoHorizontalsVerticalAbsent",
     [](const fs::path& dir, const Signal& v) {
         write_peer(dir, "n.AT2", "0", v[0]);
         write_peer(dir, "e.AT2", "90", v[1]);
     },
     1e5,
     gravity,
     {"n.AT2", "e.AT2", "-o", "table.txt"},
     {"Test_Station", "H90", "H0", "none"},
     {1, 0, 3},
     {{"azimuths", "90,0,-"}, {"absent", "3"}},
     ""},
    {"CosmosOneFileOfThreeChannels",
     [](const fs::path& dir, const Signal& v) {
         write_file(dir / "rec.V2c", cosmos_text(cosmos_channels(v)));
     },
     100,
     1,
     {"rec.V2c", "-o", "table.txt"},
     {"BMR", "HNE", "HNN", "HNZ"},
     {2, 0, 1},
     cosmos_items,
     ""},
    {"CosmosStatedPeakDiffers",
     [](const fs::path& dir, const Signal& v) {
         auto channels = cosmos_channels(v);
         channels[0].peak = 1.5;
         write_file(dir / "rec.V2c", cosmos_text(channels));
     },
     100,
     1,
     {"rec.V2c", "-o", "table.txt"},
     {"BMR", "HNE", "HNN", "HNZ"},
     {2, 0, 1},
     {},
     "smwave-table: rec.V2c: channel block 1: the peak acceleration is 10 but the real header (value 64) "
     "states 1.5 (more than 0.1 % apart); the agency's filtering may explain a difference\n"},
    {"EsmThreeFiles",
     [](const fs::path& dir, const Signal& v) {
         const char* streams[] = {"HNZ", "HNN", "HNE"};
         for (std::size_t k = 0; k < 3; ++k) {
             EsmFile esm;
             esm.stream = streams[k];
             esm.units = k == 1 ? "m/s^2" : "cm/s^2";
             esm.values = v[k];
             if (k == 1) {
                 for (double& value : esm.values) value /= 100;
             }
             write_file(dir / (std::string(streams[k]) + ".ASC"), esm.text());
         }
     },
     100,
     1,
     {"HNZ.ASC", "HNN.ASC", "HNE.ASC", "-o", "table.txt"},
     {"ARS1", "HNE", "HNN", "HNZ"},
     {2, 1, 0},
     {{"network", "HI"},
      {"azimuths", "90,0,0"},
      {"latitude", "38.125"},
      {"start", "2024-03-05T03:34:05Z"},
      {"filter", "0.1,30"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"magnitude", "4.6"},
      {"source", "HNE.ASC"}},
     ""},
    {"CwbLocalTimeMadeUtc",
     [](const fs::path& dir, const Signal& v) {
         CwbFile cwb;
         cwb.up = v[0], cwb.north = v[1], cwb.east = v[2];
         write_file(dir / "EAS.dat", cwb.text());
     },
     100,
     1,
     {"EAS.dat", "-o", "table.txt"},
     {"EAS", "E", "N", "U"},
     {2, 1, 0},
     {{"azimuths", "90,0,0"},
      {"dips", "0,0,-90"},
      {"latitude", "22.381"},
      {"longitude", "120.857"},
      {"start", "2024-03-05T03:34:05Z"},
      {"units", "cm/s/s"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"magnitude", "6"}},
     "",
     0.02},
    {"GeonetV2aWithVelocityAndDisplacement",
     [](const fs::path& dir, const Signal& v) {
         GeonetFile geonet;
         for (const auto& series : v) {
             auto& mm = geonet.values.emplace_back();
             for (const double value : series) mm.push_back(value * 10);
         }
         write_file(dir / "rec.V2A", geonet.text());
     },
     100,
     1,
     {"rec.V2A", "-o", "table.txt"},
     {"TEST", "S62W", "N28W", "Up"},
     {2, 0, 1},
     {{"azimuths", "242,332,0"},
      {"dips", "0,0,-90"},
      {"latitude", "-42.6194"},
      {"longitude", "173.0536"},
      {"level", "V2A"},
      {"filter", "0.1-0.25,24.5-25.5"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"origin_latitude", "-42.6925"},
      {"origin_depth", "15"}},
     ""},
    {"GeonetV1aValuesTouching",
     [](const fs::path& dir, const Signal& v) {
         GeonetFile geonet;
         geonet.corrected = false;
         for (const auto& series : v) {
             auto& mm = geonet.values.emplace_back();
             for (const double value : series) mm.push_back(value * 10);
         }
         write_file(dir / "rec.V1A", geonet.text());
     },
     1,
     1,
     {"rec.V1A", "-o", "table.txt"},
     {"TEST", "S62W", "N28W", "Up"},
     {2, 0, 1},
     {{"level", "V1A"}, {"start", "2024-03-05T03:34:05Z"}},
     ""},
    {"CsmipVolume2ThreeChannels",
     [](const fs::path& dir, const Signal& v) {
         write_file(dir / "rec.V2", csmip_text(csmip_channels(v, true)));
     },
     100,
     1,
     {"rec.V2", "-o", "table.txt"},
     {"13160", "H90", "H360", "UP"},
     {2, 0, 1},
     {{"azimuths", "90,0,-"},
      {"dips", "0,0,-90"},
      {"latitude", "33.634"},
      {"longitude", "-117.902"},
      {"start", "2024-03-05T03:34:05Z"},
      {"units", "cm/s/s"},
      {"level", "V2"},
      {"filter", "0.1,23"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"origin_latitude", "34.201"},
      {"origin_longitude", "-116.826"},
      {"origin_depth", "7"},
      {"magnitude", "6.4"},
      {"source", "rec.V2"}},
     ""},
    {"CsmipVolume1FilmPairs",
     [](const fs::path& dir, const Signal& v) {
         write_file(dir / "rec.V1", csmip_text(csmip_channels(v, false)));
     },
     100,
     gravity / 10,
     {"rec.V1", "-o", "table.txt"},
     {"13160", "H90", "H360", "UP"},
     {2, 0, 1},
     {{"level", "V1"}, {"trigger", "2024-03-05T03:34:05Z"}, {"magnitude", "6.4"}, {"origin_depth", "7"}},
     ""},
    {"CsmipVolume1DigitalInG",
     [](const fs::path& dir, const Signal& v) {
         write_file(dir / "rec.V1", csmip_text(csmip_channels(v, false, true)));
     },
     1000,
     gravity,
     {"rec.V1", "-o", "table.txt"},
     {"13160", "H90", "H360", "UP"},
     {2, 0, 1},
     {{"level", "V1"}, {"units", "cm/s/s"}},
     ""},
    {"RenadicOrientationFromItsWords",
     [](const fs::path& dir, const Signal& v) {
         auto channels = csmip_channels(v, false);
         const char* words[] = {"NS       (STA CHN:  1)", "Z       (STA CHN:  2)", "EW       (STA CHN:  3)"};
         for (std::size_t k = 0; k < 3; ++k) channels[k].orientation = words[k], channels[k].slot27 = 0;
         for (auto& channel : channels) channel.agency = "RENADIC";
         write_file(dir / "rec.v1", csmip_text(channels));
     },
     100,
     gravity / 10,
     {"rec.v1", "-o", "table.txt"},
     {"13160", "EW", "NS", "Z"},
     {2, 0, 1},
     {{"azimuths", "90,0,-"}, {"dips", "0,0,-90"}},
     ""},
    {"CsmipStatedPeakDiffers",
     [](const fs::path& dir, const Signal& v) {
         auto channels = csmip_channels(v, true);
         channels[0].peak = 12.5;
         write_file(dir / "rec.V2", csmip_text(channels));
     },
     100,
     1,
     {"rec.V2", "-o", "table.txt"},
     {"13160", "H90", "H360", "UP"},
     {2, 0, 1},
     {},
     "smwave-table: rec.V2: channel block 1: the peak acceleration is 10 but the header states 12.5 (more "
     "than "
     "0.1 % apart); the agency's filtering may explain a difference\n"},
    {"SmcThreeFiles",
     [](const fs::path& dir, const Signal& v) { write_smc(dir, v, {}); },
     100,
     1,
     {"TESTN", "TESTZ", "TESTE", "-o", "table.txt"},
     {"TEST", "H90", "H360", "UP"},
     {2, 0, 1},
     {{"azimuths", "90,0,-"},
      {"dips", "0,0,-90"},
      {"latitude", "37.79"},
      {"longitude", "-122.4"},
      {"units", "cm/s/s"},
      {"level", "corrected"},
      {"origin_latitude", "37.036"},
      {"origin_depth", "18"},
      {"magnitude", "6.9"},
      {"source", "TESTE"}},
     ""},
    {"SmcStatedMaximumDiffers",
     [](const fs::path& dir, const Signal& v) { write_smc(dir, v, [](SmcFile& f) { f.maximum = 11.0; }); },
     100,
     1,
     {"TESTN", "TESTZ", "TESTE", "-o", "table.txt"},
     {"TEST", "H90", "H360", "UP"},
     {2, 0, 1},
     {},
     "smwave-table: TESTN: the maximum is 10 but real 30 states 11 (more than 0.1 % apart); the agency's "
     "filtering may explain a difference\n"},
    {"UscThreeFilesOfPairs",
     [](const fs::path& dir, const Signal& v) {
         const char* bearings[] = {"N00E", "UP", "N90E"};
         for (std::size_t k = 0; k < 3; ++k) {
             UscFile usc;
             usc.bearing = bearings[k];
             usc.values = v[k];
             write_file(dir / ("u" + std::to_string(k) + ".y0a"), usc.text());
         }
     },
     100,
     gravity / 10,
     {"u0.y0a", "u1.y0a", "u2.y0a", "-o", "table.txt"},
     {"0057", "N90E", "N00E", "UP"},
     {2, 0, 1},
     {{"azimuths", "90,0,-"},
      {"latitude", "34.419"},
      {"longitude", "-118.426"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"origin_longitude", "-118.537"},
      {"level", "V1"}},
     ""},
    {"BhrcThreeComponentsByTheirAzimuths",
     [](const fs::path& dir, const Signal& v) {
         BhrcFile bhrc;
         bhrc.values = v;
         write_file(dir / "5522-1.V1", bhrc.text());
     },
     100,
     gravity / 10,
     {"5522-1.V1", "-o", "table.txt"},
     {"Test_Site", "T1", "L1", "V1"},
     {2, 0, 1},
     {{"azimuths", "54,324,-"},
      {"latitude", "37.485"},
      {"longitude", "45.891"},
      {"elevation", "1333"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"origin_latitude", "38.52"},
      {"origin_depth", "12"},
      {"magnitude", "6.1"}},
     ""},
    {"AfadColumnsWithTheirPeaks",
     [](const fs::path& dir, const Signal& v) {
         AfadFile afad;
         afad.values = v;
         write_file(dir / "rec.txt", afad.text());
     },
     100,
     1,
     {"rec.txt", "-o", "table.txt"},
     {"0921", "E-W", "N-S", "U-D"},
     {1, 0, 2},
     {{"azimuths", "90,0,-"},
      {"dips", "0,0,-90"},
      {"latitude", "37.8747"},
      {"longitude", "27.59223"},
      {"elevation", "66"},
      {"start", "2024-03-05T03:34:05Z"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"origin_latitude", "36.9198"},
      {"origin_depth", "19.44"},
      {"magnitude", "6.5"}},
     ""},
    {"AfadStatedPeakDiffers",
     [](const fs::path& dir, const Signal& v) {
         AfadFile afad;
         afad.values = v;
         afad.pga = 9.5;
         write_file(dir / "rec.txt", afad.text());
     },
     100,
     1,
     {"rec.txt", "-o", "table.txt"},
     {"0921", "E-W", "N-S", "U-D"},
     {1, 0, 2},
     {},
     "smwave-table: rec.txt: column N-S: the peak acceleration is 10 but the header states 9.5 (more than "
     "0.1 % "
     "apart): check the file\n"},
    {"UnamChannelsByTheirBearings",
     [](const fs::path& dir, const Signal& v) {
         UnamFile unam;
         unam.values = v;
         write_file(dir / "CANA2403.051", unam.text());
     },
     100,
     1,
     {"CANA2403.051", "-o", "table.txt"},
     {"CANA", "N90E", "N00E", "V"},
     {1, 0, 2},
     {{"azimuths", "90,0,-"},
      {"latitude", "18.567007"},
      {"longitude", "-101.977162"},
      {"elevation", "1140"},
      {"start", "2024-03-05T03:34:05.5Z"},
      {"origin_time", "2024-03-05T03:34:00Z"},
      {"origin_longitude", "-100.1"},
      {"origin_depth", "51"},
      {"magnitude", "7.1"}},
     ""},
};

void PrintTo(const ArchiveCase& c, std::ostream* out) { *out << c.name; }

class ArchiveEndToEnd : public ::testing::TestWithParam<ArchiveCase> {};

TEST_P(ArchiveEndToEnd, GivesTheSignalBackWithItsMetadata) {
    const ArchiveCase& c = GetParam();
    TempDir dir;
    const Signal values = stored(c.divisor);
    c.write(dir.path(), values);
    const ToolResult run = run_table(dir.path(), c.arguments);
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, c.err);
    const TableContent table = read_table(dir / "table.txt");
    EXPECT_EQ(table.words, c.words);
    const auto head = companion::read_table_head(dir / "table.txt");
    ASSERT_TRUE(head && head->metadata) << table.provenance;
    for (const auto& [key, value] : c.items) EXPECT_EQ(head->metadata->find(key), value) << key;
    EXPECT_EQ(head->metadata->number("dt"), c.interval);
    EXPECT_EQ(companion::absent_components(*head->metadata)[2], c.order[2] == 3);
    const Signal expected = expected_table(values, c.factor, c.order);
    ASSERT_EQ(table.time.size(), samples);
    for (std::size_t k = 0; k < 3; ++k) {
        for (std::size_t i = 0; i < samples; ++i)
            ASSERT_NEAR(table.components[k][i], expected[k][i], 1e-9) << "component " << k + 1 << ", " << i;
    }
    expect_smwave_gives_back(dir.path(), "table.txt", expected);
}

// Blank lines after a file's data are read as nothing; a number after them is refused at its line.
TEST_P(ArchiveEndToEnd, AfterTheDataOnlyBlankLines) {
    const ArchiveCase& c = GetParam();
    for (const bool number_after_blanks : {false, true}) {
        TempDir dir;
        c.write(dir.path(), stored(c.divisor));
        std::vector<std::string> refusal_places;
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            std::string text = read_file(entry.path());
            if (!text.ends_with('\n')) text += '\n';
            const auto lines = std::count(text.begin(), text.end(), '\n');
            write_file(entry.path(), text + " \n\n" + (number_after_blanks ? "1.5\n" : ""));
            refusal_places.push_back(entry.path().filename().string() + ":" + std::to_string(lines + 3) + ": ");
        }
        const ToolResult run = run_table(dir.path(), c.arguments);
        if (!number_after_blanks) {
            EXPECT_EQ(run.status, 0) << run.err;
            continue;
        }
        EXPECT_EQ(run.status, 2) << run.err;
        EXPECT_TRUE(std::any_of(refusal_places.begin(), refusal_places.end(),
                                [&](const std::string& place) { return run.err.starts_with("smwave-table: " + place); }))
            << run.err;
    }
}

INSTANTIATE_TEST_SUITE_P(Table, ArchiveEndToEnd, ::testing::ValuesIn(cases),
                         [](const auto& info) { return info.param.name; });

struct RefusalCase {
    std::string name;
    std::function<std::string(const Signal&)> text;  // the one file r1, read with r2 and r3 as given
    std::string message;
};

std::string peer_text(const Signal& v, const std::function<void(PeerFile&)>& change) {
    PeerFile peer;
    peer.values = v[0];
    change(peer);
    return peer.text();
}

std::string replaced_line(std::string text, std::size_t number, const std::string& line) {
    std::size_t begin = 0;
    for (std::size_t k = 1; k < number; ++k) begin = text.find('\n', begin) + 1;
    return text.replace(begin, text.find('\n', begin) - begin, line);
}

const RefusalCase refusals[] = {
    {"PeerTruncated", [](const Signal& v) { return peer_text(v, [](PeerFile& f) { f.count = "601"; }); },
     "r1:125: the samples end after 600 of the 601 values the header states"},
    {"PeerCountBeyondData",
     [](const Signal& v) { return peer_text(v, [](PeerFile& f) { f.count = "599"; }); },
     "r1:124: more samples values than the 599 the header states"},
    {"PeerBadToken",
     [](const Signal& v) { return replaced_line(peer_text(v, [](PeerFile&) {}), 9, "  1.0E-02 x.y"); },
     "r1:9: 'x.y' is not a number"},
    {"PeerUnitsUnknown",
     [](const Signal& v) {
         return peer_text(v,
                          [](PeerFile& f) { f.quantity = "ACCELERATION TIME SERIES IN UNITS OF FURLONGS"; });
     },
     "r1:3: the units after UNITS OF ('FURLONGS') are not ones of acceleration"},
    {"PeerVelocity",
     [](const Signal& v) {
         return peer_text(v, [](PeerFile& f) { f.quantity = "VELOCITY TIME SERIES IN UNITS OF CM/SEC"; });
     },
     "r1:3: a velocity time series: the table holds acceleration"},
    {"CosmosCountBeyondData",
     [](const Signal& v) {
         auto channels = cosmos_channels(v);
         channels[0].count = "     599";
         return cosmos_text(channels);
     },
     "r1:124: more acceleration data values than the 599 the header states"},
    {"CosmosTruncated",
     [](const Signal& v) {
         const std::string text = cosmos_text(cosmos_channels(v));
         return text.substr(0, text.find("End-of-data"));
     },
     "r1:125: the end-of-data line is missing"},
    {"CosmosSentinelInData",
     [](const Signal& v) {
         auto channels = cosmos_channels(v);
         channels[1].values[7] = -999;
         return cosmos_text(channels);
     },
     "r1:175: the unknown-value sentinel -999 stands for sample 8 of the data"},
    {"CosmosUnitsUnknown",
     [](const Signal& v) {
         auto channels = cosmos_channels(v);
         channels[0].units = "furlongs(99)";
         return cosmos_text(channels);
     },
     "r1:49: the units= of the data header line ('furlongs') are not units of acceleration"},
    {"CosmosBadRealField",
     [](const Signal& v) {
         return replaced_line(cosmos_text(cosmos_channels(v)), 30, "      60.967700            abc");
     },
     "r1:30: 'abc' is not a number"},
    {"EsmCountShort",
     [](const Signal& v) {
         EsmFile esm;
         esm.values = v[0];
         esm.count = "601";
         return esm.text();
     },
     "r1:627: the samples end after 600 of the 601 values the header states"},
    {"EsmUnitsUnknown",
     [](const Signal& v) {
         EsmFile esm;
         esm.values = v[0];
         esm.units = "furlongs";
         return esm.text();
     },
     "r1:21: UNITS 'furlongs' are not units of acceleration"},
    {"CwbRowsBeyondLength",
     [](const Signal& v) {
         CwbFile cwb;
         cwb.up = v[0], cwb.north = v[1], cwb.east = v[2];
         cwb.length = "11.98";
         return cwb.text();
     },
     "r1:622: rows beyond the 599 of #RecordLength x #SampleRate"},
    {"GeonetTruncated",
     [](const Signal& v) {
         GeonetFile geonet;
         geonet.values = v;
         const std::string text = geonet.text();
         return text.substr(0, text.size() - 81 * 2);
     },
     "r1:617: the displacement values end after 580 of the 600 values the header states"},
    {"CsmipCountDiffersFromHeader",
     [](const Signal& v) {
         auto channels = csmip_channels(v, true);
         channels[1].count = "  599";
         return csmip_text(channels);
     },
     "599 points, but integer 53 states 600"},
    {"CsmipTruncated",
     [](const Signal& v) {
         const std::string text = csmip_text(csmip_channels(v, true));
         return text.substr(0, text.find("/&"));
     },
     "the channel's end line ('/&  ... End of data ...') is missing"},
    {"CsmipSentinelInData",
     [](const Signal& v) {
         auto channels = csmip_channels(v, true);
         channels[0].values[9] = -999;
         return csmip_text(channels);
     },
     "r1:48: the unknown-value sentinel -999 stands for sample 10"},
    {"CsmipBadIntegerField",
     [](const Signal& v) { return replaced_line(csmip_text(csmip_channels(v, true)), 27, " -999 x999"); },
     "r1:27: 'x999' is not a number"},
    {"CsmipFilmTimesUneven",
     [](const Signal& v) {
         return replaced_line(csmip_text(csmip_channels(v, false)), 30,
                              "  0.100  1.000  0.115  1.000  0.120  1.000  0.130  1.000  0.140  1.000");
     },
     "r1:30: the pairs' times are not evenly spaced (sample 12 at 0.115 s"},
    {"CsmipUnitsUnknown",
     [](const Signal& v) {
         return replaced_line(csmip_text(csmip_channels(v, false)), 12, "UNITS OF UNCOR ACCEL ARE FURLONGS");
     },
     "r1:12: the units of the data cannot be told"},
    {"SmcUncorrectedRefused",
     [](const Signal& v) { return smc_text(v, [](SmcFile& f) { f.type = "1 UNCORRECTED ACCELEROGRAM"; }); },
     "r1:1: the file holds '1 UNCORRECTED ACCELEROGRAM': only corrected accelerograms"},
    {"SmcTruncated",
     [](const Signal& v) {
         const std::string text = smc_text(v, [](SmcFile&) {});
         return text.substr(0, text.size() - 81);
     },
     "the samples end after 592 of the 600 values the header states"},
    {"SmcCountBeyondData", [](const Signal& v) { return smc_text(v, [](SmcFile& f) { f.count = "599"; }); },
     "more samples values than the 599 the header states"},
    {"SmcBadToken",
     [](const Signal& v) { return replaced_line(smc_text(v, [](SmcFile&) {}), 40, " 1.0000E+0 x.yE+0"); },
     "r1:40: 'x.yE+0' is not a number"},
    {"UscCountDiffers",
     [](const Signal& v) {
         UscFile usc;
         usc.values = v[0];
         usc.count = "599";
         return usc.text();
     },
     "r1:11: the number of points (599) differs from integer 28 (600)"},
    {"UscTruncated",
     [](const Signal& v) {
         UscFile usc;
         usc.values = v[0];
         const std::string text = usc.text();
         return text.substr(0, text.size() - 72);
     },
     "the (time, value) pairs' numbers end after 1190 of the 1200 values the header states"},
    {"BhrcNoEndLine",
     [](const Signal& v) {
         BhrcFile bhrc;
         bhrc.values = v;
         std::string text = bhrc.text();
         return text.replace(text.find("/&"), 2, "  ");
     },
     "r1:88: expected the channel's end line"},
    {"BhrcBadToken",
     [](const Signal& v) {
         BhrcFile bhrc;
         bhrc.values = v;
         return replaced_line(bhrc.text(), 30, " 1.000000E-01     x.500000");
     },
     "r1:30: 'x.500000' is not a number"},
    {"AfadRowsShort",
     [](const Signal& v) {
         AfadFile afad;
         afad.values = v;
         afad.count = "601";
         return afad.text();
     },
     "r1:619: the rows' values end after 1800 of the 1803 values the header states"},
    {"AfadUnitsUnknown",
     [](const Signal& v) {
         AfadFile afad;
         afad.values = v;
         afad.pga_label = "RAW PGA VALUES (mg)";
         return afad.text();
     },
     "r1:13: the PGA values are not in gal: the units cannot be told"},
    {"UnamCountsDisagree",
     [](const Signal& v) {
         UnamFile unam;
         unam.values = v;
         unam.counts = "/600/600/599";
         return unam.text();
     },
     "r1:25: the channels' sample counts are not one count"},
    {"UnamUnitsUnknown",
     [](const Signal& v) {
         UnamFile unam;
         unam.values = v;
         unam.units = "furlongs";
         return unam.text();
     },
     "r1:27: UNIDADES DE LOS DATOS 'furlongs' are not units of acceleration"},
    {"UnamTruncated",
     [](const Signal& v) {
         UnamFile unam;
         unam.values = v;
         const std::string text = unam.text();
         return text.substr(0, text.size() - 31 * 3);
     },
     "the rows' values end after 1791 of the 1800 values the header states"},
    {"UnknownTextFormat", [](const Signal&) { return std::string("a b c d e\n1 2 3 4 5\n2 3 4 5 6\n"); },
     "r1: not K-NET, SAC, miniSEED, PEER, COSMOS, ESM, CWB, GeoNet, CSMIP, RENADIC, SMC, USC, BHRC, AFAD or "
     "UNAM; for plain columns give --columns"},
};

void PrintTo(const RefusalCase& c, std::ostream* out) { *out << c.name; }

class ArchiveRefusal : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(ArchiveRefusal, NamesTheFileAndLine) {
    const RefusalCase& c = GetParam();
    TempDir dir;
    write_file(dir / "r1", c.text(stored(1e5)));
    const ToolResult run = run_table(dir.path(), {"r1", "-o", "table.txt"});
    EXPECT_EQ(run.status, 2) << run.err;
    EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    EXPECT_TRUE(run.err.starts_with("smwave-table: r1")) << run.err;
    EXPECT_FALSE(fs::exists(dir / "table.txt"));
}

INSTANTIATE_TEST_SUITE_P(Table, ArchiveRefusal, ::testing::ValuesIn(refusals),
                         [](const auto& info) { return info.param.name; });

// Rows of numbers 80 characters wide whose first row starts with one digit and a blank look, by their
// twelfth line, like an SMC integer header: they stay plain columns.
TEST(ArchiveRecognition, WideNumericRowsStayColumns) {
    TempDir dir;
    std::string rows;
    for (int i = 0; i < 20; ++i) {
        rows += std::to_string(i) + " 0.01";
        for (int k = 0; k < 9; ++k) rows += "     " + std::to_string(k + i) + ".125";
        rows += "\n";
    }
    write_file(dir / "wide.txt", rows);
    const ToolResult run = run_table(dir.path(), {"wide.txt", "--columns", "1,2,3,4", "-o", "table.txt"});
    EXPECT_EQ(run.status, 0) << run.err;
}

TEST(ArchiveInfo, RowsOfEachFormat) {
    TempDir dir;
    const Signal values = stored(100);
    write_peer(dir.path(), "a.AT2", "67", values[0]);
    write_file(dir / "rec.V2c", cosmos_text(cosmos_channels(values)));
    EsmFile esm;
    esm.values = values[0];
    write_file(dir / "e.ASC", esm.text());
    CwbFile cwb;
    cwb.up = values[0], cwb.north = values[1], cwb.east = values[2];
    write_file(dir / "c.dat", cwb.text());
    GeonetFile geonet;
    geonet.values = values;
    write_file(dir / "g.V2A", geonet.text());
    write_file(dir / "rec.V2", csmip_text(csmip_channels(values, true)));
    SmcFile smc;
    smc.values = values[0];
    write_file(dir / "s.smc", smc.text());
    UscFile usc;
    usc.values = values[0];
    write_file(dir / "u.y0a", usc.text());
    BhrcFile bhrc;
    bhrc.values = values;
    write_file(dir / "b.V1", bhrc.text());
    AfadFile afad;
    afad.values = values;
    write_file(dir / "f.txt", afad.text());
    UnamFile unam;
    unam.values = values;
    write_file(dir / "m.191", unam.text());
    const ToolResult run = run_table(dir.path(), {"--info", "a.AT2", "rec.V2c", "e.ASC", "c.dat", "g.V2A",
                                                  "rec.V2", "s.smc", "u.y0a", "b.V1", "f.txt", "m.191"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(
        run.out.substr(run.out.find('\n') + 1),
        "a.AT2,peer,,Test Station,,H67,,100,600,cm/s/s,,,,,,,,\n"
        "rec.V2c,cosmos,AK,BMR,,HNN HNZ HNE,2024-03-05T03:34:05Z,100,600,cm/s/s,60.9677,-144.6051,"
        "2024-03-05T03:34:00Z,61.3464,-149.9552,46,7,\n"
        "e.ASC,esm,HI,ARS1,,HNE,2024-03-05T03:34:05Z,100,600,cm/s/s,38.125,21.5,2024-03-05T03:34:00Z,38.5,"
        "22.25,9,4.6,\n"
        "c.dat,cwb,,EAS,,U N E,2024-03-05T03:34:05Z,50,600,cm/s/s,22.381,120.857,2024-03-05T03:34:00Z,24.14,"
        "121.69,10,6,\n"
        "g.V2A,geonet,,TEST,,N28W Up S62W,,100,600,cm/s/s,-42.6194,173.0536,2024-03-05T03:34:00Z,-42.6925,"
        "173.0219,15,7.8,\n"
        "rec.V2,csmip,,13160,,H360 UP H90,2024-03-05T03:34:05Z,100,600,cm/s/s,33.634,-117.902,"
        "2024-03-05T03:34:00Z,34.201,-116.826,7,6.4,\n"
        "s.smc,smc,,TEST,,H360,,100,600,cm/s/s,37.79,-122.4,,37.036,-121.883,18,6.9,\n"
        "u.y0a,usc,,0057,,N00W,,100,600,cm/s/s,34.419,-118.426,2024-03-05T03:34:00Z,34.21,-118.537,,,\n"
        "b.V1,bhrc,,Test Site,,L1 V1 "
        "T1,,100,600,cm/s/s,37.485,45.891,2024-03-05T03:34:00Z,38.52,46.86,12,6.1,\n"
        "f.txt,afad,,0921,,N-S E-W "
        "U-D,2024-03-05T03:34:05Z,100,600,cm/s/s,37.8747,27.59223,2024-03-05T03:34:00Z,"
        "36.9198,27.4435,19.44,6.5,\n"
        "m.191,unam,,CANA,,N00E N90E V,2024-03-05T03:34:05.5Z,100,600,cm/s/s,18.567007,-101.977162,"
        "2024-03-05T03:34:00Z,17.2,-100.1,51,7.1,\n");
}

}  // namespace
}  // namespace smwave::testing

// Counts made physical with a StationXML written here: the epoch that covers the record, the
// spellings of acceleration units, the checks that refuse, and the whole conversion of a miniSEED
// record with its inventory beside it.
#include "table/inventory.hpp"

#include <gtest/gtest.h>

#include "companion/number_text.hpp"
#include "companion/suite_file.hpp"
#include "support/tool_run.hpp"
#include "table/correction.hpp"
#include "table/record_files.hpp"
#include "table/table_checks.hpp"

namespace smwave::table {
namespace {

constexpr std::int64_t start_2024 = 1709609645LL * 1000000;  // 2024-03-05T03:34:05Z

struct XmlChannel {
    std::string code = "HNZ";
    std::string start = "2020-01-01T00:00:00Z", end;
    std::string sensitivity = "200000", input = "m/s**2", output = "count";
    std::vector<std::string> gains = {"0.5", "400000"};
    std::string rate = "100", azimuth = "0", dip = "-90";
};

std::string station_xml(const std::vector<XmlChannel>& channels) {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FDSNStationXML "
        "xmlns=\"http://www.fdsn.org/xml/station/1\" "
        "schemaVersion=\"1.2\">\n<Source>test</Source><Created>2024-01-01T00:00:00Z</Created>\n"
        "<Network code=\"XX\"><Station code=\"STA\"><Latitude>35.5</Latitude><Longitude>-120.25</Longitude>"
        "<Elevation>100</Elevation>\n";
    for (const auto& c : channels) {
        xml += "<Channel code=\"" + c.code + "\" locationCode=\"\" startDate=\"" + c.start + "\"" +
               (c.end.empty() ? "" : " endDate=\"" + c.end + "\"") + "><Azimuth>" + c.azimuth +
               "</Azimuth><Dip>" + c.dip + "</Dip><SampleRate>" + c.rate +
               "</SampleRate><Response><InstrumentSensitivity><Value>" + c.sensitivity +
               "</Value><Frequency>1</Frequency><InputUnits><Name>" + c.input +
               "</Name></InputUnits><OutputUnits><Name>" + c.output +
               "</Name></OutputUnits></InstrumentSensitivity>";
        for (std::size_t k = 0; k < c.gains.size(); ++k) {
            xml += "<Stage number=\"" + std::to_string(k + 1) + "\"><StageGain><Value>" + c.gains[k] +
                   "</Value><Frequency>1</Frequency></StageGain></Stage>";
        }
        xml += "</Response></Channel>\n";
    }
    return xml + "</Station></Network></FDSNStationXML>\n";
}

Component counts_of(std::string channel, std::int64_t start = start_2024) {
    Component component;
    component.samples = {200000, -400000, 0};
    component.interval = 0.01;
    component.start = start;
    component.network = "XX";
    component.station = "STA";
    component.name = std::move(channel);
    component.units = "counts";
    component.source = "rec.mseed";
    return component;
}

// Corrects one component with the inventory of `channels`: its first sample, or the problem's text.
std::string corrected(const std::vector<XmlChannel>& channels, Component component) {
    testing::TempDir dir;
    testing::write_file(dir / "inv.xml", station_xml(channels));
    std::vector<Component> components = {std::move(component)};
    CorrectionOptions options;
    options.inventory = dir / "inv.xml";
    auto used = correct_components(components, options);
    if (!used) return companion::describe(used.problem());
    EXPECT_EQ(components[0].units, "cm/s/s");
    EXPECT_EQ(components[0].correction, "sensitivity");
    std::string first;
    companion::append_shortest(first, components[0].samples[0]);
    return first;
}

TEST(Inventory, TheEpochCoveringTheStartIsChosen) {
    XmlChannel old_epoch, new_epoch;
    old_epoch.end = "2023-01-01T00:00:00Z";
    old_epoch.sensitivity = "100000";
    old_epoch.gains = {"100000"};
    new_epoch.start = "2023-01-01T00:00:00Z";
    new_epoch.end = "2599-12-31T23:59:59Z";  // the far future stands for an open epoch
    EXPECT_EQ(corrected({old_epoch, new_epoch}, counts_of("HNZ")), "100");  // 200000 / 200000 m/s**2
    EXPECT_EQ(corrected({old_epoch, new_epoch}, counts_of("HNZ", 1609459200LL * 1000000)), "200");  // 2021
    EXPECT_NE(
        corrected({old_epoch, new_epoch}, counts_of("HNZ", 1500000000LL * 1000000))
            .find("no epoch of channel XX.STA..HNZ covers the record's start 2017-07-14T02:40:00Z (epochs: "
                  "2020-01-01T00:00:00Z to 2023-01-01T00:00:00Z; 2023-01-01T00:00:00Z to open)"),
        std::string::npos);
}

TEST(Inventory, UnitSpellingsBecomeGal) {
    const std::pair<std::string, std::string> units[] = {
        {"M/S**2", "100"}, {"m/s2", "100"}, {"cm/s**2", "1"}, {"g", "980.665"}, {"GAL", "1"}};
    for (const auto& [spelling, first] : units) {
        XmlChannel channel;
        channel.input = spelling;
        channel.output = "COUNTS";
        EXPECT_EQ(corrected({channel}, counts_of("HNZ")), first) << spelling;
    }
}

TEST(Inventory, FailedChecksAreRefusalsNamingChannelAndCheck) {
    const auto with = [](const std::function<void(XmlChannel&)>& change) {
        XmlChannel channel;
        change(channel);
        return std::vector<XmlChannel>{channel};
    };
    const std::string channel = "rec.mseed: channel XX.STA..HNZ (";
    const std::pair<std::vector<XmlChannel>, std::string> cases[] = {
        {with([](XmlChannel& c) {
             c.gains = {"0.5", "500000"};
         }),
         "check of the stage gains: their product 250000 differs from the sensitivity 2e+05 by more than 10 "
         "%"},
        {with([](XmlChannel& c) {
             c.rate = "1E02";
             c.gains = {"0.5", "430000"};
         }),
         ""},  // 7.5 % is accepted
        {with([](XmlChannel& c) { c.rate = "50"; }),
         "check of the sample rate: the channel's 50 Hz is not the data's 100 Hz"},
        {with([](XmlChannel& c) { c.output = "V"; }),
         "check of the units: the sensitivity is in V per m/s**2, not counts per acceleration"},
        {with([](XmlChannel& c) { c.input = "M/S"; }), "(a velocity sensor: its acceleration needs"},
        {with([](XmlChannel& c) { c.sensitivity = "0"; }), "check of the sensitivity"},
        {with([](XmlChannel& c) { c.code = "HNE"; }), "has no channel XX.STA..HNZ"},
    };
    for (const auto& [channels, message] : cases) {
        const std::string result = corrected(channels, counts_of("HNZ"));
        if (message.empty()) {
            EXPECT_EQ(result, "100");
        } else {
            EXPECT_NE(result.find(message), std::string::npos) << result;
            if (message.starts_with("check")) {
                EXPECT_EQ(result.rfind(channel, 0), 0u) << result;
            }
        }
    }
}

TEST(Inventory, NotStationXmlIsRefused) {
    EXPECT_FALSE(Inventory::parse("<a><b></a>", "bad.xml"));
    const auto other = Inventory::parse("<?xml version=\"1.0\"?><quakeml/>", "q.xml");
    ASSERT_FALSE(other);
    EXPECT_NE(other.problem().what.find("not a StationXML"), std::string::npos);
    EXPECT_TRUE(looks_like_stationxml("<?xml version=\"1.0\"?>\n<FDSNStationXML schemaVersion=\"1.2\">"));
    EXPECT_TRUE(looks_like_quakeml("<q:quakeml xmlns:q=\"http://quakeml.org/xmlns/quakeml/1.2\">"));
}

TEST(Inventory, MiniseedWithItsStationXmlBesideBecomesGal) {
    testing::TempDir dir;
    const auto signal = testing::known_signal(600);
    testing::write_file(dir / "rec.mseed",
                        testing::mseed_channel("STA", "HNE", start_2024, 100, signal[0]) +
                            testing::mseed_channel("STA", "HNN", start_2024, 100, signal[1]) +
                            testing::mseed_channel("STA", "HNZ", start_2024, 100, signal[2]));
    XmlChannel east, north, up;
    east.code = "HNE", east.azimuth = "90", east.dip = "0";
    north.code = "HNN", north.dip = "0", north.input = "M/S**2";
    up.sensitivity = "-200000", up.gains = {"-0.5", "400000"};  // polarity reversed: the sign is kept
    testing::write_file(dir / "XX.STA.xml", station_xml({east, north, up}));
    const auto run = testing::run_table(dir.path(), {"rec.mseed", "-o", "t.txt"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    const auto table = testing::read_table(dir / "t.txt");
    for (std::size_t k = 0; k < 3; ++k) {
        double mean = 0;
        for (const auto count : signal[k]) mean += count;
        mean /= 600;
        const double factor = k == 2 ? -100.0 / 200000 : 100.0 / 200000;
        EXPECT_NEAR(table.components[k][7], (signal[k][7] - mean) * factor, 1e-12);
    }
    const auto head = companion::read_table_head(dir / "t.txt");
    ASSERT_TRUE(head && head->metadata);
    const std::pair<std::string, std::string> items[] = {
        {"units", "cm/s/s"},        {"correction", "sensitivity,sensitivity,sensitivity"},
        {"azimuths", "90,0,0"},     {"dips", "0,0,-90"},
        {"latitude", "35.5"},       {"sensitivity", "2e+05,2e+05,-2e+05"},
        {"inventory", "XX.STA.xml"}};
    for (const auto& [key, value] : items) EXPECT_EQ(head->metadata->find(key), value) << key;

    const auto full = testing::run_table(dir.path(), {"rec.mseed", "--response", "full", "-o", "f.txt"});
    ASSERT_EQ(full.status, 0) << full.err;
    const auto full_head = companion::read_table_head(dir / "f.txt");
    EXPECT_EQ(full_head->metadata->find("correction"), "full,full,full");
    EXPECT_EQ(full_head->metadata->find("prefilter"), "0.005,0.01,40,45");
    EXPECT_EQ(full_head->metadata->find("water_level"), "60");
    const auto velocity = [&] {
        XmlChannel sensor = up;
        sensor.input = "m/s";
        return station_xml({east, north, sensor});
    };
    testing::write_file(dir / "velocity.xml", velocity());
    const auto refused = testing::run_table(dir.path(), {"rec.mseed", "--inventory", "velocity.xml"});
    EXPECT_NE(refused.err.find("(a velocity sensor: its acceleration needs --response full)"),
              std::string::npos)
        << refused.err;
    const auto differentiated = testing::run_table(
        dir.path(), {"rec.mseed", "--inventory", "velocity.xml", "--response", "full", "-o", "v.txt"});
    ASSERT_EQ(differentiated.status, 0) << differentiated.err;
    EXPECT_EQ(companion::read_table_head(dir / "v.txt")->metadata->find("correction"),
              "full,full,full-differentiated");

    const auto units = testing::run_table(dir.path(), {"rec.mseed", "--units", "m/s**2", "-o", "u.txt"});
    ASSERT_EQ(units.status, 0) << units.err;
    EXPECT_EQ(companion::read_table_head(dir / "u.txt")->metadata->find("correction"), "units,units,units");
    EXPECT_NEAR(testing::read_table(dir / "u.txt").components[0][7],
                (signal[0][7] -
                 [&] {
                     double mean = 0;
                     for (const auto count : signal[0]) mean += count;
                     return mean / 600;
                 }()) *
                    100,
                1e-9);
    const auto unknown = testing::run_table(dir.path(), {"rec.mseed", "--units", "m/s"});
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.err.find("--units m/s is not a unit of acceleration"), std::string::npos)
        << unknown.err;
}

}  // namespace
}  // namespace smwave::table

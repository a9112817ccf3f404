// A regional StationXML inventory, written here: 2000 channel epochs of 100 stations, each with a
// poles-and-zeros sensor, a gain stage and a 200-tap FIR (about 30 MB), parsed and one channel's
// epoch chosen, as smwave-table does for a record.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <string>

#include "table/inventory.hpp"

namespace {

using namespace smwave::table;

std::string channel_xml(const std::string& code, const std::string& start, const std::string& end) {
    std::string xml =
        "<Channel code=\"" + code + "\" locationCode=\"00\" startDate=\"" + start + "\" endDate=\"" + end +
        "\"><Latitude>35</Latitude><Longitude>-120</Longitude><Elevation>100</Elevation>"
        "<Depth>0</Depth><Azimuth>0</Azimuth><Dip>0</Dip><SampleRate>100</SampleRate><Response>"
        "<InstrumentSensitivity><Value>200000</Value><Frequency>1</Frequency><InputUnits><Name>m/s**2"
        "</Name></InputUnits><OutputUnits><Name>count</Name></OutputUnits></InstrumentSensitivity>"
        "<Stage number=\"1\"><PolesZeros><InputUnits><Name>m/s**2</Name></InputUnits><OutputUnits>"
        "<Name>V</Name></OutputUnits><PzTransferFunctionType>LAPLACE (RADIANS/SECOND)"
        "</PzTransferFunctionType><NormalizationFactor>98696.05</NormalizationFactor>"
        "<NormalizationFrequency>1</NormalizationFrequency><Pole number=\"0\"><Real>-222.1441</Real>"
        "<Imaginary>222.1441</Imaginary></Pole><Pole number=\"1\"><Real>-222.1441</Real><Imaginary>"
        "-222.1441</Imaginary></Pole></PolesZeros><StageGain><Value>0.5</Value><Frequency>1</Frequency>"
        "</StageGain></Stage><Stage number=\"2\"><Coefficients><InputUnits><Name>V</Name></InputUnits>"
        "<OutputUnits><Name>count</Name></OutputUnits><CfTransferFunctionType>DIGITAL"
        "</CfTransferFunctionType></Coefficients><StageGain><Value>400000</Value><Frequency>1"
        "</Frequency></StageGain></Stage><Stage number=\"3\"><FIR><InputUnits><Name>count</Name>"
        "</InputUnits><OutputUnits><Name>count</Name></OutputUnits><Symmetry>NONE</Symmetry>";
    for (int k = 0; k < 200; ++k) {
        char tap[96];
        std::snprintf(tap, sizeof tap, "<NumeratorCoefficient i=\"%d\">%.9e</NumeratorCoefficient>", k,
                      1.0 / 200 + 1e-6 * k);
        xml += tap;
    }
    return xml +
           "</FIR><Decimation><InputSampleRate>100</InputSampleRate><Factor>1</Factor><Offset>0</Offset>"
           "<Delay>0</Delay><Correction>0</Correction></Decimation><StageGain><Value>1</Value><Frequency>1"
           "</Frequency></StageGain></Stage></Response></Channel>\n";
}

std::string regional_inventory() {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FDSNStationXML xmlns=\"http://www.fdsn.org/xml/"
        "station/1\" schemaVersion=\"1.2\"><Source>bench</Source><Created>2024-01-01T00:00:00Z"
        "</Created><Network code=\"XX\">\n";
    for (int station = 0; station < 100; ++station) {
        xml += "<Station code=\"S" + std::to_string(station) +
               "\"><Latitude>35</Latitude><Longitude>-120"
               "</Longitude><Elevation>100</Elevation>\n";
        for (const char* code : {"HNE", "HNN", "HNZ", "HHE", "HHN", "HHZ", "BHE", "BHN", "BHZ", "LHZ"}) {
            xml += channel_xml(code, "2010-01-01T00:00:00Z", "2020-01-01T00:00:00Z");
            xml += channel_xml(code, "2020-01-01T00:00:00Z", "2599-12-31T23:59:59Z");
        }
        xml += "</Station>\n";
    }
    return xml + "</Network></FDSNStationXML>\n";
}

void parse_and_choose(benchmark::State& state) {
    const std::string text = regional_inventory();
    const ChannelCodes codes{"XX", "S99", "00", "HNZ"};
    const std::int64_t start = 1709609645LL * 1000000;
    for (auto _ : state) {
        auto inventory = Inventory::parse(text, "regional.xml");
        auto epoch = inventory->epoch_at(codes, start);
        benchmark::DoNotOptimize(epoch);
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(text.size()) *
                            static_cast<std::int64_t>(state.iterations()));
    state.counters["MB"] = static_cast<double>(text.size()) / 1e6;
}
BENCHMARK(parse_and_choose)->Unit(benchmark::kMillisecond);

}  // namespace

// Writes a synthetic earthquake's download as a user would have it from the agencies' sites.
//
//     make_event DIR [SECONDS]
//
// An M 6.1 event at 36.10 N 140.20 E, 12 km deep, on 2024-03-05 03:34:00 UTC, recorded by 14
// stations: six K-NET stations (three files each, origin in the headers), two KiK-net sites (surface
// and borehole sensors, six files each), four stations of network SY in miniSEED counts (S11's three
// channels in one file) with one StationXML file for them, two stations as PEER AT2 pairs (two horizontals,
// no coordinates), a QuakeML file of the event and a note that is no record. The twelve stations with
// coordinates lie 5 to 200 km from the epicentre; amplitudes fall with distance. Every run writes the same
// files.
#include <libmseed.h>

#include <algorithm>
#include <array>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "synthetic_motion.hpp"

namespace {

namespace fs = std::filesystem;
using example::pi;
constexpr double degree = pi / 180;

// The event.
constexpr double origin_latitude = 36.10, origin_longitude = 140.20, origin_depth_km = 12, magnitude = 6.1;
constexpr std::int64_t origin_seconds = 1709609640;  // 2024-03-05T03:34:00Z
constexpr std::int64_t japan_offset_seconds = 9 * 3600;

constexpr int hertz = 100;

enum class Kind { knet, kiknet, mseed, peer };

struct Station {
    Kind kind;
    const char* code;
    double distance_km, azimuth_degrees;  // from the epicentre
};

const Station stations[] = {
    {Kind::knet, "IBR001", 5, 30},     {Kind::kiknet, "IBRH07", 14, 80},   {Kind::knet, "IBR002", 22, 120},
    {Kind::mseed, "S09", 30, 160},     {Kind::knet, "TCG003", 48, 300},    {Kind::mseed, "S10", 60, 240},
    {Kind::kiknet, "TCGH08", 70, 330}, {Kind::knet, "SIT004", 95, 210},    {Kind::mseed, "S11", 120, 50},
    {Kind::knet, "FKS005", 150, 10},   {Kind::mseed, "S12", 180, 140},     {Kind::knet, "GNM006", 198, 270},
    {Kind::peer, "Pine Ridge", 40, 0}, {Kind::peer, "Cedar Flat", 110, 0},
};

// The generator's sequence of a seed, its bits spread.
example::Random random_of(std::uint64_t seed) { return example::Random(seed * 2654435761u + 88172645463325252u); }

struct Place {
    double latitude, longitude;
};

// The point `distance_km` from the epicentre along `azimuth_degrees`, on a sphere of radius 6371 km.
Place place_of(const Station& station) {
    const double d = station.distance_km / 6371, a = station.azimuth_degrees * degree;
    const double lat1 = origin_latitude * degree, lon1 = origin_longitude * degree;
    const double lat2 = std::asin(std::sin(lat1) * std::cos(d) + std::cos(lat1) * std::sin(d) * std::cos(a));
    const double lon2 = lon1 + std::atan2(std::sin(a) * std::sin(d) * std::cos(lat1),
                                          std::cos(d) - std::sin(lat1) * std::sin(lat2));
    return {lat2 / degree, lon2 / degree};
}

double hypocentral_km(const Station& station) { return std::hypot(station.distance_km, origin_depth_km); }

// Whole seconds from the origin to the first sample: a few seconds before the P wave arrives.
int start_offset_seconds(const Station& station) {
    return static_cast<int>(std::floor(hypocentral_km(station) / 6.5)) - 3;
}

// One component in gal: P and S bursts of sinusoids between 0.3 and 12 Hz, the S burst's peak
// `peak_gal`, over weak noise.
std::vector<double> component_gal(std::uint64_t seed, double peak_gal, const Station& station, int samples) {
    example::Random random = random_of(seed);
    const example::Partials partials(random);
    const double offset = start_offset_seconds(station);
    const double p_onset = hypocentral_km(station) / 6.5 - offset,
                 s_onset = hypocentral_km(station) / 3.6 - offset;
    const auto envelope = [](double s, double rise) {
        return s <= 0 ? 0.0 : (s / rise) * (s / rise) * std::exp(2.0 - 2.0 * s / rise);
    };
    std::vector<double> values(samples);
    double largest = 0;
    for (int i = 0; i < samples; ++i) {
        const double t = static_cast<double>(i) / hertz;
        values[static_cast<std::size_t>(i)] =
            partials.at(t) * (envelope(t - s_onset, 4) + 0.25 * envelope(t - p_onset, 2));
        largest = std::max(largest, std::abs(values[static_cast<std::size_t>(i)]));
    }
    for (double& value : values) value = value * peak_gal / largest + peak_gal * 2e-3 * (random.next() - 0.5);
    return values;
}

// The peak of a station's strongest horizontal: falling with hypocentral distance.
double peak_gal_of(const Station& station) { return 350 * std::pow(10 / hypocentral_km(station), 1.1); }

// H1, H2 and Z of a station's sensor (`sensor` 1 for a second one): the second horizontal and the
// vertical weaker than the first.
std::array<std::vector<double>, 3> station_motion(std::size_t index, int seconds, double scale,
                                                  std::size_t sensor = 0) {
    const Station& station = stations[index];
    const double peak = peak_gal_of(station) * scale;
    const std::uint64_t seed = index * 10 + sensor * 5;
    const int samples = seconds * hertz;
    return {component_gal(seed + 1, peak, station, samples),
            component_gal(seed + 2, 0.85 * peak, station, samples),
            component_gal(seed + 3, 0.55 * peak, station, samples)};
}

void write_text(const fs::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary);
    out << text;
    if (!out.flush()) {
        std::fprintf(stderr, "make_event: %s: cannot be written\n", file.string().c_str());
        std::exit(1);
    }
}

std::string printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

// "yyyy/mm/dd hh:mm:ss" of a time in seconds since 1970.
std::string slashed_time(std::int64_t seconds) {
    const std::time_t t = static_cast<std::time_t>(seconds);
    std::tm parts{};
    gmtime_r(&t, &parts);
    char text[32];
    std::strftime(text, sizeof text, "%Y/%m/%d %H:%M:%S", &parts);
    return text;
}

// A K-NET/KiK-net ASCII file: the header (times in JST, the record time 15 s after the first sample),
// then the counts eight to a line.
std::string knet_text(const Station& station, const std::string& direction, const std::vector<double>& gal,
                      double height) {
    constexpr double counts_per_gal = 8223790.0 / 7845.0;
    constexpr std::int64_t offset = 1234;
    std::vector<std::int64_t> counts;
    double sum = 0;
    for (const double value : gal)
        sum += static_cast<double>(counts.emplace_back(std::llround(value * counts_per_gal) + offset));
    const double mean = sum / static_cast<double>(counts.size());
    double peak = 0;
    for (const std::int64_t count : counts)
        peak = std::max(peak, std::abs(static_cast<double>(count) - mean) / counts_per_gal);
    const Place place = place_of(station);
    const std::int64_t start = origin_seconds + start_offset_seconds(station);
    std::string text =
        "Origin Time       " + slashed_time(origin_seconds + japan_offset_seconds) + "\nLat.              " +
        printed("%.2f", origin_latitude) + "\nLong.             " + printed("%.2f", origin_longitude) +
        "\nDepth. (km)       " + printed("%.0f", origin_depth_km) + "\nMag.              " +
        printed("%.1f", magnitude) + "\nStation Code      " + station.code + "\nStation Lat.      " +
        printed("%.4f", place.latitude) + "\nStation Long.     " + printed("%.4f", place.longitude) +
        "\nStation Height(m) " + printed("%.0f", height) + "\nRecord Time       " +
        slashed_time(start + 15 + japan_offset_seconds) + "\nSampling Freq(Hz) " + std::to_string(hertz) +
        "Hz\nDuration Time(s)  " + std::to_string(gal.size() / hertz) + "\nDir.              " + direction +
        "\nScale Factor      7845(gal)/8223790\nMax. Acc. (gal)   " + printed("%.3f", peak) +
        "\nLast Correction   " + slashed_time(start + japan_offset_seconds) + "\nMemo.\n";
    for (std::size_t i = 0; i < counts.size(); ++i) {
        text += printed("%9.0f", static_cast<double>(counts[i]));
        if (i % 8 == 7 || i + 1 == counts.size()) text += '\n';
    }
    return text;
}

void write_knet(const fs::path& dir, std::size_t index, int seconds) {
    const Station& station = stations[index];
    const auto motion = station_motion(index, seconds, 1);
    const std::string stem = std::string(station.code) + "2403051234";
    const std::pair<const char*, const char*> files[] = {{"EW", "E-W"}, {"NS", "N-S"}, {"UD", "U-D"}};
    for (std::size_t k = 0; k < 3; ++k)
        write_text(dir / (stem + "." + files[k].first), knet_text(station, files[k].second, motion[k], 30));
}

// A KiK-net site: the borehole sensor (directions 1 to 3, files .NS1 .EW1 .UD1), then the surface
// one (4 to 6, .NS2 .EW2 .UD2), which shakes three times as hard.
void write_kiknet(const fs::path& dir, std::size_t index, int seconds) {
    const Station& station = stations[index];
    const std::string stem = std::string(station.code) + "2403051234";
    for (int sensor = 0; sensor < 2; ++sensor) {
        const auto motion =
            station_motion(index, seconds, sensor == 0 ? 1.0 / 3 : 1.0, static_cast<std::size_t>(sensor));
        const char* names[] = {"NS", "EW", "UD"};
        const std::size_t slots[] = {1, 0, 2};
        for (int k = 0; k < 3; ++k) {
            write_text(dir / (stem + "." + names[k] + std::to_string(sensor + 1)),
                       knet_text(station, std::to_string(sensor * 3 + k + 1), motion[slots[k]],
                                 sensor == 0 ? -120 : 40));
        }
    }
}

constexpr double counts_per_metre_per_second2 = 419430;  // the accelerometers' sensitivity

void append_record(char* record, int length, void* bytes) {
    static_cast<std::string*>(bytes)->append(record, static_cast<std::size_t>(length));
}

// Steim-2 miniSEED records of one channel of network SY, location 00.
std::string mseed_channel(const Station& station, const std::string& channel,
                          const std::vector<double>& gal) {
    std::vector<std::int32_t> counts;
    for (const double value : gal)
        counts.push_back(static_cast<std::int32_t>(std::lround(value / 100 * counts_per_metre_per_second2)));
    MSRecord* record = msr_init(nullptr);
    std::strncpy(record->network, "SY", sizeof record->network - 1);
    std::strncpy(record->station, station.code, sizeof record->station - 1);
    std::strncpy(record->location, "00", sizeof record->location - 1);
    std::strncpy(record->channel, channel.c_str(), sizeof record->channel - 1);
    record->dataquality = 'D';
    record->starttime = (origin_seconds + start_offset_seconds(station)) * 1'000'000LL;
    record->samprate = hertz;
    record->reclen = 4096;
    record->encoding = DE_STEIM2;
    record->byteorder = 1;
    record->datasamples = counts.data();
    record->numsamples = static_cast<std::int64_t>(counts.size());
    record->sampletype = 'i';
    std::string bytes;
    std::int64_t packed = 0;
    msr_pack(record, append_record, &bytes, &packed, 1, 0);
    record->datasamples = nullptr;
    msr_free(&record);
    return bytes;
}

const char* const mseed_channels[] = {"HNE", "HNN", "HNZ"};

// A file per channel, or one file holding the three (`one_file`).
void write_mseed(const fs::path& dir, std::size_t index, int seconds, bool one_file) {
    const Station& station = stations[index];
    const auto motion = station_motion(index, seconds, 1);
    const std::string stem = "SY." + std::string(station.code) + ".00.";
    std::string all;
    for (std::size_t k = 0; k < 3; ++k) {
        const std::string bytes = mseed_channel(station, mseed_channels[k], motion[k]);
        if (one_file)
            all += bytes;
        else
            write_text(dir / (stem + mseed_channels[k] + ".mseed"), bytes);
    }
    if (one_file) write_text(dir / (stem + "HN.mseed"), all);
}

// One StationXML file for the miniSEED stations: places, orientations and the sensitivity in counts.
std::string station_xml() {
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<FDSNStationXML "
        "xmlns=\"http://www.fdsn.org/xml/station/1\" "
        "schemaVersion=\"1.2\">\n  <Source>make_event</Source>\n  <Created>2024-03-05T04:00:00Z</Created>\n"
        "  <Network code=\"SY\" startDate=\"2020-01-01T00:00:00Z\">\n";
    for (const Station& station : stations) {
        if (station.kind != Kind::mseed) continue;
        const Place place = place_of(station);
        xml += "    <Station code=\"" + std::string(station.code) +
               "\" startDate=\"2020-01-01T00:00:00Z\">\n" + "      <Latitude>" +
               printed("%.4f", place.latitude) + "</Latitude><Longitude>" + printed("%.4f", place.longitude) +
               "</Longitude><Elevation>55</Elevation>\n";
        const double azimuths[] = {90, 0, 0}, dips[] = {0, 0, -90};
        for (std::size_t k = 0; k < 3; ++k) {
            xml +=
                "      <Channel code=\"" + std::string(mseed_channels[k]) +
                "\" locationCode=\"00\" startDate=\"2020-01-01T00:00:00Z\">\n        <Latitude>" +
                printed("%.4f", place.latitude) + "</Latitude><Longitude>" +
                printed("%.4f", place.longitude) +
                "</Longitude><Elevation>55</Elevation><Depth>0</Depth>\n        <Azimuth>" +
                printed("%.0f", azimuths[k]) + "</Azimuth><Dip>" + printed("%.0f", dips[k]) +
                "</Dip><SampleRate>" + std::to_string(hertz) + "</SampleRate>\n" +
                "        <Response><InstrumentSensitivity><Value>" +
                printed("%.0f", counts_per_metre_per_second2) +
                "</Value><Frequency>1</Frequency><InputUnits><Name>M/S**2</Name></InputUnits>"
                "<OutputUnits><Name>COUNTS</Name></OutputUnits></InstrumentSensitivity>\n"
                "          <Stage "
                "number=\"1\"><StageGain><Value>2</Value><Frequency>1</Frequency></StageGain></Stage>\n"
                "          <Stage "
                "number=\"2\"><StageGain><Value>209715</Value><Frequency>1</Frequency></StageGain></Stage>\n"
                "        </Response>\n      </Channel>\n";
        }
        xml += "    </Station>\n";
    }
    return xml + "  </Network>\n</FDSNStationXML>\n";
}

// A PEER AT2 file: four header lines, then the acceleration in g, five values to a line.
std::string peer_text(const Station& station, const std::string& direction, const std::vector<double>& gal) {
    std::string text = "PEER NGA STRONG MOTION DATABASE RECORD\nSynthetic 2024, 03/05/2024, " +
                       std::string(station.code) + ", " + direction +
                       "\nACCELERATION TIME SERIES IN UNITS OF G\nNPTS=" +
                       printed("%7.0f", static_cast<double>(gal.size())) + ", DT=   .0100 SEC,\n";
    for (std::size_t i = 0; i < gal.size(); ++i) {
        text += printed("%15.7E", gal[i] / 980.665);
        if (i % 5 == 4 || i + 1 == gal.size()) text += '\n';
    }
    return text;
}

// Two horizontals at the azimuths `first` and `first` + 90 degrees.
void write_peer(const fs::path& dir, std::size_t index, int seconds, int first) {
    const Station& station = stations[index];
    const auto motion = station_motion(index, seconds, 1);
    std::string stem = "RSN" + std::to_string(9001 + index) + "_";
    for (const char c : std::string(station.code)) {
        if (c != ' ' && stem.size() < 12)
            stem += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    for (int k = 0; k < 2; ++k) {
        const std::string direction = printed("%03.0f", first + 90 * k);
        write_text(dir / (stem + direction + ".AT2"),
                   peer_text(station, direction, motion[static_cast<std::size_t>(1 - k)]));
    }
}

std::string quakeml() {
    return "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
           "<q:quakeml xmlns=\"http://quakeml.org/xmlns/bed/1.2\" "
           "xmlns:q=\"http://quakeml.org/xmlns/quakeml/1.2\">\n"
           "  <eventParameters publicID=\"smi:local/synthetic/parameters\">\n"
           "    <event publicID=\"smi:local/synthetic/2024-03-05\">\n"
           "      <preferredOriginID>smi:local/synthetic/origin</preferredOriginID>\n"
           "      <preferredMagnitudeID>smi:local/synthetic/magnitude</preferredMagnitudeID>\n"
           "      <origin "
           "publicID=\"smi:local/synthetic/origin\"><time><value>2024-03-05T03:34:00Z</value></time>\n"
           "        <latitude><value>" +
           printed("%.2f", origin_latitude) + "</value></latitude><longitude><value>" +
           printed("%.2f", origin_longitude) + "</value></longitude><depth><value>" +
           printed("%.0f", origin_depth_km * 1000) +
           "</value></depth></origin>\n"
           "      <magnitude publicID=\"smi:local/synthetic/magnitude\"><mag><value>" +
           printed("%.1f", magnitude) +
           "</value></mag><type>Mw</type></magnitude>\n    </event>\n  </eventParameters>\n</q:quakeml>\n";
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc == 3 ? std::atoi(argv[2]) : 60;
    if (argc < 2 || argc > 3 || seconds < 30 || seconds > 3600) {
        std::fputs(
            "usage: make_event DIR [SECONDS]  (a synthetic earthquake's download in DIR, records of\n"
            "SECONDS from 30 to 3600, default 60, sampled at 100 Hz)\n",
            stderr);
        return 2;
    }
    const fs::path dir = argv[1];
    std::error_code error;
    for (const char* folder : {"knet", "kik", "fdsn", "peer"}) fs::create_directories(dir / folder, error);
    if (error) {
        std::fprintf(stderr, "make_event: %s: cannot make the folder: %s\n", dir.string().c_str(),
                     error.message().c_str());
        return 1;
    }
    int peer_azimuth = 0;
    for (std::size_t index = 0; index < std::size(stations); ++index) {
        switch (stations[index].kind) {
            case Kind::knet:
                write_knet(dir / "knet", index, seconds);
                break;
            case Kind::kiknet:
                write_kiknet(dir / "kik", index, seconds);
                break;
            case Kind::mseed:
                write_mseed(dir / "fdsn", index, seconds, std::string(stations[index].code) == "S11");
                break;
            case Kind::peer:
                write_peer(dir / "peer", index, seconds, peer_azimuth);
                peer_azimuth += 45;
                break;
        }
    }
    write_text(dir / "fdsn" / "stations.xml", station_xml());
    write_text(dir / "event.xml", quakeml());
    write_text(dir / "README.txt",
               "Downloaded 2024-03-06: K-NET, KiK-net, the SY network's FDSN data and two PEER records.\n");
    return 0;
}

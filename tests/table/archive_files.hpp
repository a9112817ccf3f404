#pragma once
// Records of the engineering archives' text formats, written by the tests from a known signal.
#include <optional>
#include <string>
#include <vector>

namespace smwave::testing {

// A PEER time series (.AT2); `count` defaults to the number of values, the values are printed E15.7.
struct PeerFile {
    std::string title = "Test Event, 03/05/2024, Test Station, 67";
    std::string quantity = "ACCELERATION TIME SERIES IN UNITS OF G";
    std::string count;
    std::string interval = ".0100";
    std::vector<double> values;
    std::string text() const;
};

// One channel block of a COSMOS file: 13 text lines, 100 integers (10I8), 100 reals (5F15.6),
// comments with the channel's codes, and an acceleration section in 8F10.5.
struct CosmosChannel {
    std::string kind = "Corrected acceleration";
    std::string channel = "HNE";
    int level = 2;     // integer slot 1
    int azimuth = 90;  // integer slot 54; -999 unknown
    std::string units = "cm/sec2(04)";
    std::optional<double> peak;  // real slot 64; default the values' peak
    std::string count;           // default the number of values
    std::vector<double> values;
};

// The channels' blocks, one after another, of station AK-BMR at 100 samples a second.
std::string cosmos_text(const std::vector<CosmosChannel>& channels);

// An ESM record of one stream: the header keys the reader uses, then one value a line (%.6f).
struct EsmFile {
    std::string stream = "HNE";
    std::string units = "cm/s^2";
    std::string count;          // default the number of values
    std::optional<double> pga;  // default the values' peak
    std::vector<double> values;
    std::string text() const;
};

// A CWB record: the `#` header, then rows of time, U, N, E in 4F10.3 at 50 samples a second.
struct CwbFile {
    std::string length;  // #RecordLength(sec); default the rows / 50
    std::string units = "gal. DCoffset(corr)";
    std::vector<double> up, north, east;
    std::string text() const;
};

// A GeoNet file of three components (values in mm/s/s, 10F8.1): V2A with velocity and displacement
// blocks (the acceleration divided by 10 and 100) or V1A without them, 100 samples a second.
struct GeonetFile {
    bool corrected = true;
    std::vector<std::string> directions = {"N28W", "Up", "S62W"};
    std::vector<int> azimuths = {332, 0, 242};
    std::string units = "mm/s/s";
    std::vector<std::vector<double>> values;
    std::string text() const;
};

// One channel of a CSMIP file. Volume 2: 25 text lines, 100 integers (16I5), 100 reals (8F10.4),
// acceleration (8F10.5, cm/s/s), velocity and displacement (the acceleration over 10 and 100).
// Volume 1: 13 text lines, 100 integers, 50 reals, then (time, value) pairs in tenths of g (10F7.3)
// or, `digital`, values in g after a data header line (8F9.6). 100 samples a second, station 13160.
struct CsmipChannel {
    bool corrected = true;
    bool digital = false;
    std::string orientation = "90 Deg";  // after "Chan  1:"
    int slot27 = 90;
    std::string count;            // default the number of values
    std::optional<double> peak;   // real 66 (Volume 2) or 7 (Volume 1, g); default the values' peak
    std::string agency = "CDMG";  // Volume 1's line 8 (RENADIC names itself there)
    std::vector<double> values;
};
std::string csmip_text(const std::vector<CsmipChannel>& channels);

// A USGS SMC file of one component: 11 text lines, 48 integers (8I10), 50 reals (5E15.7), two
// comment lines, then the values (8 fields of 10 characters, touching), 100 samples a second.
struct SmcFile {
    std::string type = "2 CORRECTED ACCELEROGRAM";
    std::string id = "TESTA";
    std::string component = "360";  // or "up"
    int azimuth = 360;              // integer 14; -32768 missing
    std::optional<double> maximum;  // real 30; default the values' maximum
    std::string count;              // integer 17; default the number of values
    std::vector<double> values;
    std::string text() const;
};

// A USC Volume I file of one component: 13 text lines, 100 integers, 50 reals, then (time, value)
// pairs in tenths of g, a blank and 10F7.3 a line, 100 samples a second.
struct UscFile {
    std::string bearing = "N00W";
    std::string count;  // default the number of values
    std::vector<double> values;
    std::string text() const;
};

// A BHRC file of three components L, V, T (azimuths 324 and 54): per component 13 text lines,
// 7 integer lines and 7 real lines cut at column 70, values in tenths of g (10E13.6), "/&".
struct BhrcFile {
    std::string count;  // line 11's and integer 28's; default the number of values
    std::vector<std::vector<double>> values;
    std::string text() const;
};

// An AFAD record: the labelled header, then rows of N-S, E-W, U-D in gal (F12.6, F14.6, F13.6).
struct AfadFile {
    std::string count;  // default the rows
    std::string pga_label = "RAW PGA VALUES (gal)";
    std::optional<double> pga;  // the N-S column's; default its peak
    std::vector<std::vector<double>> values;
    std::string text() const;
};

// A UNAM standard file: the labelled header (label to column 39, ':' in 40), the four title lines
// after "DATOS DE ACELERACION:", then rows of three channels N00E, N90E, V in 3F10.4, gal.
struct UnamFile {
    std::string counts;  // "/600/600/600" by default
    std::string units = "Gal (cm/s/s)";
    std::vector<std::vector<double>> values;
    std::string text() const;
};

}  // namespace smwave::testing

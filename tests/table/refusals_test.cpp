// What smwave-table refuses (status 2, "smwave-table: FILE:LINE: what", no table) and what it only
// warns about (status 0, the table written), for each format.
#include <gtest/gtest.h>

#include <cmath>
#include <functional>

#include "support/tool_run.hpp"
#include "table/record_files.hpp"
#include "table/table_checks.hpp"

namespace smwave::testing {
namespace {

namespace fs = std::filesystem;

constexpr std::int64_t start = 1709609645LL * 1000000;  // 2024-03-05T03:34:05Z
const auto signal = known_signal(600);

void write_knet(
    const fs::path& dir, const std::function<void(KnetFile&, std::size_t)>& change,
    const std::function<std::string(std::string)>& edit = [](std::string text) { return text; }) {
    const char* directions[] = {"E-W", "N-S", "U-D"};
    for (std::size_t k = 0; k < 3; ++k) {
        KnetFile file;
        file.direction = directions[k];
        file.counts = signal[k];
        change(file, k);
        write_file(dir / ("r" + std::to_string(k + 1)), k == 0 ? edit(file.text()) : file.text());
    }
}

void write_sac(
    const fs::path& dir, const std::function<void(SacFile&, std::size_t)>& change,
    const std::function<std::string(std::string)>& edit = [](std::string text) { return text; }) {
    for (std::size_t k = 0; k < 3; ++k) {
        SacFile file;
        file.data.assign(signal[k].begin(), signal[k].end());
        change(file, k);
        write_file(dir / ("r" + std::to_string(k + 1)), k == 0 ? edit(file.binary()) : file.binary());
    }
}

void write_sac_text(const fs::path& dir, const std::function<std::string(std::string)>& edit) {
    for (std::size_t k = 0; k < 3; ++k) {
        SacFile file;
        file.data.assign(signal[k].begin(), signal[k].end());
        write_file(dir / ("r" + std::to_string(k + 1)), k == 0 ? edit(file.text_form()) : file.text_form());
    }
}

void write_columns(const fs::path& dir, const std::function<void(std::vector<std::string>&)>& change) {
    std::vector<std::string> lines = {"# comment", "time ns ew ud"};
    for (std::size_t i = 0; i < 600; ++i) {
        lines.push_back(std::to_string(i) + "e-2 " + std::to_string(signal[0][i]) + ' ' +
                        std::to_string(signal[1][i]) + ' ' + std::to_string(signal[2][i]));
    }
    change(lines);
    std::string text;
    for (const auto& line : lines) text += line + '\n';
    write_file(dir / "r1", text);
}

std::string replaced(std::string text, const std::string& from, const std::string& to) {
    return text.replace(text.find(from), from.size(), to);
}

std::vector<std::int32_t> first(std::size_t count) {
    return {signal[0].begin(), signal[0].begin() + static_cast<long>(count)};
}

const std::vector<std::string> three = {"r1", "r2", "r3", "-o", "table.txt"};
const std::vector<std::string> one = {"r1", "-o", "table.txt"};

struct Case {
    std::string name;
    std::function<void(const fs::path&)> write;
    std::vector<std::string> arguments;
    int status;
    std::string message;  // a part of standard error
};

void PrintTo(const Case& c, std::ostream* out) { *out << c.name; }

const Case cases[] = {
    // K-NET and KiK-net.
    {"KnetBadToken",
     [](const fs::path& d) {
         write_knet(
             d, [](auto&, auto) {}, [](std::string t) { return replaced(t, "\n     5000", "\n     50x0"); });
     },
     three, 2, "smwave-table: r1:18: '50x0' is not a whole number of counts"},
    {"KnetShortHeader",
     [](const fs::path& d) {
         write_knet(
             d, [](auto&, auto) {}, [](std::string t) { return t.substr(0, t.find("Sampling")); });
     },
     three, 2, "smwave-table: r1:11: the header ends early: line 11 of 17 is missing"},
    {"KnetLabelOutOfPlace",
     [](const fs::path& d) {
         write_knet(
             d, [](auto&, auto) {}, [](std::string t) { return replaced(t, "Dir.  ", "Diz.  "); });
     },
     three, 2, "smwave-table: r1:13: header line 13 should begin"},
    {"KnetCountsAgainstDuration",
     [](const fs::path& d) { write_knet(d, [](KnetFile& f, auto) { f.duration = "7"; }); }, three, 2,
     "smwave-table: r1:92: 600 counts, but Duration Time x Sampling Freq gives 700"},
    {"KnetCountsPastTheDuration",
     [](const fs::path& d) { write_knet(d, [](KnetFile& f, auto) { f.duration = "5"; }); }, three, 2,
     "smwave-table: r1:80: 600 counts, but Duration Time x Sampling Freq gives 500"},
    {"KnetHugeFrequency",
     [](const fs::path& d) {
         write_knet(d, [](KnetFile& f, auto) {
             f.frequency = "1e98Hz";
             f.duration = "6";
         });
     },
     three, 2, "smwave-table: r1:92: 600 counts, but Duration Time x Sampling Freq gives 6e+98"},
    {"KnetBadScaleFactor",
     [](const fs::path& d) { write_knet(d, [](KnetFile& f, auto) { f.scale = "7845/8223790"; }); }, three, 2,
     "smwave-table: r1:14: '7845/8223790' is not a scale factor"},
    {"KnetZeroDenominator",
     [](const fs::path& d) { write_knet(d, [](KnetFile& f, auto) { f.scale = "7845(gal)/0"; }); }, three, 2,
     "smwave-table: r1:14:"},
    {"KiknetMixedSensors",
     [](const fs::path& d) {
         write_knet(d,
                    [](KnetFile& f, std::size_t k) { f.direction = k == 2 ? "3" : std::to_string(k + 4); });
     },
     three, 2, "smwave-table: r3: KiK-net borehole (1-3) and surface (4-6) sensors mixed with r1"},
    {"KiknetMixedAfterAKnetFile",
     [](const fs::path& d) {
         write_knet(d, [](KnetFile& f, std::size_t k) { f.direction = k == 0 ? "E-W" : k == 1 ? "1" : "6"; });
     },
     three, 2, "smwave-table: r3: KiK-net borehole (1-3) and surface (4-6) sensors mixed with r2"},
    {"KiknetMixedSensorsAllowed",
     [](const fs::path& d) {
         write_knet(d,
                    [](KnetFile& f, std::size_t k) { f.direction = k == 2 ? "3" : std::to_string(k + 4); });
     },
     {"r1", "r2", "r3", "--allow-mixed", "-o", "table.txt"},
     0,
     ""},
    {"KnetPeakDisagreesWithHeader",
     [](const fs::path& d) { write_knet(d, [](KnetFile& f, auto) { f.max_acc = "9.512"; }); }, three, 0,
     "smwave-table: r1: the peak of the record is"},
    // SAC.
    {"SacTruncated",
     [](const fs::path& d) {
         write_sac(
             d, [](auto&, auto) {}, [](std::string t) { return t.substr(0, t.size() - 10); });
     },
     three, 2, "smwave-table: r1: byte 3022: the file ends early: NPTS 600 needs 3032 bytes"},
    {"SacTrailingBytes",
     [](const fs::path& d) {
         write_sac(
             d, [](auto&, auto) {}, [](std::string t) { return t + "xx"; });
     },
     three, 2, "smwave-table: r1: byte 3032: bytes after the end of the data"},
    {"SacNotTimeSeries", [](const fs::path& d) { write_sac(d, [](SacFile& f, auto) { f.iftype = 2; }); },
     three, 2, "smwave-table: r1: byte 340: IFTYPE 2"},
    {"SacUneven", [](const fs::path& d) { write_sac(d, [](SacFile& f, auto) { f.leven = 0; }); }, three, 2,
     "smwave-table: r1: byte 420: LEVEN is not true"},
    {"SacUndefinedDelta",
     [](const fs::path& d) { write_sac(d, [](SacFile& f, auto) { f.delta = -12345.0f; }); }, three, 2,
     "smwave-table: r1: byte 0: DELTA is undefined"},
    {"SacSampleNotANumber",
     [](const fs::path& d) { write_sac(d, [](SacFile& f, std::size_t) { f.data[1] = std::nanf(""); }); },
     three, 2, "smwave-table: r1: byte 636: sample 2 is not a finite number"},
    {"SacDifferentIntervals",
     [](const fs::path& d) {
         write_sac(d, [](SacFile& f, std::size_t k) { f.delta = k == 1 ? 0.02f : 0.01f; });
     },
     three, 2, "smwave-table: r2: sampling interval 0.02 s differs from the 0.01 s of r1"},
    {"SacStartsApart",
     [](const fs::path& d) {
         write_sac(d, [](SacFile& f, std::size_t k) { f.begin = k == 2 ? 0.006f : 0.0f; });
     },
     three, 2, "smwave-table: r3: starts 0.006 s after r1 (more than half a sample); --trim cuts"},
    {"SacStartsWithinHalfASample",
     [](const fs::path& d) {
         write_sac(d, [](SacFile& f, std::size_t k) { f.begin = k == 2 ? 0.004f : 0.0f; });
     },
     three, 0, ""},
    {"SacUnequalLengths",
     [](const fs::path& d) {
         write_sac(d, [](SacFile& f, std::size_t k) {
             if (k == 1) f.data.resize(500);
         });
     },
     three, 0,
     "smwave-table: components of different lengths (600, 500, 600 samples): the shorter ones are padded "
     "with zeros to 600"},
    {"SacTextBadToken",
     [](const fs::path& d) {
         write_sac_text(d, [](std::string t) {
             return [](std::string t) {
                 std::size_t at = 0;
                 for (int line = 0; line < 30; ++line) at = t.find('\n', at) + 1;
                 t[at + 13] = 'x';  // in the first value of the data
                 return t;
             }(t);
         });
     },
     three, 2, "smwave-table: r1:31: '0.0000x0' is not a number"},
    {"SacTextShortHeader",
     [](const fs::path& d) { write_sac_text(d, [](std::string t) { return t.substr(0, 1200); }); }, three, 2,
     "smwave-table: r1:17: a header line of five numbers was expected"},
    {"SacTextTruncatedData",
     [](const fs::path& d) { write_sac_text(d, [](std::string t) { return t.substr(0, t.size() - 200); }); },
     three, 2, "smwave-table: r1:148: the file ends after 587 of 600 values"},
    // miniSEED.
    {"MseedGap",
     [](const fs::path& d) {
         write_file(d / "r1", mseed_channel("S", "HNE", start, 100, first(300)) +
                                  mseed_channel("S", "HNE", start + 5'000'000, 100, first(300)));
     },
     one, 2,
     "smwave-table: r1: XX.S..HNE: a gap of 2 s before 2024-03-05T03:34:10Z (fill it with zeros with "
     "--fill-gaps)"},
    {"MseedGapFilled",
     [](const fs::path& d) {
         write_file(d / "r1", mseed_channel("S", "HNE", start, 100, first(300)) +
                                  mseed_channel("S", "HNE", start + 5'000'000, 100, first(300)) +
                                  mseed_channel("S", "HNN", start, 100, first(800)) +
                                  mseed_channel("S", "HNZ", start, 100, first(800)));
     },
     {"r1", "--fill-gaps", "-o", "table.txt"},
     0,
     "smwave-table: r1: XX.S..HNE: 200 samples of gaps filled with zeros"},
    {"MseedOverlap",
     [](const fs::path& d) {
         write_file(d / "r1", mseed_channel("S", "HNE", start, 100, first(300)) +
                                  mseed_channel("S", "HNE", start + 2'000'000, 100, first(300)));
     },
     {"r1", "--fill-gaps"},
     2,
     "smwave-table: r1: XX.S..HNE: the data overlap by 1 s at 2024-03-05T03:34:07Z"},
    {"MseedRateChange",
     [](const fs::path& d) {
         write_file(d / "r1", mseed_channel("S", "HNE", start, 100, first(300)) +
                                  mseed_channel("S", "HNE", start + 3'000'000, 200, first(300)));
     },
     one, 2,
     "smwave-table: r1: XX.S..HNE: the sample rate changes from 100 Hz to 200 Hz at 2024-03-05T03:34:08Z"},
    {"MseedCutWithinARecord",
     [](const fs::path& d) {
         write_file(d / "r1", mseed_channel("S", "HNE", start, 100, first(600)).substr(0, 700));
     },
     one, 2, "smwave-table: r1: byte 512: the file ends within a record"},
    {"MseedSamplesBeyondTheRecord",
     [](const fs::path& d) {
         std::string r = mseed_channel("S", "HNE", start, 100, first(100));
         const auto byte = [&r](std::size_t at) { return static_cast<unsigned char>(r[at]); };
         const std::size_t blockette = byte(46) << 8 | byte(47);
         r[blockette + 4] = 0;  // text samples, copied by the decoder without a bound
         r[30] = 0x02;          // 600 of them in a 512-byte record
         r[31] = 0x58;
         write_file(d / "r1", r);
     },
     one, 2, "smwave-table: r1: byte 0: the record's samples run past its end"},
    {"MseedChannelsOfTwoStations",
     [](const fs::path& d) {
         write_file(d / "r1", mseed_channel("S", "HNE", start, 100, first(300)) +
                                  mseed_channel("T", "HNN", start, 100, first(300)) +
                                  mseed_channel("S", "HNZ", start, 100, first(300)));
     },
     one, 2, "smwave-table: r1: the channels come from different stations (S, T)"},
    {"MseedChannelNotThere",
     [](const fs::path& d) { write_file(d / "r1", mseed_channel("S", "HNE", start, 100, first(300))); },
     {"r1", "--channels", "HNE,HNN,HNZ"},
     2,
     "smwave-table: r1: no channel HNN (the file holds HNE)"},
    // Plain columns.
    {"ColumnsUnevenTime",
     [](const fs::path& d) { write_columns(d, [](auto& lines) { lines[101] = "99.2e-2 1 2 3"; }); }, one, 2,
     "smwave-table: r1:102: the time column is not evenly spaced"},
    {"ColumnsNameNotInHeader",
     [](const fs::path& d) { write_columns(d, [](auto&) {}); },
     {"r1", "--columns", "time,ns,EAST,ud"},
     2,
     "smwave-table: r1:2: no column named 'EAST' in the header (time, ns, ew, ud)"},
    {"ColumnsLongHeaderCutInMessages",
     [](const fs::path& d) {
         write_columns(d, [](auto& lines) { lines[1] = "time ns ew ud " + std::string(500, 'h'); });
     },
     {"r1", "--columns", "time,ns,x,ud"},
     2,
     "in the header (time, ns, ew, ud, hhhhhhhhhhhhhhhhhhhh"},
    {"ColumnsBadToken",
     [](const fs::path& d) { write_columns(d, [](auto& lines) { lines[50] = "48e-2 1 abc 3"; }); }, one, 2,
     "smwave-table: r1:51: 'abc' is not a number (column 3)"},
    {"ColumnsRowTooShort",
     [](const fs::path& d) { write_columns(d, [](auto& lines) { lines[40] = "38e-2 1 2"; }); }, one, 2,
     "smwave-table: r1:41: the row has 3 columns; column 4 is needed"},
    {"ColumnsNeedAnInterval",
     [](const fs::path& d) { write_columns(d, [](auto&) {}); },
     {"r1", "--columns", "2,3,4"},
     2,
     "smwave-table: three columns and no time column: give the interval with --dt"},
    {"ColumnsOfTheFileNeedAnInterval",
     [](const fs::path& d) { write_file(d / "r1", "1 2 3\n4 5 6\n7 8 9\n"); }, one, 2,
     "smwave-table: r1: three columns and no time column: give the interval with --dt"},
    {"ColumnsLongRecordWarned",
     [](const fs::path& d) {
         write_columns(d, [](auto& lines) {
             lines.resize(131102, "1e-2 0 0 0");
             for (std::size_t i = 602; i < lines.size(); ++i) lines[i] = std::to_string(i - 2) + "e-2 0 0 0";
         });
     },
     one, 0, "smwave-table: the record has 131100 samples; smwave transforms at most 131072"},
    // Any format.
    {"TwoComponents",
     [](const fs::path& d) { write_sac(d, [](auto&, auto) {}); },
     {"r1", "r2"},
     2,
     "smwave-table: a table needs three components; the inputs give 2"},
    {"FormatNotRecognised",
     [](const fs::path& d) { write_file(d / "r1", std::string("\x01\x00\x02\x03", 4)); }, one, 2,
     "smwave-table: r1: the format is not recognised; name it with --format"},
    {"GzipArchiveGivenAsRecord",
     [](const fs::path& d) { write_file(d / "r1", std::string("\x1f\x8b\x08\x00\x00\x00", 6)); }, one, 2,
     "smwave-table: r1: this is an archive or compressed file (gzip): unpack it and give the records inside\n"},
    {"TarArchiveGivenAsRecord",
     [](const fs::path& d) {
         write_file(d / "r1", "knet/AAA001.EW" + std::string(243, '\0') + "ustar" + std::string(250, '\0'));
     },
     one, 2, "smwave-table: r1: this is an archive or compressed file (tar): unpack it and give the records inside\n"},
    {"StationXmlGivenAsRecord",
     [](const fs::path& d) {
         write_file(d / "r1",
                    "<?xml version=\"1.0\"?>\n<FDSNStationXML schemaVersion=\"1.2\"></FDSNStationXML>\n");
     },
     one, 2, "smwave-table: r1: this is a StationXML file; give it with --inventory\n"},
    {"QuakeMlGivenAsRecord",
     [](const fs::path& d) {
         write_file(d / "r1", "<q:quakeml xmlns:q=\"http://quakeml.org/xmlns/quakeml/1.2\"/>");
     },
     one, 2, "smwave-table: r1: this is an event file (QuakeML), not a record\n"},
    {"SameFileTwice",
     [](const fs::path& d) { write_sac(d, [](auto&, auto) {}); },
     {"r1", "r2", "./r1", "-o", "table.txt"},
     2,
     "smwave-table: ./r1: is given twice (as r1 too)\n"},
    {"SingleComponent", [](const fs::path& d) { write_sac(d, [](auto&, auto) {}); }, one, 2,
     "smwave-table: r1: a single-component input: a table needs three components"},
    {"TwoStations",
     [](const fs::path& d) {
         write_sac(d, [](SacFile& f, std::size_t k) { f.station = k == 1 ? "DEF" : "ABC"; });
     },
     three, 2, "smwave-table: r2: is of station DEF, r1 of ABC: a table holds one station\n"},
    {"SacStartsApartTrimmed",
     [](const fs::path& d) {
         write_sac(d, [](SacFile& f, std::size_t k) { f.begin = k == 2 ? 0.02f : 0.0f; });
     },
     {"r1", "r2", "r3", "--trim", "-o", "table.txt"},
     0,
     "smwave-table: --trim: samples dropped from the start+end of each component: 2+0, 2+0, 0+2 (598 "
     "kept)\n"},
    {"FormatForced",
     [](const fs::path& d) { write_sac(d, [](auto&, auto) {}); },
     {"r1", "r2", "r3", "--format", "knet"},
     2,
     "smwave-table: r1:1: header line 1 should begin"},
};

class Refusal : public ::testing::TestWithParam<Case> {};

TEST_P(Refusal, ReportsAndWritesOnlyWhatItShould) {
    const Case& c = GetParam();
    TempDir dir;
    c.write(dir.path());
    const ToolResult run = run_table(dir.path(), c.arguments);
    EXPECT_EQ(run.status, c.status) << run.err;
    if (c.message.empty()) {
        EXPECT_EQ(run.err, "");
    } else {
        EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    const bool writes_file = std::find(c.arguments.begin(), c.arguments.end(), "-o") != c.arguments.end();
    EXPECT_EQ(fs::exists(dir / "table.txt"), c.status == 0 && writes_file);
    if (c.status != 0) {
        EXPECT_EQ(run.out, "");
    }
}

INSTANTIATE_TEST_SUITE_P(Table, Refusal, ::testing::ValuesIn(cases),
                         [](const auto& info) { return info.param.name; });

TEST(TableLimits, LimitKeepsTheFirstSamplesAndPaddingKeepsTheLongest) {
    TempDir dir;
    write_sac(dir.path(), [](SacFile& f, std::size_t k) {
        if (k == 2) f.data.resize(450);
    });
    ASSERT_EQ(
        run_table(dir.path(), {"r1", "r2", "r3", "--limit", "500", "--keep-mean", "-o", "table.txt"}).status,
        0);
    const TableContent table = read_table(dir / "table.txt");
    ASSERT_EQ(table.time.size(), 500u);
    EXPECT_EQ(table.components[0][499], signal[0][499]);
    EXPECT_EQ(table.components[2][449], signal[2][449]);
    EXPECT_EQ(table.components[2][450], 0.0);
}

}  // namespace
}  // namespace smwave::testing

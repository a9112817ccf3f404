// smwave-table --info: one CSV row per file of every format, a row with its reason for a file that
// cannot be read, and status 1 then.
#include <gtest/gtest.h>

#include "support/tool_run.hpp"
#include "table/record_files.hpp"
#include "table/table_checks.hpp"

namespace smwave::testing {
namespace {

constexpr std::int64_t start = 1709609645LL * 1000000;  // 2024-03-05T03:34:05Z

TEST(TableInfo, OneRowPerFileOfEveryFormat) {
    TempDir dir;
    const auto signal = known_signal(300);
    KnetFile knet;
    knet.direction = "N-S";
    knet.counts = signal[0];
    write_file(dir / "k.NS", knet.text());
    SacFile sac;
    sac.data.assign(signal[1].begin(), signal[1].end());
    sac.network = "NW";
    sac.fields = {{31, 35.5f}, {32, -120.25f}, {7, 1e30f}};  // an origin time beyond any date: left out
    write_file(dir / "s.sac", sac.binary());
    write_file(dir / "m.mseed", mseed_channel("STA", "HNE", start, 200, signal[0]) +
                                    mseed_channel("STA", "HNZ", start, 200, signal[2]));
    write_file(dir / "a,b.txt", "t a b c\n0 1 2 3\n0.01 1 2 3\n");
    write_file(dir / "bad.NS", "Origin Time       2024/03/05 12:34:00\n");
    const ToolResult run = run_table(dir.path(), {"--info", "k.NS", "s.sac", "m.mseed", "a,b.txt", "bad.NS"});
    EXPECT_EQ(run.status, 1) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_EQ(
        run.out,
        "path,format,network,station,location,channel,start,sample_rate,samples,units,latitude,longitude,"
        "origin_time,origin_latitude,origin_longitude,origin_depth,magnitude,problem\n"
        "k.NS,knet,,XYZ012,,NS,2024-03-05T03:34:05Z,100,300,gal,36.05,140.1,2024-03-05T03:34:00Z,36.1,"
        "140.2,40,5.8,\n"
        "s.sac,sac,NW,ABC,,HHE,2024-03-05T03:34:05Z,100,300,nm/s/s,35.5,-120.25,,,,,,\n"
        "m.mseed,mseed,XX,STA,,HNE HNZ,2024-03-05T03:34:05Z,200,300,counts,,,,,,,,\n"
        "\"a,b.txt\",columns,,\"a,b\",,a b c,,100,2,as in the file,,,,,,,,\n"
        "bad.NS,,,,,,,,,,,,,,,,,bad.NS:2: the header ends early: line 2 of 17 is missing\n");
}

}  // namespace
}  // namespace smwave::testing

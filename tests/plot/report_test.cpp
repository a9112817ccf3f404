// smwave-plot on smwave-event's folders: a record's summary, the event's figures and report.html,
// checked as scripts, as images and in a real browser (headless Chromium) and HTML validator.
#include <gtest/gtest.h>

#include <algorithm>

#include "plot/event_figures.hpp"
#include "plot/report_page.hpp"
#include "plot_test_files.hpp"
#include "png_pixels.hpp"
#include "support/command_run.hpp"

namespace smwave::plot {
namespace {

namespace fs = std::filesystem;
using smwave::testing::read_file;
using smwave::testing::run_command;
using smwave::testing::TempDir;
using smwave::testing::ToolResult;
using smwave::testing::write_file;

constexpr const char* metadata =
    "station=AAA network=XX channels=HNE,HNN,HNZ start=2024-03-05T03:34:05Z dt=0.01 units=cm/s/s "
    "origin_time=2024-03-05T03:34:00Z";

// A record folder as smwave-event leaves it (small files of each kind).
void write_record(const fs::path& folder, const std::string& station) {
    fs::create_directories(folder);
    std::string head = metadata;
    head.replace(8, 3, station);
    write_file(folder / "table.txt", station + " HNE HNN HNZ\n" + head + "\n");
    for (const char* file : {"acceleration.csv", "velocity.csv", "displacement.csv"})
        write_file(folder / file, testing::waveform_text(300));
    write_file(folder / "amp3-acceleration.csv", testing::spectrum_text());
    write_file(folder / "spectra.csv", testing::response_text());
    write_file(folder / "psa.csv", testing::response_text());
    write_file(folder / "answers-acceleration.txt", "table.txt\n0\n1\n0.1 0.2 20 25\n0\n1\n");
}

// An event folder: a KiK-net site's two sensors, a K-NET station, a station outside Japan (no JMA
// map) and a record that failed.
void write_event(const fs::path& dir) {
    write_file(dir / "flatfile.csv",
               "event_id,magnitude,event_latitude,event_longitude,record,station,sensor,station_latitude,"
               "station_longitude,epicentral_distance,hypocentral_distance,pga_rotd50,pgv_rotd50,psa_0.3_rotd50,"
               "psa_1_rotd50,psa_3_rotd50,jma_class,status,reason,message\n"
               "20240305033400,5.8,36.1,140.2,AAA.surface,AAA,surface,36.3,140.5,30,50,120,8,200,60,9,4,ok,,\n"
               "20240305033400,5.8,36.1,140.2,AAA.borehole,AAA,borehole,36.3,140.5,30,50,40,3,70,20,3,,ok,,\n"
               "20240305033400,5.8,36.1,140.2,BBB,BBB,,35.5,139.9,8,41,350,20,700,90,12,5-,ok,,\n"
               "20240305033400,5.8,36.1,140.2,DDD,DDD,,37.0,-122.0,9000,9000,150,9,300,80,10,3,ok,,\n"
               "20240305033400,5.8,36.1,140.2,CCC,CCC,,36.0,140.0,,,,,,,,,failed,smwave_refused,\"no <band>, \"\"x\"\"\"\n");
    for (const char* record : {"AAA.surface", "AAA.borehole", "BBB", "DDD"}) write_record(dir / record, fs::path(record).stem());
    fs::create_directories(dir / "CCC");
}

ToolResult plot(const fs::path& dir, const std::vector<std::string>& arguments) {
    return run_command(dir, SMWAVE_PLOT_EXE, arguments);
}

void expect_all_in(const std::string& text, const std::vector<std::string>& parts, const std::string& where) {
    for (const auto& part : parts) EXPECT_NE(text.find(part), std::string::npos) << where << " lacks: " << part;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

TEST(PlotReport, FiguresOfTheEventAndItsRecordsSayWhatTheyShow) {
    TempDir dir;
    write_event(dir.path());
    const ToolResult r = plot(dir.path(), {"--report", ".", "--jobs", "2"});
    ASSERT_EQ(r.status, 0) << r.err;
    const struct {
        const char* script;
        std::vector<std::string> parts;
    } scripts[] = {
        {"figures/AAA.surface/summary.gp",
         {"set multiplot layout 3,3 title 'AAA (XX) \u2014 2024-03-05 03:34:05 UTC, band 0.1-0.2-20-25 Hz'",
          "set title 'HNN velocity: peak", "set ylabel 'displacement (cm)'", "set xlabel 'time after the origin (s)'",
          "using ($1 + 5):2", "set object 1 rectangle from first 0.1, graph 0 to first 0.2",
          "set object 1 rectangle from first 0.05, graph 0 to first 5", "'../../AAA.surface/psa.csv' skip 2",
          "set ylabel 'PSA (cm/s/s)'", "set output 'psa.png' . part"}},
        {"figures/event.gp",
         {"RotD50 peaks against hypocentral distance \u2014 event 20240305033400, M 5.8 \u2014 4 records; 1 not ok left out",
          "set logscale xy", "$borehole << EOD\n30 50 40 3 70 20 3 \"AAA.borehole\"\nEOD",
          "set title 'PSA 0.3 s (psa_0.3_rotd50)'", "borehole (1)", "surface (3)",
          "set size ratio", "set logscale cb", "set cbrange [100:1000]", "pointtype 3 pointsize 4",
          "set cbtics ('0' 0, '1' 1, '2' 2, '3' 3, '4' 4, '5-' 5", "140.5 36.3 4 \"AAA\"",
          "set label 1 'AAA' at 140.5,36.3"}},
    };
    for (const auto& s : scripts) expect_all_in(read_file(dir / s.script), s.parts, s.script);
    const std::string event = read_file(dir / "figures/event.gp");
    EXPECT_EQ(event.find("CCC"), std::string::npos) << "a failed record is drawn";
    EXPECT_EQ(count(event, "\"DDD\""), 2u) << "peaks and PGA map only, not the JMA map";

    // Every figure drawn, at its size, with ink in each panel of the summary's 3 x 3 grid.
    const struct {
        const char* figure;
        unsigned width, height;
    } figures[] = {{"AAA.surface/waveforms.png", 1500, 1000}, {"BBB/spectra.png", 1000, 650},
                   {"BBB/psa.png", 1000, 650},                {"peaks-epicentral.png", 1500, 900},
                   {"stations.png", 1000, 900},               {"stations-jma.png", 1000, 900}};
    for (const auto& f : figures) {
        const auto image = testing::decode_png(read_file(dir / "figures" / f.figure));
        EXPECT_EQ(image.width, f.width) << f.figure;
        EXPECT_EQ(image.height, f.height) << f.figure;
        EXPECT_GT(image.inked(0.1, 0.1, 0.9, 0.9, true), 0.0003) << f.figure;
    }
    const auto grid = testing::decode_png(read_file(dir / "figures/BBB/waveforms.png"));
    for (int row = 0; row < 3; ++row) {
        for (int column = 0; column < 3; ++column) {
            EXPECT_GT(grid.inked(0.08 + column * 0.31, 0.12 + row * 0.28, 0.3 + column * 0.31, 0.3 + row * 0.28, true), 0.005)
                << "panel " << row << "," << column;
        }
    }
    EXPECT_FALSE(fs::exists(dir / "figures/CCC")) << "a failed record has no summary";
}

// A program of Debian's, or empty when it is not installed.
std::string installed(const std::string& name) {
    for (const char* folder : {"/usr/bin/", "/usr/local/bin/", "/bin/"}) {
        if (fs::exists(folder + name)) return folder + name;
    }
    return "";
}

// Chromium's headless run on a page of `dir`, ended after 90 s at the latest.
ToolResult chromium(const fs::path& dir, const std::vector<std::string>& what, const std::string& page) {
    std::vector<std::string> arguments = {"90", installed("chromium"), "--headless", "--no-sandbox", "--disable-gpu",
                                          "--user-data-dir=" + (dir / "chromium-profile").string()};
    arguments.insert(arguments.end(), what.begin(), what.end());
    arguments.push_back("file://" + (dir / page).string());
    return run_command(dir, installed("timeout"), arguments);
}

TEST(PlotReport, PageIsValidAndSortsInABrowser) {
    if (installed("chromium").empty() || installed("tidy").empty()) {
        GTEST_SKIP() << "chromium or tidy is not installed (tools/install-deps --browser)";
    }
    TempDir dir;
    write_event(dir.path());
    ASSERT_EQ(plot(dir.path(), {"--report", dir.path().string()}).status, 0);
    const std::string page = read_file(dir / "report.html");
    expect_all_in(page,
                  {"4 records ok, 1 not ok", "<b>CCC</b>: failed, smwave_refused &mdash; no &lt;band&gt;, &quot;x&quot;",
                   "<a href=\"figures/BBB/waveforms.png\"><img src=\"figures/BBB/waveforms.png\"",
                   "<a href=\"BBB/acceleration.csv\">acceleration.csv</a>", "<a href=\"figures/stations-jma.png\">"},
                  "report.html");
    EXPECT_EQ(page.find("http"), std::string::npos) << "the page refers to the network";

    const ToolResult tidy = run_command(dir.path(), installed("tidy"), {"-errors", "-quiet", "report.html"});
    EXPECT_EQ(tidy.status, 0) << tidy.err;

    // The page's own script, driven: a click on a header sorts by it, a second click reverses.
    std::string driver = page;
    driver.insert(driver.rfind("</body>"),
                  "<script>const h = document.querySelectorAll('#flatfile th')[4];"
                  "const order = () => Array.from(document.querySelectorAll('#flatfile tbody tr'), r => r.cells[0].textContent).join(' ');"
                  "h.click(); const up = order() + ' ' + h.getAttribute('aria-sort'); h.click();"
                  "document.body.insertAdjacentHTML('beforeend', '<pre id=\"order\">' + up + ' / ' + order() + ' ' + "
                  "h.getAttribute('aria-sort') + '</pre>');</script>\n");
    write_file(dir / "driver.html", driver);
    const ToolResult dom = chromium(dir.path(), {"--dump-dom"}, "driver.html");
    ASSERT_EQ(dom.status, 0) << dom.err;
    EXPECT_EQ(count(dom.out, "<tr><td class=\"text\"><a href=\"#record-"), 5u);
    EXPECT_NE(dom.out.find("<pre id=\"order\">BBB AAA.surface AAA.borehole DDD CCC ascending / "
                           "DDD AAA.surface AAA.borehole BBB CCC descending</pre>"),
              std::string::npos)
        << dom.out.substr(dom.out.find("<pre"));

    const ToolResult shot = chromium(dir.path(), {"--screenshot=" + (dir / "shot.png").string(), "--window-size=1000,800"},
                                     "report.html");
    ASSERT_EQ(shot.status, 0) << shot.err;
    const auto image = testing::decode_png(read_file(dir / "shot.png"));
    EXPECT_EQ(image.width, 1000u);
    EXPECT_GT(image.inked(0, 0, 1, 1), 0.02) << "the screenshot is blank";
}

TEST(PlotReport, MissingFilesAreNamedAndTheRestIsDrawn) {
    TempDir dir;
    write_event(dir.path());
    fs::remove(dir / "BBB/velocity.csv");
    const ToolResult r = plot(dir.path(), {"--report", "."});
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("BBB/velocity.csv: cannot open"), std::string::npos) << r.err;
    EXPECT_TRUE(fs::exists(dir / "figures/AAA.surface/waveforms.png"));
    EXPECT_NE(read_file(dir / "report.html").find("id=\"record-BBB\""), std::string::npos);

    // An event without an ok record still gets its (empty) figures and page.
    fs::create_directories(dir / "failed");
    write_file(dir / "failed/flatfile.csv", "event_id,record,status,reason,message\n1,CCC,failed,smwave_refused,x\n");
    const ToolResult none_ok = plot(dir.path(), {"--report", "failed"});
    EXPECT_EQ(none_ok.status, 0) << none_ok.err;
    EXPECT_TRUE(fs::exists(dir / "failed/figures/stations.png"));
    EXPECT_NE(read_file(dir / "failed/report.html").find("0 records ok, 1 not ok"), std::string::npos);

    const struct {
        std::vector<std::string> arguments;
        std::string message;
    } refusals[] = {{{"--report", "CCC"}, "CCC/flatfile.csv: cannot open"},
                    {{"--summary", "CCC"}, "CCC/acceleration.csv: cannot open"},
                    {{"--report", ".", "--summary", "BBB"}, "only one of them"}};
    for (const auto& c : refusals) {
        const ToolResult refused = plot(dir.path(), c.arguments);
        EXPECT_EQ(refused.status, 2) << c.message;
        EXPECT_NE(refused.err.find(c.message), std::string::npos) << refused.err;
    }
}

TEST(PlotReport, FlatfileFieldsAndPageTextAreReadAndWrittenSafely) {
    TempDir dir;
    const struct {
        std::string text;
        std::size_t rows;  // 0 with a problem
        std::string problem_or_message;
    } flatfiles[] = {
        {"record,status,message\r\nA,ok,\"line\nbreak, \"\"quoted\"\"\"\r\n", 1, "line\nbreak, \"quoted\""},
        {"record,status,message\nA,ok,x", 1, "x"},
        {"record,status\nA,ok,x\n", 0, ":2: has 3 fields, not 2"},
        {"station,status\n", 0, ":1: expected a flatfile header with the column record"},
        {"", 0, ":1: is empty"},
    };
    for (const auto& f : flatfiles) {
        write_file(dir / "flatfile.csv", f.text);
        const auto read = read_flatfile(dir / "flatfile.csv");
        if (f.rows == 0) {
            ASSERT_FALSE(read) << f.text;
            EXPECT_NE(describe(read.problem()).find(f.problem_or_message), std::string::npos) << describe(read.problem());
            continue;
        }
        ASSERT_TRUE(read) << describe(read.problem());
        ASSERT_EQ(read->rows.size(), f.rows);
        EXPECT_EQ(read->field(0, "message"), f.problem_or_message);
        EXPECT_EQ(read->field(0, "no such column"), "");
    }
    EXPECT_EQ(html_escaped("<a href=\"x\">Tom's & co</a>"), "&lt;a href=&quot;x&quot;&gt;Tom&#39;s &amp; co&lt;/a&gt;");
    EXPECT_EQ(url_of("IBR 01#1/acc%.csv"), "IBR%2001%231/acc%25.csv");
}

TEST(PlotReport, LabelsGoWhereStationsDoNotCrowd) {
    const std::vector<std::array<double, 2>> points = {{0, 0}, {0.5, 0}, {2, 0}, {2, 0.9}, {0, 1.2}};
    EXPECT_EQ(uncrowded(points, 1), (std::vector<std::size_t>{0, 2, 4}));
}

}  // namespace
}  // namespace smwave::plot

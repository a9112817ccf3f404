// The gnuplot script written for each kind of file: panels, axes, scales, labels and the columns read.
#include <gtest/gtest.h>

#include "plot/figure_script.hpp"
#include "plot/table_summary.hpp"
#include "plot_test_files.hpp"

namespace smwave::plot {
namespace {

using companion::parse_suite_text;
using companion::SuiteTable;

struct Drawn {
    std::vector<SuiteTable> tables;
    std::string script;
};

// The script of a figure of `texts` (several: an overlay), with the settings given.
Drawn script_of(std::vector<std::string> texts, Settings settings = {},
                FigureFormat format = FigureFormat::png, std::string units = "") {
    Drawn drawn;
    for (std::size_t i = 0; i < texts.size(); ++i) {
        auto table = parse_suite_text(texts[i], "f" + std::to_string(i + 1) + ".csv");
        EXPECT_TRUE(table) << describe(table.problem());
        drawn.tables.push_back(std::move(*table));
    }
    if (settings.labels[0].empty()) settings.labels = {"comp1", "comp2", "comp3"};
    FigureRequest request{{}, "fig.png", format, settings, "", units};
    for (std::size_t i = 0; i < texts.size(); ++i) {
        request.inputs.push_back({&drawn.tables[i], summarise(drawn.tables[i]),
                                  "f" + std::to_string(i + 1) + ".csv",
                                  "data/f" + std::to_string(i + 1) + ".csv"});
    }
    drawn.script = figure_script(request);
    return drawn;
}

std::size_t count(const std::string& text, const std::string& part) {
    std::size_t found = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++found;
    return found;
}

TEST(FigureScript, EachKindHasItsPanelsAxesAndColumns) {
    using testing::comma_file;
    const Settings named{std::array<int, 2>{640, 480}, {"EW", "NS", "UD"}, std::nullopt};
    const struct {
        std::string text;
        Settings settings;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    } cases[] = {
        {testing::waveform_text(),
         named,
         {"set terminal pngcairo size 640,480", "set datafile separator comma", "data1 = 'data/f1.csv'",
          "set multiplot layout 3,1 title 'f1.csv'", "set xrange [0:0.49]", "set title 'EW: peak ",
          "set ylabel 'UD (cm/s)'", "set xlabel 'time (s)'", "data1 skip 1 using 1:2 with lines",
          "data1 skip 1 using 1:3 with lines", "data1 skip 1 using 1:4 with lines", "unset multiplot"},
         {"logscale", "every", "field("}},
        {testing::echo_text(),
         {},
         {"set datafile separator whitespace", "data1 using 1:2 with lines", "comp2: peak 0.5 cm/s at 0.01 s",
          "set label 1 '' at 0.01,0.5 point"},
         {"skip"}},
        {testing::spectrum_text(),
         {std::nullopt, {"EW", "NS", "UD"}, std::array<double, 4>{0.1, 0.2, 10, 15}},
         {"set logscale xy", "set xrange [0.5:19.5]", "set xlabel 'frequency (Hz)'",
          "set ylabel 'Fourier amplitude (cm/s)'",
          "using ($1 > 0 ? $1 : NaN):($3 > 0 ? $3 : NaN) with lines linewidth 1 linecolor rgb '#d62728' "
          "dashtype 1 "
          "title 'NS'",
          "set object 2 rectangle from first 10, graph 0 to first 15, graph 1", "set label 4 'f4 15 Hz'",
          "set arrow 1 from first 0.1, graph 0 to first 0.1, graph 1 nohead"},
         {"multiplot"}},
        {testing::response_text(),
         {},
         {"data1 skip 2 using", "set multiplot layout 2,1", "set title 'damping 0.02'",
          "set title 'damping 0.05'", "set xrange [0.1:2]", "set ylabel 'PSA (cm/s)'",
          "using ($1 == 0.05 && $2 > 0 ? $2 : NaN):($11 > 0 ? $11 : NaN)"},
         {"set xlabel 'time"}},
    };
    for (const auto& c : cases) {
        const auto drawn = script_of({c.text}, c.settings, FigureFormat::png, "cm/s");
        for (const auto& part : c.present)
            EXPECT_NE(drawn.script.find(part), std::string::npos) << part << "\n" << drawn.script;
        for (const auto& part : c.absent) EXPECT_EQ(drawn.script.find(part), std::string::npos) << part;
    }
}

TEST(FigureScript, PeaksAreLabelledAndMarkedWhereTheyAre) {
    const std::string text = testing::comma_file("time(s)", 5, 0.5, [](int row, int component) {
        return component == 2 && row == 3 ? -7.25 : 0.001 * row;
    });
    const auto drawn = script_of({text});
    EXPECT_NE(drawn.script.find("set title 'comp2: peak 7.25 at 1.5 s'"), std::string::npos) << drawn.script;
    EXPECT_NE(drawn.script.find("set label 1 '' at 1.5,-7.25 point"), std::string::npos);
    EXPECT_NE(drawn.script.find("set title 'comp1: peak 0.004 at 2 s'"), std::string::npos);
}

TEST(FigureScript, FieldsWithoutNumbersBreakTheLineAndWideExponentsAreRead) {
    const std::string text =
        " time(s),comp1, comp2, comp3\n   0.000,  0.1000E+01,  0.1000E+01,  0.1000E+01,\n"
        "   0.010,  0.2000E+01,************,  0.1234-101,\n   0.020,  0.3000E+01,  0.3000E+01,  "
        "0.1000E+01,\n";
    const auto drawn = script_of({text});
    EXPECT_NE(drawn.script.find("using 1:2 with lines"), std::string::npos);
    EXPECT_NE(drawn.script.find("using 1:($3) with lines"), std::string::npos);
    EXPECT_NE(drawn.script.find("using 1:(field(4)) with lines"), std::string::npos);
    EXPECT_NE(drawn.script.find("field(c) = valid(c) ?"), std::string::npos);
}

TEST(FigureScript, LongTracesAreDrawnInPiecesThatShareTheirEnds) {
    const auto drawn = script_of({testing::waveform_text(static_cast<int>(rows_per_piece) * 2 + 1)});
    EXPECT_EQ(count(drawn.script,
                    "plot for [piece=0:2] data1 skip 1 every ::piece*16384::(piece+1)*16384 "
                    "using 1:"),
              3u)
        << drawn.script;
}

TEST(FigureScript, OverlaysKeyEachFileAndFormatsFollowTheName) {
    const auto waves =
        script_of({testing::waveform_text(), testing::waveform_text(20)}, {}, FigureFormat::svg);
    EXPECT_NE(waves.script.find("set terminal svg size 1200,900"), std::string::npos);
    EXPECT_NE(waves.script.find("data2 = 'data/f2.csv'"), std::string::npos);
    EXPECT_EQ(count(waves.script, "title 'f2.csv: peak "), 3u);
    EXPECT_EQ(count(waves.script, "set label 2 '' at"), 3u);

    const auto spectra =
        script_of({testing::spectrum_text(), testing::spectrum_text()}, {}, FigureFormat::pdf);
    EXPECT_NE(spectra.script.find("set terminal pdfcairo size 10in,7in"), std::string::npos);
    EXPECT_NE(spectra.script.find("dashtype 2 title 'comp3 (f2.csv)'"), std::string::npos);
}

TEST(FigureScript, TextIsQuotedForGnuplot) {
    Settings settings{std::nullopt, {"it's", "b", "c"}, std::nullopt};
    const auto drawn = script_of({testing::echo_text()}, settings);
    EXPECT_NE(drawn.script.find("set ylabel 'it''s'"), std::string::npos) << drawn.script;
    EXPECT_EQ(data_path_from("out", "in/v.csv"), "../in/v.csv");
    EXPECT_EQ(data_path_from("", "v.csv"), "v.csv");
    EXPECT_EQ(data_path_from("out", "/data/v.csv"), "/data/v.csv");
}

}  // namespace
}  // namespace smwave::plot

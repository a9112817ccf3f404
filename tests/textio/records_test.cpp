// Output records written through a real file unit, compared byte for byte.
#include "textio/records.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "support/run_harness.hpp"
#include "support/tool_run.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

using testing::RunHarness;
using testing::TempDir;

constexpr int file_unit = 20;

// The bytes that `body` writes to a fresh file on the file unit.
std::string written(const std::function<void()>& body) {
    RunHarness harness;
    TempDir dir;
    open_unit(file_unit, (dir / "out.txt").string());
    body();
    close_unit(file_unit);
    return testing::read_file(dir / "out.txt");
}

// One free-format record of `items` on the file unit.
std::string free_record(const std::function<void()>& items) {
    return written([&] {
        start_free_record(file_unit);
        items();
        end_free_record();
    });
}

// One edit-format record of `values` through `format` on the file unit.
std::string edit_record(std::string_view format, std::initializer_list<double> values) {
    return written([&] {
        start_edit_record(file_unit, format);
        for (double value : values) put_edit_double(value);
        end_edit_record();
    });
}

struct FreeCase {
    const char* name;
    std::function<void()> items;
    std::string lines;
};

TEST(FreeRecord, ItemsLaidOutByTheirKinds) {
    const FreeCase cases[] = {
        {"empty record", [] {}, "\n"},
        {"text beginning with a blank", [] { put_text(" Change +/-? (YES=1)?? :"); },
         "  Change +/-? (YES=1)?? :\n"},
        {"text, integer, double",
         [] {
             put_text("NT and DT=");
             put_integer(8192);
             put_double(0.01);
         },
         " NT and DT= 8192  0.01\n"},
        {"text and integers",
         [] {
             put_text(" IF1,NF=");
             put_integer(14);
             put_integer(16384);
         },
         "  IF1,NF= 14 16384\n"},
        {"grid report",
         [] {
             put_text(" DUR,DOM,NOM,EOM=");
             put_double(163.84);
             put_double(0.0383495197);
             put_integer(8192);
             put_double(314.159265);
         },
         "  DUR,DOM,NOM,EOM=  163.84  0.0383495197 8192  314.159265\n"},
        {"whole double",
         [] {
             put_text(" Highest Frequency (hz)=");
             put_double(50.0);
         },
         "  Highest Frequency (hz)=  50.\n"},
        {"quotes written as they are", [] { put_text("Fourier Spectrum data are stored in \"amp3.csv\""); },
         " Fourier Spectrum data are stored in \"amp3.csv\"\n"},
        {"file header", [] { put_text("frequency(Hz),comp1, comp2, comp3"); },
         " frequency(Hz),comp1, comp2, comp3\n"},
        {"text and integer",
         [] {
             put_text("Number of Cutting Data =");
             put_integer(1000);
         },
         " Number of Cutting Data = 1000\n"},
        {"echo row of four doubles",
         [] {
             put_double(0.0);
             put_double(-2.5);
             put_double(1.0e-5);
             put_double(3.14159265358979);
         },
         "  0. -2.5  1.E-005  3.14159265\n"},
        {"trailing blanks of a text kept",
         [] {
             put_text("ab  ");
             put_integer(-1);
         },
         " ab   -1\n"},
        {"text after another item gets no blank",
         [] {
             put_integer(5);
             put_text("x");
         },
         " 5x\n"},
    };
    for (const FreeCase& c : cases) EXPECT_EQ(free_record(c.items), c.lines) << c.name;
}

TEST(FreeRecord, SplitsAtEightyColumnsCountingEachKindItsOwnWay) {
    const std::string t75(75, 'a'), t74(74, 'b'), t73(73, 'c'), t72(72, 'd'), t40(40, 'e'), t39(39, 'f'),
        t38(38, 'g'), t85(85, 'h');
    const FreeCase cases[] = {
        // An integer counts only its digits: 76 + 5 reaches 80, 74 + 5 does not.
        {"75-character text then integer",
         [&] {
             put_text(t75);
             put_integer(12345);
         },
         " " + t75 + "\n 12345\n"},
        {"integer test reaching exactly 80 splits",
         [&] {
             put_text(t74);
             put_integer(12345);
         },
         " " + t74 + "\n 12345\n"},
        {"73-character text then integer ends in column 80",
         [&] {
             put_text(t73);
             put_integer(12345);
         },
         " " + t73 + " 12345\n"},
        {"negative integer may end in column 81",
         [&] {
             put_text(t73);
             put_integer(-12345);
         },
         " " + t73 + " -12345\n"},
        // A double counts its whole text.
        {"double that would end in column 80 moves",
         [&] {
             put_text(t73);
             put_double(0.01);
         },
         " " + t73 + "\n  0.01\n"},
        {"double ending in column 79 stays",
         [&] {
             put_text(t72);
             put_double(0.01);
         },
         " " + t72 + "  0.01\n"},
        // A text counts its own length; only a text that begins a line gets a blank.
        {"text that begins the next line gets a blank",
         [&] {
             put_text(t40);
             put_text(t39);
         },
         " " + t40 + "\n " + t39 + "\n"},
        {"text ending in column 79 stays",
         [&] {
             put_text(t40);
             put_text(t38);
         },
         " " + t40 + t38 + "\n"},
        {"text longer than a line is never cut",
         [&] {
             put_text(t85);
             put_integer(1);
         },
         " " + t85 + "\n 1\n"},
    };
    for (const FreeCase& c : cases) EXPECT_EQ(free_record(c.items), c.lines) << c.name;
}

TEST(FreeRecord, LongRecordOfDoublesSplitsIntoLinesBelowTheLimit) {
    const std::string text = free_record([] {
        for (int i = 0; i < 40; ++i) put_double(-1.23456789e-100);  // 17 characters each
    });
    std::string expected;
    for (int line = 0; line < 10; ++line) {
        for (int i = 0; i < 4; ++i) expected += " -1.23456789E-100";
        expected += '\n';
    }
    EXPECT_EQ(text, expected);
}

struct EditCase {
    const char* format;
    std::initializer_list<double> values;
    std::string lines;
};

TEST(EditRecord, SystemFormatsAndRows) {
    const EditCase cases[] = {
        {"(1X,/,'Enter input file of waveform data')", {}, "\nEnter input file of waveform data\n"},
        {"(/,1X,'Enter output file name of waveform (csv format file)')",
         {},
         "\n Enter output file name of waveform (csv format file)\n"},
        {"(F8.4,6(',',E12.4))",
         {0.0122, 0.001234, 0.5, 12345.678},
         "  0.0122,  0.1234E-02,  0.5000E+00,  0.1235E+05,\n"},
        {"(F8.3,4(',',E12.4))",
         {0.01, -0.25, 0.0, 1.0e10},
         "   0.010, -0.2500E+00,  0.0000E+00,  0.1000E+11,\n"},
        {"(F8.3,4(',',E12.4))",
         {163.84, -0.0, 9.99995, -1234.6},
         " 163.840,  0.0000E+00,  0.1000E+02, -0.1235E+04,\n"},
        // A field too wide for its value leaves the rest of the row as it is.
        {"(F8.4,6(',',E12.4))",
         {1000.0, 1.0, -100.0, 1.0e99},
         "********,  0.1000E+01, -0.1000E+03,  0.1000+100,\n"},
    };
    for (const EditCase& c : cases) EXPECT_EQ(edit_record(c.format, c.values), c.lines) << c.format;
}

TEST(EditRecord, ElementsOfTheFormatText) {
    const EditCase cases[] = {
        {"()", {}, "\n"},
        {"( F4.1 , 'a' )", {1.5}, " 1.5a\n"},
        {"('it''s','''')", {}, "it's'\n"},
        {"(F4.1,2X,'|')", {1.5}, " 1.5  |\n"},
        {"(F4.1,5X)", {1.5}, " 1.5\n"},              // pending blanks are dropped at the end
        {"(2X,/,F4.1)", {1.5}, "\n 1.5\n"},          // and at a record end
        {"(2X,3X,F4.1)", {1.5}, "      1.5\n"},      // skips add up before a field
        {"(3F4.1,'|')", {1.0}, " 1.0\n"},            // the next copy of a field needs an item
        {"(2F4.1,'|')", {1.0, 2.0}, " 1.0 2.0|\n"},  // a field used up lets the walk go on
        {"(2(F3.0,2('-')))", {1.0, 2.0}, " 1.-- 2.--\n"},
        {"(f4.1,e9.2)", {1.5, 1.5}, " 1.5 0.15E+01\n"},
        {"(F4.1,/,F4.1,/)", {1.0, 2.0}, " 1.0\n 2.0\n\n"},
    };
    for (const EditCase& c : cases) EXPECT_EQ(edit_record(c.format, c.values), c.lines) << c.format;
}

TEST(Records, LongRecordsGrowTheSharedBuffer) {
    const std::string long_text(5000, 'z');
    EXPECT_EQ(free_record([&] { put_text(long_text); }), " " + long_text + "\n");

    std::string expected;
    for (int i = 0; i < 300; ++i) expected += "   1.000";
    EXPECT_EQ(written([] {
                  start_edit_record(file_unit, "(300F8.3)");
                  for (int i = 0; i < 300; ++i) put_edit_double(1.0);
                  end_edit_record();
                  // The next record starts empty whatever the last one left behind.
                  start_free_record(file_unit);
                  put_integer(7);
                  end_free_record();
              }),
              expected + "\n 7\n");
}

// The failure report that ends the run in `body`.
std::string fatal_report(const std::function<void()>& body) {
    RunHarness harness;
    TempDir dir;
    open_unit(file_unit, (dir / "out.txt").string());
    const testing::EndedRun ended = testing::run_until_end(body);
    EXPECT_EQ(ended.status, -1);
    return ended.report;
}

TEST(EditRecord, FormatTextThatCannotBeTakenApartEndsTheRun) {
    const char* bad[] = {"F8.4",    "(F8.4",      "(F8.4))",      "(F8)",    "(F8.)",
                         "(F0.0)",  "(F10000.2)", "('abc)",       "(0X)",    "(X)",
                         "(E12.0)", "(Q5)",       "(F8.4 E12.4)", "(F8.4,)", "(2('a')",
                         "(-1X)",   "(F8.-4)",    "(1X) tail",    "(\"a\")", ""};
    for (const char* format : bad) {
        const std::string report = fatal_report([&] { start_edit_record(file_unit, format); });
        EXPECT_EQ(report.substr(0, report.find('\n')), "startio: error in format") << format;
    }
}

TEST(EditRecord, ItemBeyondTheLastFieldEndsTheRun) {
    const std::string report = fatal_report([] {
        start_edit_record(file_unit, "(F4.1,'a')");
        put_edit_double(1.0);
        put_edit_double(2.0);
    });
    EXPECT_EQ(report.substr(0, report.find('\n')), "fmt: error in format");
}

}  // namespace
}  // namespace smwave

#include "table/archive_files.hpp"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace smwave::testing {

namespace {

std::string printed(const char* format, double value) {
    char text[64];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

std::string fixed_lines(const std::vector<double>& values, const char* format, std::size_t per_line) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        text += printed(format, values[i]);
        if (i % per_line == per_line - 1 || i + 1 == values.size()) text += '\n';
    }
    return text;
}

}  // namespace

std::string PeerFile::text() const {
    std::string text = "PEER NGA STRONG MOTION DATABASE RECORD\n" + title + "\n" + quantity + "\n";
    text += "NPTS=" + (count.empty() ? printed("%7.0f", static_cast<double>(values.size())) : count) +
            ", DT=   " + interval + " SEC,\n";
    return text + fixed_lines(values, "%15.7E", 5);
}

std::string cosmos_text(const std::vector<CosmosChannel>& channels) {
    std::string text;
    for (const auto& c : channels) {
        double peak = 0;
        for (const double value : c.values) peak = std::max(peak, std::abs(value));
        std::string kind = c.kind;
        kind.resize(25, ' ');
        text += kind + " (Format v01.20 with 13 text lines) Src: test\n";
        text += "Record of Test Earthquake of Tue Mar  5, 2024 03:34 UTC\n";
        text += "Hypocenter: 61.34640 -149.95520 H= 46km Mw=7.0\n";
        text += "Origin: 2024/03/05 03:34:00    UTC\n";
        text += "Statn No: 37-000011 Code:AK-BMR     UAF  Bremner River, AK, USA\n";
        text += "Coords: 60.9677 -144.6051  Site geology:\n";
        text += "Recorder: test      ( 3 Chns of   3 at Sta) Sensor: test\n";
        text += "Rcrd start time: 2024/03/05 03:34:05.000 UTC (Q=5) RcrdId: test\n";
        text += "Sta Chan   1: " + std::to_string(c.azimuth) + " Deg (Rcrdr Chan  1) Location:\n";
        text += "Raw record length = 6.000 sec, Uncor max =    101730, at  1.000 sec.\n";
        text += "Processed:2024-03-06 05:46:55 GMT, TEST, Max =   " + printed("%.3f", peak) + " cm/sec2\n";
        text += "Record filtered below  0.03 Hz (periods over 33.33 secs), and above 20.0 Hz\n";
        text += "Values used when parameter or data value is unknown/unspecified:   -999, -999.00\n";
        std::vector<double> integers(100, -999);
        integers[0] = c.level;
        integers[1] = 1;
        integers[2] = 4;
        integers[3] = 120;
        integers[39] = 2024, integers[40] = 65, integers[41] = 3, integers[42] = 5, integers[43] = 3,
        integers[44] = 34;
        integers[53] = c.azimuth;
        text += " 100 Integer-header values follow on 10 lines, Format= (10I8)\n" +
                fixed_lines(integers, "%8.0f", 10);
        std::vector<double> reals(100, -999);
        reals[0] = 60.9677, reals[1] = -144.6051, reals[2] = 512;
        reals[9] = 61.3464, reals[10] = -149.9552, reals[11] = 46, reals[12] = 7.0;
        reals[29] = 5.0;
        reals[53] = 0.03, reals[56] = 20.0;
        reals[61] = 10.0;
        reals[62] = static_cast<double>(c.values.size()) / 100;
        reals[63] = c.peak ? *c.peak : peak;
        text += " 100 Real-header values follow on 20 lines, Format= (5F15.6)\n" +
                fixed_lines(reals, "%15.6f", 5);
        text += "   2 Comment line(s) follow, each starting with a \"|\":\n";
        text += "| written by the tests\n|<SCNL>BMR." + c.channel + ".AK.--\n";
        text += (c.count.empty() ? printed("%8.0f", static_cast<double>(c.values.size())) : c.count) +
                " acceleration pts, approx    6 secs, units=" + c.units + ",Format=(8F10.5)\n";
        text += fixed_lines(c.values, "%10.5f", 8);
        text += "End-of-data for Chan" + c.channel + " acceleration\n";
    }
    return text;
}

std::string EsmFile::text() const {
    double peak = 0;
    for (const double value : values) peak = std::max(peak, std::abs(value));
    std::string text =
        "EVENT_NAME: Test\nEVENT_ID: EMSC-20190728_0000071\nEVENT_DATE_YYYYMMDD: 20240305\n"
        "EVENT_TIME_HHMMSS: 033400\nEVENT_LATITUDE_DEGREE: 38.5\nEVENT_LONGITUDE_DEGREE: 22.25\n"
        "EVENT_DEPTH_KM: 9.0\nMAGNITUDE_W: \nMAGNITUDE_L: 4.6\nNETWORK: HI\nSTATION_CODE: ARS1\n"
        "STATION_NAME: Test: station\nSTATION_LATITUDE_DEGREE: 38.125\nSTATION_LONGITUDE_DEGREE: 21.5\n"
        "STATION_ELEVATION_M: 120\nLOCATION: \nDATE_TIME_FIRST_SAMPLE_YYYYMMDD_HHMMSS: 20240305_033405.000\n"
        "SAMPLING_INTERVAL_S: 0.010000\n";
    text += "NDATA: " + (count.empty() ? std::to_string(values.size()) : count) + "\n";
    text += "STREAM: " + stream + "\nUNITS: " + units +
            "\nPGA_CM/S^2: " + printed("%.6f", pga ? *pga : peak * (units == "m/s^2" ? 100 : 1)) +
            "\nLOW_CUT_FREQUENCY_HZ: 0.100\nHIGH_CUT_FREQUENCY_HZ: 30.000\nDATA_TYPE: ACCELERATION\n"
            "USER5: \n";
    for (const double value : values) text += printed("%.6f", value) + "\n";
    return text;
}

std::string CwbFile::text() const {
    auto extremes = [](const std::vector<double>& values) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        return printed("%9.3f", *high) + "~" + printed("%9.3f", *low);
    };
    std::string text =
        "#Earthquake Information\n#Origin Time(GMT+08): 2024/03/05-11:34:00\n#EpicenterLongitude(E): 121.69\n"
        "#EpicenterLatitude(N): 24.14\n#Depth(km): 10.0\n#Magnitude(Ml): 6.0\n\n#Station Information\n"
        "#StationCode: EAS\n#StationName: Anshuo\n#StationLongitude(E): 120.857\n#StationLatitude(N): "
        "22.381\n"
        "#InstrumentKind: FBA\n#StartTime(GMT+08): 2024/03/05-11:34:05.000\n";
    text += "#RecordLength(sec): " +
            (length.empty() ? printed("%g", static_cast<double>(up.size()) / 50) : length) +
            "\n#SampleRate(Hz): 50\n#AmplitudeUnit:  " + units + "\n";
    text += "#AmplitudeMAX. U: " + extremes(up) + "\n#AmplitudeMAX. N: " + extremes(north) +
            "\n#AmplitudeMAX. E: " + extremes(east) +
            "\n#DataSequence: Time U(+); N(+); E(+)\n#Data: 4F10.3\n";
    for (std::size_t i = 0; i < up.size(); ++i) {
        text += printed("%10.3f", static_cast<double>(i) / 50) + printed("%10.3f", up[i]) +
                printed("%10.3f", north[i]) + printed("%10.3f", east[i]) + "\r\n";
    }
    return text;
}

std::string GeonetFile::text() const {
    std::string text;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::vector<double>& acceleration = values[k];
        std::vector<double> velocity, displacement;
        for (const double value : acceleration)
            velocity.push_back(value / 10), displacement.push_back(value / 100);
        auto peak = [](const std::vector<double>& series) {
            double largest = 0;
            for (const double value : series) largest = std::max(largest, std::abs(value));
            return largest;
        };
        text += std::string(corrected ? "Corrected" : "Uncorrected") +
                " accelerogram 20240305_033405_TEST_20 GNS Science\n";
        text += "Site TEST      42 37 10S  173 03 13E     Cusp file:  test\nTest site\nInstrument test\n";
        text +=
            "Resolution: 18-bit   Instr Period: 0.0050 s   Damping: 0.700\nAccelerogram test\nnear test\n";
        text += "2024 March 5         03:34:00 UT\nEpicentre  42 41 33S 173 01 19E  Depth   15km Mw 7.82\n";
        text += "Number of points  " + std::to_string(acceleration.size()) + "    Duration 6.00 sec\n";
        text += corrected ? "Instrument corrected data at 0.010 sec intervals\n"
                          : "Raw readings in units of 1.00 mm/s/s  at intervals of 0.010 s\n";
        text += corrected ? "Band-pass filter transition bands are .10-.25 Hz and 24.50-25.50 Hz\n"
                          : "Data is unfiltered\n";
        text += "Component " + directions[k] + "  Longitudinal Accelerometer Axis\n";
        text +=
            "Acceleration:  peak " + printed("%8.1f", peak(acceleration)) + " " + units + " at  1.00 sec\n";
        text += corrected ? "Velocity:      peak x mm/s\nDisplacement:  peak x mm\n"
                          : "Velocity record unevaluated\nDisplacement record unevaluated\n";
        std::vector<double> integers(40, 0);
        integers[0] = 2024, integers[1] = 3, integers[2] = 5, integers[3] = 3, integers[4] = 34,
        integers[5] = 0;
        integers[8] = 2024, integers[9] = 3, integers[18] = 5, integers[19] = 3, integers[38] = 34;
        integers[39] = 5000;
        integers[16] = 15;
        integers[27] = azimuths[k];
        integers[33] = static_cast<double>(acceleration.size());
        integers[34] = integers[35] = corrected ? static_cast<double>(acceleration.size()) : 0;
        text += fixed_lines(integers, "%8.0f", 10);
        std::vector<double> reals(60, 0);
        reals[10] = 42.6194, reals[11] = 173.0536, reals[12] = 42.6925, reals[13] = 173.0219, reals[14] = 7.8;
        reals[25] = 0.01;
        reals[corrected ? 35 : 30] = peak(acceleration);
        reals[40] = peak(velocity), reals[45] = peak(displacement);
        if (corrected) reals[50] = 0.1, reals[52] = 0.25, reals[55] = 24.5, reals[57] = 25.5;
        for (std::size_t i = 0; i < reals.size(); ++i)
            text +=
                printed(std::abs(reals[i]) >= 1000 ? "%8.1f" : "%8.4f", reals[i]) + (i % 10 == 9 ? "\n" : "");
        text += fixed_lines(acceleration, "%8.1f", 10);
        if (corrected) text += fixed_lines(velocity, "%8.2f", 10) + fixed_lines(displacement, "%8.3f", 10);
    }
    return text;
}

namespace {

std::string csmip_corrected(const CsmipChannel& c, double peak, const std::string& count) {
    std::string text =
        "Corrected accelerogram   24065.CI.WLT.--.HN      Chan  1:  " + c.orientation + "     from\n";
    text += "Uncorrected Accelerogram Data             Processed: 04/30/24, CGS  test\n";
    text += "Rcrd of Tue Mar  5, 2024 03:34:05.0 UTC\n";
    text += "                                        (Origin:  3/5/24, 03:34:00.0 UTC)\n";
    text += "24065.CI.WLT.--.HN                Start time:  3/4/24, 19:34:05.0 PST (GPS)\n";
    text += "Station Id. 13160     33.634N, 117.902W            s/n 4310  (3 Chns of  3 at Sta)\n";
    text += "Test site                         SCSN   Data: Acceleration\nChan  1:  " + c.orientation + "\n";
    text += "Hypocenter: 34.201N, 116.826W, H=7KM, MW=6.4\n\n";
    text += "Instr Period =  .0050 sec,  Damping =  .707,  Sensitivity = 5.00 v/g  (Nominal)\n";
    text += "                        Record length =  6.000 sec.\n";
    text += "                                     Uncor Max  =   .086 g , at  1.000 sec.\n";
    text += "RMS accel of (uncor) record  =        .   Chn. metadata effective date:\n";
    text += "Accelerogram bandpass filtered with 3 dB pts at   .10 and 23.00 cyc/sec\n";
    text += " " + count + " points of instrument- and baseline-corrected accel, veloc and displ data\n";
    text += "At equally-spaced intervals of    .010  sec.\n";
    for (int k = 18; k <= 25; ++k) text += "line " + std::to_string(k) + "\n";
    std::vector<double> integers(100, -999);
    integers[26] = c.slot27;
    integers[52] = static_cast<double>(c.values.size());
    text += fixed_lines(integers, "%5.0f", 16);
    std::vector<double> velocity, displacement;
    for (const double value : c.values) velocity.push_back(value / 10), displacement.push_back(value / 100);
    std::vector<double> reals(100, -999);
    reals[60] = 0.01;
    reals[65] = c.peak ? *c.peak : peak;
    reals[67] = peak / 10, reals[69] = peak / 100;
    reals[71] = 0.1, reals[72] = 23;
    text += fixed_lines(reals, "%10.4f", 8);
    text += " " + count + " points of accel data equally spaced at  .010 sec, in cm/sec2. (8f10.5)\n" +
            fixed_lines(c.values, "%10.5f", 8);
    text += " " + count + " points of veloc data equally spaced at  .010 sec, in cm/sec.  (8f10.6)\n" +
            fixed_lines(velocity, "%10.6f", 8);
    text += " " + count + " points of displ data equally spaced at  .010 sec, in cm.      (8f10.7)\n" +
            fixed_lines(displacement, "%10.7f", 8);
    return text + "/&  ----------  End of data for channel  1  ----------\n";
}

std::string csmip_uncorrected(const CsmipChannel& c, double peak, const std::string& count) {
    std::string text = "UNCORRECTED ACCELEROGRAM DATA              PROCESSED: 07/16/98, CDMG 13160\n";
    text += "TEST EARTHQUAKE\nMARCH 5, 2024 03:34 UTC        (ORIGIN(USGS): 03/05/24, 03:34:00.0 UTC)\n";
    text += "13160-S1690-24065.03   TRIGGER TIME: 03/05/24, 03:34:05.0 UTC\n";
    text += "STATION NO. 13160   33.634N, 117.902W     SMA-1  S/N 1690\nTEST SITE\n";
    text += "CHAN  1: " + c.orientation + "\nTEST EARTHQUAKE     " + c.agency + "\n";
    text += "HYPOCENTER(CIT/USGS): 34.201N,116.826W, H=7KM.     MS=6.6(NEIC), MW=6.4(CIT)\n";
    text += "INSTR PERIOD =  .0388 SEC,  DAMPING =  .561,  SENSITIVITY = 1.77 CM/G.\n";
    text += "NO. OF POINTS =  " + count + "  RECORD LENGTH =  5.990 SEC\n";
    text += c.digital ? "UNITS OF UNCOR ACCEL IS G.     MAX  =  -.055 G, AT  1.000 SEC.\n"
                      : "UNITS OF UNCOR ACCEL ARE SEC AND G/10.     MAX  =  -.055 G, AT  1.000 SEC.\n";
    text += "RMS ACCEL OF COMPLETE RECORD =  .006 G.\n";
    std::vector<double> integers(100, -999);
    integers[26] = c.slot27;
    integers[27] = static_cast<double>(c.values.size());
    text += fixed_lines(integers, "%5.0f", 16);
    std::vector<double> reals(50, 0);
    reals[6] = c.peak ? *c.peak : peak * (c.digital ? 1 : 0.1);
    text += fixed_lines(reals, "%10.3f", 8);
    if (c.digital) {
        text += count + " POINTS OF ACCEL DATA EQUALLY SPACED AT  .010 SEC.  (UNITS: G)\n" +
                fixed_lines(c.values, "%9.6f", 8);
    } else {
        std::vector<double> pairs;
        for (std::size_t i = 0; i < c.values.size(); ++i)
            pairs.push_back(static_cast<double>(i) / 100), pairs.push_back(c.values[i]);
        text += fixed_lines(pairs, "%7.3f", 10);
    }
    return text + "/&  ----------  END OF DATA FOR CHANNEL  1  ----------\n";
}

}  // namespace

namespace {

// "-1.2345E+0": five significant digits and a one-digit exponent in ten characters, as SMC prints.
std::string smc_values(const std::vector<double>& values) {
    std::string text;
    for (std::size_t i = 0; i < values.size(); ++i) {
        std::string field = printed("%.4E", values[i]);
        const std::size_t exponent = field.find('E') + 2;
        if (field.size() == exponent + 2 && field[exponent] == '0') field.erase(exponent, 1);
        text += std::string(10 - field.size(), ' ') + field;
        if (i % 8 == 7 || i + 1 == values.size()) text += '\n';
    }
    return text;
}

}  // namespace

std::string SmcFile::text() const {
    const auto [low, high] = std::minmax_element(values.begin(), values.end());
    std::string text = type + "\n*\n" + id + "\n     2024   3   5    0334 Test Event\n";
    text +=
        "Moment Mag=      6.9 Ms=      7.1 Ml=      7.0\nstation = Test Station  component=    " + component +
        "\nepicentral dist =     89.0       pk     =    10.0\ninst type=SMA-1      data source = "
        "USGS\n*\n*\n*\n";
    std::vector<double> integers(48, -32768);
    integers[1] = 2024, integers[2] = 65, integers[3] = 3, integers[4] = 34, integers[5] = 0;
    integers[12] = component == "up" ? 0 : 90;
    integers[13] = azimuth;
    integers[15] = 2;
    integers[16] = count.empty() ? static_cast<double>(values.size()) : std::stod(count);
    text += fixed_lines(integers, "%10.0f", 8);
    std::vector<double> reals(50, 0.17e39);
    reals[1] = 100;
    reals[2] = 37.036, reals[3] = -121.883, reals[4] = 18, reals[5] = 6.9, reals[6] = 7.1, reals[7] = 7.0;
    reals[10] = 37.79, reals[11] = -122.40;
    reals[29] = maximum ? *maximum : *high;
    reals[31] = *low;
    text += fixed_lines(reals, "%15.7E", 5);
    text += "| written by the tests\n| 2 comment lines\n";
    return text + smc_values(values);
}

std::string UscFile::text() const {
    const std::string points = count.empty() ? std::to_string(values.size()) : count;
    std::string text = "FILE 017M30CC.Y0A OF UNCORRECTED ACCELEROGRAM DATA OF VOLUME I:\nTEST\n";
    text += "MAR  5, 2024 -0334 GMT\nTEST EARTHQUAKE\nSTATION USC# 0057   34 25 09N, 118 25 34W\nTEST SITE\n";
    text += "COMP " + bearing + "\nTEST\nEPICENTER 34 12 36N, 118 32 13W\n";
    text += "INSTR PERIOD = .040 SEC  DAMPING = .60\nNO. OF POINTS =   " + points +
            "      DURATION =  5.990 SEC\nUNITS ARE SEC AND G/10\nRMS ACCEL = .638 G/10\n";
    std::vector<double> integers(100, 0);
    integers[8] = 57;
    integers[21] = 3, integers[22] = 5, integers[23] = 2024, integers[24] = 334;
    integers[27] = static_cast<double>(values.size());
    text += fixed_lines(integers, "%5.0f", 16);
    std::vector<double> reals(50, 0);
    reals[0] = 0.04, reals[1] = 0.6, reals[2] = 5.99;
    reals[6] = 34.21, reals[7] = 118.537, reals[8] = 34.419, reals[9] = 118.426;
    text += fixed_lines(reals, "%10.3f", 8);
    for (std::size_t i = 0; i < values.size(); ++i) {
        if (i % 5 == 0) text += ' ';
        text += printed("%7.3f", static_cast<double>(i) / 100) + printed("%7.3f", values[i]);
        if (i % 5 == 4 || i + 1 == values.size()) text += '\n';
    }
    return text;
}

std::string BhrcFile::text() const {
    const char* letters[] = {"L", "V", "T"};
    std::string text;
    for (std::size_t k = 0; k < values.size(); ++k) {
        const std::string points = count.empty() ? std::to_string(values[k].size()) : count;
        text += "* VOL1DS FILE:  5522/0" + std::to_string(k + 1) + "\nInst Type = SSA-2\n";
        text += "Origin Time : 2024/03/05   03:34:00\n\n" + std::string(letters[k]) + "\n\nCOMP " +
                letters[k] + "1\n";
        text +=
            "Test Site                 Station   37.485 N 45.891 E   Altitude 1333m   Azimuth L 324   T 54\n";
        text += "Epicenter 38.520 N 46.860 E   FD 12 Km mb      Ms      Mw6.1   M        ML   (BHRC   )\n";
        text += "INSTR PERIOD =  .019 SEC   DAMPING =  .640\nNO. OF POINTS =   " + points +
                "      DURATION =  6.000\n";
        text += "UNITS ARE SECONDS AND G/10\n\n";
        std::vector<double> integers(112, 0);
        integers[27] = static_cast<double>(values[k].size());
        for (std::size_t line = 0; line < 7; ++line) {
            for (std::size_t f = 0; f < 14; ++f) text += printed("%5.0f", integers[16 * line + f]);
            text += '\n';
        }
        std::vector<double> reals(42, 0);
        reals[0] = 0.0193424, reals[1] = 0.64, reals[2] = 6, reals[6] = 100;
        for (std::size_t line = 0; line < 7; ++line) {
            for (std::size_t f = 0; f < 5; ++f) text += printed("%13.6E", reals[6 * line + f]);
            text += "  .00\n";
        }
        text += fixed_lines(values[k], "%13.6E", 10) + "/&\n";
    }
    return text;
}

std::string AfadFile::text() const {
    auto peak = [](const std::vector<double>& series) {
        double largest = 0;
        for (const double value : series) largest = std::max(largest, std::abs(value));
        return largest;
    };
    std::string text = "STRONG GROUND MOTION RECORDS OF TURKIYE\n";
    text += "PLACE                   : Test\nEARTHQUAKE DATE         : 2024/03/05 03:34:00 (GMT)\n";
    text += "EPICENTER COORDINATES   : 36.91980N-27.44350E\nEARTHQUAKE DEPTH (km)   : 19.44\n";
    text += "EARTHQUAKE MAGNITUDE    : 6.5 Mw\nSTATION ID              : 0921\n";
    text += "STATION COORDINATES     : 37.87470N-27.59223E\nSTATION ALTITUDE (m)    : 66\n";
    text += "RECORD TIME             : 05/03/2024 03:34:05.000000 (GMT)\n";
    text += "NUMBER OF DATA          : " + (count.empty() ? std::to_string(values[0].size()) : count) + "\n";
    text += "SAMPLING INTERVAL (sec) : 0.01\n";
    text += pga_label + std::string(24 - pga_label.size(), ' ') + ": (N-S) " +
            printed("%.6f", pga ? *pga : peak(values[0])) + " (E-W) " + printed("%.6f", peak(values[1])) +
            " (U-D) " + printed("%.6f", peak(values[2])) + "\n";
    text += "X                       : x\nY                       : y\nAFAD test\nCopyright test\n";
    text += "       N-S          E-W          U-D\n";
    for (std::size_t i = 0; i < values[0].size(); ++i)
        text += printed("%12.6f", values[0][i]) + printed("%14.6f", values[1][i]) +
                printed("%13.6f", values[2][i]) + "\n";
    return text;
}

std::string UnamFile::text() const {
    auto item = [](const std::string& label, const std::string& value) {
        return label + std::string(39 - label.size(), ' ') + ": " + value + "\n";
    };
    auto maximum = [](const std::vector<double>& series) {
        return *std::max_element(series.begin(), series.end(),
                                 [](double a, double b) { return std::abs(a) < std::abs(b); });
    };
    const std::string n = std::to_string(values[0].size());
    std::string text = "BASE MEXICANA DE DATOS DE SISMOS FUERTES\nTEST\nTEST\nTEST\nTEST\nTEST\n";
    text += "ARCHIVO ESTANDAR DE ACELERACION: TEST.191\n" + item("VERSION DEL FORMATO", "2.0");
    text += "DATOS DE LA ESTACION:\n" + item("CLAVE DE LA ESTACION", "CANA") +
            item("COORDENADAS DE LA ESTACION", "18.567007 LAT. N") + item("", "101.977162 LONG. W") +
            item("ALTITUD (msnm)", "1140") + item("ORIENTACION C1-C6 (rumbo;orientacion)", "/N00E/N90E/V");
    text += item("INTERVALO DE MUESTREO, C1-C6 (s)", "/0.01/0.01/0.01") + "DATOS DEL SISMO:\n";
    text += item("FECHA DEL SISMO [GMT]", "2024/03/05") + item("HORA EPICENTRO (GMT)", "03:34:00.0") +
            item("COORDENADAS DEL EPICENTRO", "17.2 LAT. N") + item("", "100.1 LONG. W") +
            item("PROFUNDIDAD FOCAL (Km)", "51") + item("MAGNITUD(ES)", "/M=7.1");
    text += "DATOS DE ESTE REGISTRO:\n" + item("HORA DE LA PRIMERA MUESTRA (GMT)", "03:34:05.500");
    text += item("NUM. TOTAL DE MUESTRAS, C1-C6", counts.empty() ? "/" + n + "/" + n + "/" + n : counts);
    text += item("ACEL. MAX.(Gal), C1-C6", "/" + printed("%.2f", maximum(values[0])) + "/" +
                                               printed("%.2f", maximum(values[1])) + "/" +
                                               printed("%.2f", maximum(values[2])));
    text += item("UNIDADES DE LOS DATOS", units) + item("FORMATO DATOS (10 campos/dato)", "3F10.4");
    text +=
        "DATOS DE ACELERACION:\n----------\n   CANAL-1   CANAL-2   CANAL-3\n      N00E      N90E         "
        "V\n----------\n";
    for (std::size_t i = 0; i < values[0].size(); ++i)
        text += printed("%10.4f", values[0][i]) + printed("%10.4f", values[1][i]) +
                printed("%10.4f", values[2][i]) + "\n";
    return text;
}

std::string csmip_text(const std::vector<CsmipChannel>& channels) {
    std::string text;
    for (const auto& c : channels) {
        double peak = 0;
        for (const double value : c.values) peak = std::max(peak, std::abs(value));
        const std::string count =
            c.count.empty() ? printed("%5.0f", static_cast<double>(c.values.size())) : c.count;
        text += c.corrected ? csmip_corrected(c, peak, count) : csmip_uncorrected(c, peak, count);
    }
    return text;
}

}  // namespace smwave::testing

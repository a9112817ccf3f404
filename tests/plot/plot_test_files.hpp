#pragma once
// Small files of each kind the suite writes, made up for the tests.
#include <cmath>
#include <cstdio>
#include <string>

namespace smwave::plot::testing {

// A waveform file ("time(s),comp1, comp2, comp3") or amp3.csv of `rows` rows: x = row * step and the
// three components value(row, 1..3), written as the suite writes them.
template <typename Value>
std::string comma_file(const char* first_column, int rows, double step, Value value) {
    std::string text = std::string(" ") + first_column + ",comp1, comp2, comp3\n";
    char row_text[128];
    for (int row = 0; row < rows; ++row) {
        std::snprintf(row_text, sizeof row_text, "%8.3f,%12.4E,%12.4E,%12.4E,\n", row * step, value(row, 1),
                      value(row, 2), value(row, 3));
        text += row_text;
    }
    return text;
}

inline double wave(int row, int component) { return component * std::sin(0.3 * row + component); }

inline std::string waveform_text(int rows = 50) { return comma_file("time(s)", rows, 0.01, wave); }

inline std::string spectrum_text() {
    return comma_file("frequency(Hz)", 40, 0.5,
                      [](int row, int component) { return row < 3 ? 0.0 : component * 10.0 / row; });
}

inline std::string echo_text() {
    return "  0.  0.021 -0.01771 -0.00604\n  0.01  0.01769  0.5  0.01794\n  0.02 -0.00356  0.01849 "
           "-0.01953\n";
}

inline std::string response_text() {
    std::string text =
        "# smwave-response from "
        "velocity.csv\ndamping,period(s),sd1,sd2,sd3,psv1,psv2,psv3,psa1,psa2,psa3,sa1,sa2,"
        "sa3\n";
    for (const char* damping : {"0.02", "0.05"}) {
        for (const char* period : {"0", "0.1", "0.5", "1", "2"}) {
            text += std::string(damping) + "," + period + ",1,2,3,4,5,6,7,8,9,10,11,12\n";
        }
    }
    return text;
}

}  // namespace smwave::plot::testing

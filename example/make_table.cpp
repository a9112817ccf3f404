// Writes a synthetic three-component strong-motion table in smwave's input layout.
//
//     make_table ROWS [DT] > table.txt
//
// A header line, one descriptive line, then ROWS rows of a time ("%10.3f") and 42 channel values
// (" %11.5f", in gal). Channels 38, 40 and 17 (components 1 to 3) hold band-limited noise with a
// strong-motion burst that builds up and decays; the other channels hold weak sensor noise. The
// values come from a fixed pseudo-random sequence, so every run writes the same table.
#include <array>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "synthetic_motion.hpp"

namespace {

using example::pi;
using example::Random;
constexpr int channel_count = 42;

// One component: band-limited partials shaped by an envelope that rises over the first seconds of the
// burst and decays after it.
class Component {
  public:
    Component(Random& random, double amplitude, double onset)
        : partials_(random), amplitude_(amplitude), onset_(onset) {}
    double at(double t) const {
        const double s = t - onset_;
        const double envelope = s <= 0 ? 0.0 : (s / 4.0) * (s / 4.0) * std::exp(2.0 - s / 2.0);
        return amplitude_ * envelope * partials_.at(t);
    }

  private:
    example::Partials partials_;
    double amplitude_, onset_;
};

void append_fixed(std::string& line, double value, int width, int decimals) {
    char digits[64];
    const auto end =
        std::to_chars(digits, digits + sizeof digits, value, std::chars_format::fixed, decimals).ptr;
    const int length = static_cast<int>(end - digits);
    if (length < width) line.append(static_cast<std::size_t>(width - length), ' ');
    line.append(digits, end);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fputs("usage: make_table ROWS [DT] > table.txt\n", stderr);
        return 2;
    }
    const long rows = std::strtol(argv[1], nullptr, 10);
    const double dt = argc > 2 ? std::strtod(argv[2], nullptr) : 0.01;
    if (rows < 0 || !(dt > 0)) {
        std::fputs("make_table: ROWS must be 0 or more and DT above 0\n", stderr);
        return 2;
    }

    Random random(20261208);
    const Component east(random, 180.0, 5.0), north(random, 150.0, 5.3), up(random, 70.0, 4.6);

    std::string text = "SYN1 EW NS UD\n";
    text += "time(s) and 42 channels in gal; channel 38 = EW, 40 = NS, 17 = UD\n";
    std::fwrite(text.data(), 1, text.size(), stdout);

    std::string line;
    for (long i = 0; i < rows; ++i) {
        const double t = static_cast<double>(i) * dt;
        line.clear();
        append_fixed(line, t, 10, 3);
        for (int channel = 1; channel <= channel_count; ++channel) {
            double value = 0.05 * (random.next() - 0.5);
            if (channel == 38) value += east.at(t);
            if (channel == 40) value += north.at(t);
            if (channel == 17) value += up.at(t);
            line += ' ';
            append_fixed(line, value, 11, 5);
        }
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), stdout);
    }
    return 0;
}

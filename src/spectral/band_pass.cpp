#include "spectral/band_pass.hpp"

#include <cmath>

#include "spectral/constants.hpp"
#include "spectral/frequency_grid.hpp"

namespace smwave {

bool band_corners_in_order(double fl1, double fl2, double fh1, double fh2) {
    const bool finite = std::isfinite(fl1) && std::isfinite(fl2) && std::isfinite(fh1) && std::isfinite(fh2);
    return finite && fl1 <= fl2 && fl2 <= fh1 && fh1 <= fh2;
}

BandCorners band_corners_from_hz(double fl1, double fl2, double fh1, double fh2) {
    return {fl1 * two_pi, fl2 * two_pi, fh1 * two_pi, fh2 * two_pi};
}

double band_pass_weight(double omega, const BandCorners& c) {
    double aa = 1.0;
    if (omega < c.oml2) aa = c.oml2 == c.oml1 ? 0.0 : (omega - c.oml1) / (c.oml2 - c.oml1);
    if (omega > c.omh1) aa = c.omh2 == c.omh1 ? 0.0 : (c.omh2 - omega) / (c.omh2 - c.omh1);
    return aa;
}

Complex band_pass_bin(Complex bin, double omega, const BandCorners& c) {
    if (omega < c.oml1) bin = {0.0, 0.0};
    if (omega > c.omh2) bin = {0.0, 0.0};
    return times(bin, Complex{band_pass_weight(omega, c), 0.0});
}

void band_pass_bins(std::span<Complex> bins, double dom, const BandCorners& corners) {
    for (std::size_t k = 0; k < bins.size(); ++k)
        bins[k] = band_pass_bin(bins[k], bin_omega(k, dom), corners);
}

}  // namespace smwave

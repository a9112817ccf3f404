#pragma once
// The JMA instrumental seismic intensity of a three-component acceleration record in cm/s/s.
//
// Each component's spectrum is multiplied by F(f) = F1 F2 F3, F1 = f^-1/2, F2 the high-cut polynomial
// in y = f / 10, F3 = (1 - exp(-(f / 0.5)^3))^1/2 (and 0 at f = 0), and transformed back; p(t) is the
// length of the three filtered components' vector; a is the largest level that p reaches or exceeds
// for 0.3 s in all, and I = 2 log10(a) + 0.94.
#include <array>
#include <span>
#include <string>
#include <vector>

#include "measures/padded_spectrum.hpp"
#include "spectral/complex_math.hpp"

namespace smwave::measures {

// F(f) for f >= 0 in Hz.
double jma_filter(double f);

struct JmaIntensity {
    double intensity = 0;  // unrounded; NaN when the record is too short or silent
    double published = 0;  // rounded at the third decimal, then truncated to one decimal
    std::string grade;     // "0" .. "4", "5-", "5+", "6-", "6+", "7", or empty
};

// The intensity of three components given by their forward transforms through `transform`, bins at
// k / (bins dt), of a record of `samples` samples. p(t) is taken over the whole padded length.
JmaIntensity jma_intensity(const std::array<std::vector<Complex>, 3>& spectra,
                           const PaddedTransform& transform, std::size_t samples, double dt);

// The published value and grade of an unrounded intensity.
JmaIntensity jma_from_intensity(double intensity);

}  // namespace smwave::measures

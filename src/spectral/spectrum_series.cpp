#include "spectral/spectrum_series.hpp"

#include "spectral/complex_math.hpp"

namespace smwave {

void load_padded(const double* x, std::int32_t nt, std::int32_t nf, Complex* fx) {
    for (std::int32_t i = 1; i <= nt; ++i) fx[i] = {x[i], 0.0};
    for (std::int32_t i = nt + 1; i <= nf; ++i) fx[i] = {0.0, 0.0};
}

void scale_bins(Complex* fx, std::int32_t nf, double dt) {
    for (std::int32_t i = 1; i <= nf; ++i) fx[i] = times(fx[i], Complex{dt, 0.0});
}

void mirror_conjugate(Complex* fx, std::int32_t nf) {
    for (std::int32_t i = 2; i <= nf / 2; ++i) fx[nf - i + 2] = {fx[i].re, -fx[i].im};
}

void unload_real(const Complex* fx, std::int32_t nf, double dur, double* x) {
    for (std::int32_t i = 1; i <= nf; ++i) x[i] = fx[i].re / dur;
}

}  // namespace smwave

#include "spectral/integration.hpp"

#include "spectral/complex_math.hpp"
#include "spectral/frequency_grid.hpp"

namespace smwave {

Complex integrate_bin(Complex bin, double omega, std::int32_t nit) {
    switch (nit) {
        case nit_integrate:
            return divided(bin, Complex{0.0, omega});
        case nit_integrate_twice:
            return divided(bin, Complex{-omega * omega, 0.0});
        case nit_differentiate:
            return times(bin, Complex{0.0, omega});
        default:
            return bin;
    }
}

void integrate_bins(Complex* fx, std::int32_t nom, double dom, std::int32_t nit) {
    for (std::int32_t i = 2; i <= nom; ++i) fx[i] = integrate_bin(fx[i], bin_omega(i, dom), nit);
}

}  // namespace smwave

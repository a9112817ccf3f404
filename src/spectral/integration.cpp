#include "spectral/integration.hpp"

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

void integrate_bins(std::span<Complex> bins, double dom, std::int32_t nit) {
    for (std::size_t k = 1; k < bins.size(); ++k) bins[k] = integrate_bin(bins[k], bin_omega(k, dom), nit);
}

}  // namespace smwave

#pragma once
// The frequency grid of a transform of nf samples at interval dt.
#include <cstddef>
#include <cstdint>

namespace smwave {

struct FrequencyGrid {
    double dur;        // frame duration nf*dt (s)
    double dom;        // bin spacing two_pi/dur (rad/s)
    std::int32_t nom;  // bins from zero frequency to Nyquist inclusive, nf/2 + 1
    double eom;        // nom*dom (rad/s), one bin above Nyquist; reported only
};

// The grid of nf samples at interval dt; bin k (0..nom-1) lies at k*dom.
//     frequency_grid(4096, 0.01) -> {40.96, 0.15339807878..., 2049, 314.3126634...}
FrequencyGrid frequency_grid(std::int32_t nf, double dt);

// The angular frequency of bin k (counted from 0, the zero-frequency bin): double(k)*dom.
inline double bin_omega(std::size_t k, double dom) { return double(k) * dom; }

}  // namespace smwave

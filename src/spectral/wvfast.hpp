#pragma once
// In-place radix-2 decimation-in-time fast Fourier transform.
//
// Transforms a[1..n] (n a power of two) in place: A(q) = sum a(p) w(pq mod n), with
// w(r) = (cos(2 pi r/n), ind * sin(2 pi r/n)). ind = -1 is the forward transform, +1 the backward
// one; neither direction scales. `mom` is the declared capacity of `a`; elements above n are untouched.
//
//     wvfast(run.nf, run.fx1, capacity, -1);
#include <cstdint>

#include "run/state.hpp"

namespace smwave {

// The angle constant of the transform: the double nearest 3.141592654 (about 4.1e-10 above pi).
inline constexpr double pai = 3.141592654;

void wvfast(std::int32_t n, Complex* a, std::int32_t mom, std::int32_t ind);

}  // namespace smwave

#pragma once
// The two angle constants of the numerics. They are not interchangeable: pai is not half of two_pi.

namespace smwave {

// The angle constant of the transform: the double nearest 3.141592654 (about 4.1e-10 above pi).
inline constexpr double pai = 3.141592654;

// 2 pi everywhere else (frequency grid, band-pass corners, spectrum frequencies): the double nearest
// 6.283185307 (about 1.8e-10 below 2 pi).
inline constexpr double two_pi = 6.283185307;

}  // namespace smwave

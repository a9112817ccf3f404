#pragma once
// Complex arithmetic written out term by term, so that every result is exactly the stated sequence
// of double operations (no library rescaling or NaN recovery).
#include <cmath>

namespace smwave {

// A complex value, real part first.
struct Complex {
    double re;
    double im;
};

// The full complex product: (a.re*b.re - a.im*b.im, a.re*b.im + a.im*b.re).
// Multiplying by (s, 0) still forms all four terms, so an infinite or NaN part spreads as it would.
//     Complex scaled = times(bin, Complex{dt, 0.0});
inline Complex times(Complex a, Complex b) { return {a.re * b.re - a.im * b.im, a.re * b.im + a.im * b.re}; }

// a / b by scaled pivoting: the larger part of b (in magnitude) is the pivot, the ratio of the
// other part to it stays within 1, so no intermediate overflows that the quotient itself avoids.
//     Complex integrated = divided(bin, Complex{0.0, omega});
inline Complex divided(Complex a, Complex b) {
    if (std::fabs(b.re) >= std::fabs(b.im)) {
        const double ratio = b.im / b.re;
        const double denominator = b.re + b.im * ratio;
        return {(a.re + a.im * ratio) / denominator, (a.im - a.re * ratio) / denominator};
    }
    const double ratio = b.re / b.im;
    const double denominator = b.re * ratio + b.im;
    return {(a.re * ratio + a.im) / denominator, (a.im * ratio - a.re) / denominator};
}

// The modulus of z without intermediate overflow: with a >= b the magnitudes of the two parts,
// a when b is negligible beside it (a + b == a), otherwise a * sqrt(1 + (b/a)^2).
//     double amplitude = modulus(bin);
inline double modulus(Complex z) {
    const double re = std::fabs(z.re);
    const double im = std::fabs(z.im);
    const double larger = re >= im ? re : im;
    const double smaller = re >= im ? im : re;
    if (larger + smaller == larger) return larger;
    const double ratio = smaller / larger;
    return larger * std::sqrt(1.0 + ratio * ratio);
}

}  // namespace smwave

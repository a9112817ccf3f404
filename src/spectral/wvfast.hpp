#pragma once
// In-place radix-2 decimation-in-time fast Fourier transform, with a plan of twiddle factors that
// the caller makes once per length and owns.
//
// Transforms a series of n elements (n a power of two) in place: with 0-based positions,
// A(q) = sum a(p) w(pq mod n), w(r) = (cos(2 pi r/n), ind * sin(2 pi r/n)). ind = -1 is the forward
// transform, +1 the backward one; neither direction scales. The twiddle angles are formed from pai.
//
//     std::vector<Complex> storage(wvfast_plan_size(n));
//     const WvfastPlan plan = make_wvfast_plan(n, storage);
//     wvfast(series, plan, -1);  // series.size() == n
#include <cstddef>
#include <cstdint>
#include <span>

#include "spectral/complex_math.hpp"

namespace smwave {

// The backward twiddle factors of every stage of one length: stage kmax (1, 2, 4, ... n/2) holds its
// kmax factors at [kmax, 2*kmax - 1] of `twiddles`. The forward factors are their exact conjugates,
// so one plan serves both directions and any number of series of its length.
struct WvfastPlan {
    std::int32_t length = 0;
    std::span<const Complex> twiddles;
};

// Elements of storage that a plan of length n needs.
constexpr std::size_t wvfast_plan_size(std::int32_t n) { return static_cast<std::size_t>(n); }

// Fills the first wvfast_plan_size(n) elements of `storage` with the twiddle factors of length n
// (a power of two, 1 or more) and gives the plan over them. The plan is valid while `storage` is.
WvfastPlan make_wvfast_plan(std::int32_t n, std::span<Complex> storage);

// Transforms `series` (exactly plan.length elements) in place in direction ind (-1 or +1).
void wvfast(std::span<Complex> series, const WvfastPlan& plan, std::int32_t ind);

}  // namespace smwave

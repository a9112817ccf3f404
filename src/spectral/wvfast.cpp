#include "spectral/wvfast.hpp"

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>

#include "spectral/constants.hpp"

namespace smwave {
namespace {

// Elements in one block of the early stages: 32 KiB, which stays in the first-level cache while
// every stage whose groups fit in the block runs over it.
constexpr std::int32_t block_span = 2048;
// Twiddle factors computed ahead of one sweep of a later stage: enough to keep each run of
// butterflies contiguous in memory, small enough to live on the stack.
constexpr std::int32_t twiddle_block = 256;

// Moves element p (0-based) to the bit-reversed position of p over log2(n) bits. The counters i and j
// count positions from 1.
void reorder_bit_reversed(std::int32_t n, Complex* a) {
    std::int32_t j = 1;
    for (std::int32_t i = 1; i <= n; ++i) {
        if (i < j) {
            const Complex temp = a[j - 1];
            a[j - 1] = a[i - 1];
            a[i - 1] = temp;
        }
        std::int32_t m = n / 2;
        while (j > m) {
            j -= m;
            m /= 2;
            if (m <= 1) break;
        }
        j += m;
    }
}

// The backward twiddle factor of position k (1..kmax) in a stage of half-span kmax: the angle is
// the integer k - 1 converted, multiplied by pai, then divided by kmax.
Complex twiddle(std::int32_t k, std::int32_t kmax) {
    const double phi = double(k - 1) * pai / double(kmax);
    return {std::cos(phi), std::sin(phi)};
}

// One butterfly: a(j) = a(i) - a(j)*w, then a(i) = a(i) + a(j)*w, the product stored first.
inline void butterfly(Complex& upper, Complex& lower, Complex w) {
    const Complex temp = times(lower, w);
    lower = {upper.re - temp.re, upper.im - temp.im};
    upper = {upper.re + temp.re, upper.im + temp.im};
}

// The twiddle factors of stage kmax for direction `ind` into w[0 .. count-1], from position first.
// The forward angle is the exact negative of the backward one, so its cosine is the same and its
// sine the exact negative; 0 - sin keeps the sine of the zero angle +0, as sin(0) gives it.
void stage_twiddles(const Complex* table, std::int32_t kmax, std::int32_t first, std::int32_t count,
                    std::int32_t ind, Complex* w) {
    const Complex* from = table + kmax + first - 1;
    for (std::int32_t t = 0; t < count; ++t) w[t] = ind < 0 ? Complex{from[t].re, 0.0 - from[t].im} : from[t];
}

// The stages whose groups fit in `span` elements (a power of two up to block_span), taken block by
// block: each block runs through all of them while it is in cache.
void run_early_stages(std::int32_t n, Complex* a, std::int32_t span, std::int32_t ind, const Complex* table) {
    std::array<Complex, block_span> w;
    for (std::int32_t kmax = 1; kmax < span; kmax *= 2)
        stage_twiddles(table, kmax, 1, kmax, ind, w.data() + kmax);
    for (std::int32_t base = 0; base < n; base += span) {
        for (std::int32_t kmax = 1; kmax < span; kmax *= 2) {
            const Complex* stage = w.data() + kmax;
            for (std::int32_t group = base; group < base + span; group += 2 * kmax) {
                Complex* upper = a + group;
                Complex* lower = upper + kmax;
                for (std::int32_t t = 0; t < kmax; ++t) butterfly(upper[t], lower[t], stage[t]);
            }
        }
    }
}

// One later stage of half-span kmax, taken over a block of positions k at a time, each block's
// twiddle factors applied group by group across the whole array.
void run_late_stage(std::int32_t n, Complex* a, std::int32_t kmax, std::int32_t ind, const Complex* table) {
    const std::int32_t istep = 2 * kmax;
    std::array<Complex, twiddle_block> w;
    for (std::int32_t first = 1; first <= kmax; first += twiddle_block) {
        const std::int32_t count = std::min(twiddle_block, kmax - first + 1);
        stage_twiddles(table, kmax, first, count, ind, w.data());
        for (std::int32_t group = first - 1; group < n; group += istep) {
            Complex* upper = a + group;
            Complex* lower = upper + kmax;
            for (std::int32_t t = 0; t < count; ++t) butterfly(upper[t], lower[t], w[t]);
        }
    }
}

}  // namespace

WvfastPlan make_wvfast_plan(std::int32_t n, std::span<Complex> storage) {
    assert(storage.size() >= wvfast_plan_size(n));
    for (std::int32_t kmax = 1; kmax < n; kmax *= 2) {
        for (std::int32_t k = 1; k <= kmax; ++k) storage[kmax + k - 1] = twiddle(k, kmax);
    }
    return {n, storage.first(wvfast_plan_size(n))};
}

void wvfast(std::span<Complex> series, const WvfastPlan& plan, std::int32_t ind) {
    const std::int32_t n = plan.length;
    assert(series.size() == static_cast<std::size_t>(n));
    // The butterflies of a stage are independent of one another, so taking them in this order gives
    // the same values as sweeping each stage position by position.
    Complex* a = series.data();
    reorder_bit_reversed(n, a);
    const Complex* table = plan.twiddles.data();
    const std::int32_t span = std::min(n, block_span);
    run_early_stages(n, a, span, ind, table);
    for (std::int32_t kmax = span; kmax < n; kmax *= 2) run_late_stage(n, a, kmax, ind, table);
}

}  // namespace smwave

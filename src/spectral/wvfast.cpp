#include "spectral/wvfast.hpp"

#include <algorithm>
#include <array>
#include <cmath>

#include "spectral/complex_math.hpp"

namespace smwave {
namespace {

// Elements in one block of the early stages: 32 KiB, which stays in the first-level cache while
// every stage whose groups fit in the block runs over it.
constexpr std::int32_t block_span = 2048;
// Twiddle factors computed ahead of one sweep of a later stage: enough to keep each run of
// butterflies contiguous in memory, small enough to live on the stack.
constexpr std::int32_t twiddle_block = 256;

// Moves element p + 1 (0-based p) to the bit-reversed position of p over log2(n) bits.
void reorder_bit_reversed(std::int32_t n, Complex* a) {
    std::int32_t j = 1;
    for (std::int32_t i = 1; i <= n; ++i) {
        if (i < j) {
            const Complex temp = a[j];
            a[j] = a[i];
            a[i] = temp;
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

// The twiddle factor of position k (1..kmax) in a stage of half-span kmax; the integer product
// (k - 1) * ind is converted, multiplied by pai, then divided by kmax.
Complex twiddle(std::int32_t k, std::int32_t kmax, std::int32_t ind) {
    const double phi = double((k - 1) * ind) * pai / double(kmax);
    return {std::cos(phi), std::sin(phi)};
}

// One butterfly: a(j) = a(i) - a(j)*w, then a(i) = a(i) + a(j)*w, the product stored first.
inline void butterfly(Complex& upper, Complex& lower, Complex w) {
    const Complex temp = times(lower, w);
    lower = {upper.re - temp.re, upper.im - temp.im};
    upper = {upper.re + temp.re, upper.im + temp.im};
}

// The stages whose groups fit in `span` elements (a power of two up to block_span), taken block by
// block: each block runs through all of them while it is in cache. Each stage's twiddle factors are
// computed once, stage kmax at table[kmax .. 2*kmax - 1].
void run_early_stages(std::int32_t n, Complex* a, std::int32_t span, std::int32_t ind) {
    std::array<Complex, block_span> table;
    for (std::int32_t kmax = 1; kmax < span; kmax *= 2) {
        for (std::int32_t k = 1; k <= kmax; ++k) table[kmax + k - 1] = twiddle(k, kmax, ind);
    }
    for (std::int32_t base = 1; base <= n; base += span) {
        for (std::int32_t kmax = 1; kmax < span; kmax *= 2) {
            const Complex* w = table.data() + kmax;
            for (std::int32_t group = base; group < base + span; group += 2 * kmax) {
                Complex* upper = a + group;
                Complex* lower = upper + kmax;
                for (std::int32_t t = 0; t < kmax; ++t) butterfly(upper[t], lower[t], w[t]);
            }
        }
    }
}

// One later stage of half-span kmax, taken over a block of positions k at a time: the block's
// twiddle factors are computed once, then applied group by group across the whole array.
void run_late_stage(std::int32_t n, Complex* a, std::int32_t kmax, std::int32_t ind) {
    const std::int32_t istep = 2 * kmax;
    std::array<Complex, twiddle_block> w;
    for (std::int32_t first = 1; first <= kmax; first += twiddle_block) {
        const std::int32_t count = std::min(twiddle_block, kmax - first + 1);
        for (std::int32_t t = 0; t < count; ++t) w[t] = twiddle(first + t, kmax, ind);
        for (std::int32_t group = first; group <= n; group += istep) {
            Complex* upper = a + group;
            Complex* lower = upper + kmax;
            for (std::int32_t t = 0; t < count; ++t) butterfly(upper[t], lower[t], w[t]);
        }
    }
}

}  // namespace

void wvfast(std::int32_t n, Complex* a, std::int32_t /*mom*/, std::int32_t ind) {
    // The butterflies of a stage are independent of one another, so taking them in this order gives
    // the same values as sweeping each stage position by position.
    reorder_bit_reversed(n, a);
    const std::int32_t span = std::min(n, block_span);
    run_early_stages(n, a, span, ind);
    for (std::int32_t kmax = span; kmax < n; kmax *= 2) run_late_stage(n, a, kmax, ind);
}

}  // namespace smwave

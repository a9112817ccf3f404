#include "measures/konno_ohmachi.hpp"

#include <algorithm>
#include <cmath>
#include <thread>

namespace smwave::measures {

namespace {

// Below this |b log10(f / fc)| the window's sine is taken directly rather than by the difference of
// angles, whose absolute rounding (about 1e-14) would then show in the ratio.
constexpr double near_centre = 1e-2;

}  // namespace

KonnoOhmachi::KonnoOhmachi(std::size_t bins, double spacing, double b) : b_(b) {
    log_frequency_.resize(bins);
    sine_.resize(bins);
    cosine_.resize(bins);
    for (std::size_t k = 0; k < bins; ++k) {
        log_frequency_[k] = std::log10(static_cast<double>(k + 1) * spacing);
        sine_[k] = std::sin(b * log_frequency_[k]);
        cosine_[k] = std::cos(b * log_frequency_[k]);
    }
}

namespace {

// Bins are weighed and summed a block at a time: the block's weights stay in the first-level cache.
constexpr std::size_t block = 256;

// Four interleaved partial sums: bin k of a block goes to part k mod 4, and the bins past the block's
// last multiple of 4 to parts 0, 1, 2. The order of the additions is the same whatever the threads.
struct PartialSum {
    double part[4] = {0, 0, 0, 0};
    double total() const { return (part[0] + part[1]) + (part[2] + part[3]); }
};

// Adds a block's weights to *weights (unless null) and their products with each of the `S` spectra
// `values` to sums[0 .. S-1]. Each sum's chain of additions waits on its own last one; the chains of
// the S + 1 sums run side by side, held in locals so that they stay in registers.
template <std::size_t S>
void add_weighed(const double* weight, const double* const* values, std::size_t count, PartialSum* weights,
                 PartialSum* sums) {
    double w[4] = {0, 0, 0, 0}, p[S + 1][4] = {};
    if (weights) std::copy(weights->part, weights->part + 4, w);
    for (std::size_t s = 0; s < S; ++s) std::copy(sums[s].part, sums[s].part + 4, p[s]);
    std::size_t k = 0;
    for (; k + 4 <= count; k += 4) {
        for (std::size_t j = 0; j < 4; ++j) w[j] += weight[k + j];
        for (std::size_t s = 0; s < S; ++s) {
            for (std::size_t j = 0; j < 4; ++j) p[s][j] += weight[k + j] * values[s][k + j];
        }
    }
    for (std::size_t j = 0; k < count; ++k, ++j) {
        w[j] += weight[k];
        for (std::size_t s = 0; s < S; ++s) p[s][j] += weight[k] * values[s][k];
    }
    if (weights) std::copy(w, w + 4, weights->part);
    for (std::size_t s = 0; s < S; ++s) std::copy(p[s], p[s] + 4, sums[s].part);
}

// The same for any number of spectra, four at a time.
void add_weighed_block(const double* weight, std::span<const double* const> values, std::size_t count,
                       PartialSum& weights, PartialSum* sums) {
    PartialSum* still_to_add = &weights;
    for (std::size_t s = 0; s < values.size() || still_to_add; s += 4) {
        const double* const* group = values.data() + s;
        switch (std::min<std::size_t>(4, values.size() - s)) {
            case 0: add_weighed<0>(weight, group, count, still_to_add, sums + s); break;
            case 1: add_weighed<1>(weight, group, count, still_to_add, sums + s); break;
            case 2: add_weighed<2>(weight, group, count, still_to_add, sums + s); break;
            case 3: add_weighed<3>(weight, group, count, still_to_add, sums + s); break;
            default: add_weighed<4>(weight, group, count, still_to_add, sums + s); break;
        }
        still_to_add = nullptr;
    }
}

// sin(b (L - Lc)) = sin(b L) cos(b Lc) - cos(b L) sin(b Lc): two products a bin instead of a sine. The
// pointers are restricted (the block aliases none of the tables).
struct WindowTerms {
    double b, log_centre, sine_c, cosine_c;
};

// Count is the block's length, or 0 for the shorter last block of `count` bins: a loop of a length known
// when compiling needs no remainder, which is what lets the compiler vectorise it at -O2.
template <std::size_t Count>
void far_weights(const double* __restrict log_frequency, const double* __restrict sine,
                 const double* __restrict cosine, double* __restrict weight, std::size_t count,
                 WindowTerms w) {
    const std::size_t n = Count > 0 ? Count : count;
    for (std::size_t k = 0; k < n; ++k) {
        const double x = w.b * (log_frequency[k] - w.log_centre);
        const double ratio = (sine[k] * w.cosine_c - cosine[k] * w.sine_c) / x;
        const double square = ratio * ratio;
        weight[k] = square * square;
    }
}

// A whole block, built for the widest vector instructions of the processor, chosen when the program
// starts. Each lane does the same operations in the same order as the scalar loop, so the weights
// are the same bit for bit on every processor.
__attribute__((target_clones("avx512f", "avx2", "default"))) void far_weights_of_block(
    const double* __restrict log_frequency, const double* __restrict sine, const double* __restrict cosine,
    double* __restrict weight, WindowTerms w) {
    far_weights<block>(log_frequency, sine, cosine, weight, block, w);
}

}  // namespace

void KonnoOhmachi::weigh(const Centre& centre, std::size_t first, std::size_t count, double* weight) const {
    const double b = b_;
    const double *log_frequency = log_frequency_.data() + first, *sine = sine_.data() + first,
                 *cosine = cosine_.data() + first;
    const WindowTerms terms{b, centre.log, centre.sine, centre.cosine};
    const std::size_t near_first = std::max(first, centre.near_first),
                      near_end = std::min(first + count, centre.near_end);
    if (count == block) {
        far_weights_of_block(log_frequency, sine, cosine, weight, terms);
    } else {
        far_weights<0>(log_frequency, sine, cosine, weight, count, terms);
    }
    // The bins near the centre again, with the sine taken directly.
    for (std::size_t k = near_first; k < near_end; ++k) {
        const double x = b * (log_frequency_[k] - centre.log);
        const double ratio = x == 0 ? 1 : std::sin(x) / x;
        const double square = ratio * ratio;
        weight[k - first] = square * square;
    }
}

std::vector<std::vector<double>> KonnoOhmachi::smooth(std::span<const std::span<const double>> spectra,
                                                      std::span<const double> centres, unsigned threads) const {
    const std::size_t bins = log_frequency_.size();
    std::vector<Centre> windows;
    for (const double f : centres) {
        Centre centre{std::log10(f), 0, 0, 0, 0};
        centre.sine = std::sin(b_ * centre.log);
        centre.cosine = std::cos(b_ * centre.log);
        // The bins near the centre form one run, found by bisection of the rising log frequencies.
        const double reach = near_centre / b_;
        const auto begin = log_frequency_.begin(), end = log_frequency_.end();
        centre.near_first =
            static_cast<std::size_t>(std::lower_bound(begin, end, centre.log - reach) - begin);
        centre.near_end = static_cast<std::size_t>(std::upper_bound(begin, end, centre.log + reach) - begin);
        windows.push_back(centre);
    }
    // Block by block, every centre of a share: each block of the tables and spectra is read from memory
    // once a share. The shares are contiguous runs of centres, one a thread; a centre's sums are added
    // in the same order whatever its share.
    std::vector<PartialSum> weights(centres.size()), sums(centres.size() * spectra.size());
    const auto smooth_share = [&](std::size_t from, std::size_t to) {
        double weight[block];
        std::vector<const double*> values(spectra.size());
        for (std::size_t first = 0; first < bins; first += block) {
            const std::size_t count = std::min(block, bins - first);
            for (std::size_t s = 0; s < spectra.size(); ++s) values[s] = spectra[s].data() + first;
            for (std::size_t c = from; c < to; ++c) {
                weigh(windows[c], first, count, weight);
                add_weighed_block(weight, values, count, weights[c], sums.data() + c * spectra.size());
            }
        }
    };
    const std::size_t shares = std::min<std::size_t>(std::max(threads, 1u), centres.size());
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < shares; ++t) {
        helpers.emplace_back(smooth_share, t * centres.size() / shares, (t + 1) * centres.size() / shares);
    }
    smooth_share(0, shares == 0 ? 0 : centres.size() / shares);
    for (std::thread& helper : helpers) helper.join();
    std::vector<std::vector<double>> smoothed(centres.size());
    for (std::size_t c = 0; c < centres.size(); ++c) {
        for (std::size_t s = 0; s < spectra.size(); ++s) {
            smoothed[c].push_back(sums[c * spectra.size() + s].total() / weights[c].total());
        }
    }
    return smoothed;
}

}  // namespace smwave::measures

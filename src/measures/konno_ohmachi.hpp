#pragma once
// Konno-Ohmachi smoothing of amplitude spectra on the bins of one transform: the smoothed value at a
// centre frequency fc is sum W(f) A(f) / sum W(f) over the bins above 0 Hz, with
//     W(f) = (sin(b log10(f / fc)) / (b log10(f / fc)))^4,  W(fc) = 1.
#include <span>
#include <vector>

namespace smwave::measures {

class KonnoOhmachi {
  public:
    // Bins k = 1 .. bins at k * spacing Hz (spacing > 0), bandwidth coefficient b.
    KonnoOhmachi(std::size_t bins, double spacing, double b = 40);

    // The smoothed values at each of `centres` Hz (> 0) of each spectrum of `spectra`, each holding the
    // amplitudes of bins 1 .. bins: result[centre][spectrum]. The centres are shared among up to
    // `threads` threads; the values do not depend on how many.
    std::vector<std::vector<double>> smooth(std::span<const std::span<const double>> spectra,
                                            std::span<const double> centres, unsigned threads = 1) const;

  private:
    struct Centre {
        double log, sine, cosine;          // log10 fc, and sin and cos of b times it
        std::size_t near_first, near_end;  // the bins close enough to take the sine directly
    };
    // The window's weights of bins first .. first + count - 1 into weight[0 .. count - 1].
    void weigh(const Centre& centre, std::size_t first, std::size_t count, double* weight) const;

    double b_;
    std::vector<double> log_frequency_;  // log10 of each bin's frequency
    std::vector<double> sine_, cosine_;  // sin and cos of b times it
};

}  // namespace smwave::measures

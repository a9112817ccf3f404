#pragma once
// What the conversion does to each component's samples before they are written: the baseline taken
// off and the ends tapered.
#include <span>
#include <string_view>

namespace smwave::table {

// The baseline removed: the mean (the default, as agencies do), a least-squares line, or nothing.
enum class Baseline { mean, line, none };

// "mean", "line", "none": the words the table's metadata uses.
std::string_view baseline_word(Baseline baseline);

// Subtracts the mean of the samples from each; nothing for an empty span.
void remove_mean(std::span<double> samples);

// Subtracts the least-squares straight line through (i, samples[i]); a single sample becomes 0.
void remove_line(std::span<double> samples);

// Multiplies the first and last m = floor(fraction x size) samples by a Hann half-window:
// w(i) = (1 - cos(pi i / m)) / 2 for i = 0..m-1, mirrored at the end (the end samples become 0).
// `fraction` lies in [0, 0.5].
void apply_taper(std::span<double> samples, double fraction);

}  // namespace smwave::table

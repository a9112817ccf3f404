#pragma once
// The whole instrument response divided out of a record in the frequency domain.
#include <array>
#include <span>
#include <vector>

#include "table/response_stages.hpp"

namespace smwave::table {

// The corners f1 < f2 <= f3 < f4 (Hz) of the cosine pre-filter: 0 below f1 and above f4, 1 from f2
// to f3, half-cosine ramps between.
using Prefilter = std::array<double, 4>;

// 0.005, 0.01, 0.8 fN and 0.9 fN, fN the Nyquist frequency 1 / (2 interval).
Prefilter default_prefilter(double interval);

// The pre-filter's weight at `frequency` (of either sign).
double prefilter_weight(const Prefilter& corners, double frequency);

struct RemovalSettings {
    Prefilter prefilter{};
    double water_level_db = 60;  // the response is kept at least max|H| x 10^(-water_level_db / 20)
    bool differentiate = false;  // the first stage's input is a velocity: give its derivative
    double factor = 1;           // multiplies the result (the input units to cm/s/s)
};

// Transforms the samples (zero-padded to the power of two at least twice their number, so the
// division does not wrap) with the suite's wvfast, divides each bin by the response (raised to the
// water level where smaller, its phase kept), weights it by the pre-filter, multiplies it by
// 2 pi i f when differentiating, and transforms back; the samples then hold the result.
void remove_response(std::span<double> samples, double interval, const std::vector<ResponseStage>& stages,
                     const RemovalSettings& settings);

}  // namespace smwave::table

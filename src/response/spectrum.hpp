#pragma once
// Elastic response spectra: the peaks of damped oscillators of many periods driven by a record.
#include <array>
#include <functional>
#include <vector>

#include "response/oscillator.hpp"
#include "response/record.hpp"

namespace smwave::response {

// One damping ratio and period, for each of the three components.
struct SpectrumRow {
    double damping = 0;
    double period = 0;            // seconds; 0 stands for an infinitely stiff oscillator
    std::array<double, 3> sd{};   // peak relative displacement
    std::array<double, 3> psv{};  // (2 pi / T) sd
    std::array<double, 3> psa{};  // (2 pi / T)^2 sd
    std::array<double, 3> sa{};   // peak absolute acceleration
};

// The row of period 0: the peak ground acceleration as psa and sa, 0 as sd and psv.
SpectrumRow peak_ground_acceleration(const GroundRecord& record, double damping);

// The row of a period (> 0) from the peaks of its oscillators on the three components.
SpectrumRow spectrum_row(double damping, double period, const std::array<Peaks, 3>& peaks);

// Told by the calling thread, after each row it computes, the share of rows taken so far (0 to 1).
using Progress = std::function<void(double share)>;

// The rows for every damping (outer) and period (inner), in the order given. A period of 0 gives the
// peak ground acceleration as psa and sa, and 0 as sd and psv. The oscillators start at rest at the
// first sample. Work is shared among up to `threads` threads.
std::vector<SpectrumRow> response_spectra(const GroundRecord& record, const std::vector<double>& dampings,
                                          const std::vector<double>& periods, unsigned threads,
                                          const Progress& progress = {});

// The peak relative displacements at one damping for each of `periods` (> 0) seconds on the three
// components, result[period][component]: the sd of response_spectra(), found without the accelerations.
// Work is shared among up to `threads` threads; the values do not depend on how many.
std::vector<std::array<double, 3>> displacement_spectra(const GroundRecord& record, double damping,
                                                        const std::vector<double>& periods, unsigned threads);

// Whether every value of every row is finite: records of values or intervals beyond any physical
// meaning (1e300) can overflow the range of doubles.
bool all_finite(const std::vector<SpectrumRow>& rows);

}  // namespace smwave::response

#pragma once
// Orientation-independent response spectra of the two horizontal components: RotD00, RotD50 and
// RotD100 of the oscillators' displacements projected on the angles 0 to 179 degrees, taken on the
// same sub-steps as the per-component spectra.
#include <array>
#include <vector>

#include "response/record.hpp"
#include "response/rotation.hpp"
#include "response/spectrum.hpp"

namespace smwave::response {

struct RotatedRow {
    double damping = 0;
    double period = 0;  // 0: the ground acceleration itself, as psa; sd and psv are then 0
    RotD sd, psv, psa;  // psv = (2 pi / T) sd, psa = (2 pi / T)^2 sd
};

// The spectra of the three components and the rotated spectra of the two `horizontals`.
struct SpectraWithRotD {
    std::vector<SpectrumRow> rows;   // those of response_spectra()
    std::vector<RotatedRow> rotated;  // row for row
};

// The rows for every damping (outer) and period (inner), the rotated ones of the components
// `horizontals` (0-based, two different ones); each oscillator is stepped once for both. Work is
// shared among up to `threads` threads; the values do not depend on how many.
SpectraWithRotD rotated_spectra(const GroundRecord& record, std::array<int, 2> horizontals,
                                const std::vector<double>& dampings, const std::vector<double>& periods,
                                unsigned threads, const Progress& progress = {});

// RotD of the ground motion's two components `horizontals` (0-based) as they are.
RotD rotd_of_record(const GroundRecord& record, std::array<int, 2> horizontals);

}  // namespace smwave::response

#pragma once
// Every measure of a record, one row each, as the measures file holds them: the measure's name, its
// units, then the cells comp1, comp2, comp3, geometric_mean, larger, rotd00, rotd50, rotd100 (an empty
// text where a column does not apply or the value is undefined).
#include <array>
#include <optional>
#include <string>
#include <vector>

#include "response/record.hpp"

namespace smwave::measures {

inline constexpr const char* measures_header =
    "measure,units,comp1,comp2,comp3,geometric_mean,larger,rotd00,rotd50,rotd100";

struct MeasureRow {
    std::string measure;
    std::string units;
    std::array<std::string, 8> cells;
};

// The record in cm/s/s, cm/s and cm, and the choices that shape its measures.
struct MeasureInputs {
    response::GroundRecord acceleration;
    std::optional<response::GroundRecord> velocity, displacement;
    std::array<int, 2> horizontals{0, 1};  // 0-based
    std::vector<double> frequencies;       // of the smoothed Fourier amplitudes, Hz
    unsigned threads = 1;                  // for the response spectra
};

// The rows: pga (pgv, pgd), arias, d5-75, d5-95, cav, cav5, standardized_cav, bracketed_duration,
// housner_si, the JMA intensity (unrounded, published, grade; in comp1, from all three components),
// then one fas row per frequency.
std::vector<MeasureRow> measure_rows(const MeasureInputs& inputs);

// The whole file's text: `comment` (one line, without the '#'), the header, the rows.
std::string measures_text(const std::vector<MeasureRow>& rows, const std::string& comment);

}  // namespace smwave::measures

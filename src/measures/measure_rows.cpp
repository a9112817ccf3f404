#include "measures/measure_rows.hpp"

#include <algorithm>
#include <cmath>
#include <functional>
#include <future>
#include <numbers>
#include <span>

#include "companion/number_text.hpp"
#include "measures/jma_intensity.hpp"
#include "measures/konno_ohmachi.hpp"
#include "measures/padded_spectrum.hpp"
#include "measures/time_measures.hpp"
#include "response/rotated_spectrum.hpp"
#include "response/spectrum.hpp"

namespace smwave::measures {

namespace {

using Components = std::array<std::vector<double>, 3>;
using PerComponent = std::function<double(std::span<const double>)>;

std::string cell(double value) {
    std::string text;
    if (std::isfinite(value)) companion::append_shortest(text, value);
    return text;
}

// A measure of each component, without combinations.
MeasureRow component_row(std::string measure, std::string units, const Components& x,
                         const PerComponent& of) {
    MeasureRow row{std::move(measure), std::move(units), {}};
    for (std::size_t c = 0; c < 3; ++c) row.cells[c] = cell(of(x[c]));
    return row;
}

// A peak of each component, with the horizontals' geometric mean, larger and RotD values.
MeasureRow peak_row(std::string measure, std::string units, const response::GroundRecord& record,
                    std::array<int, 2> horizontals) {
    MeasureRow row = component_row(std::move(measure), std::move(units), record.components, peak_of);
    const double first = peak_of(record.components[horizontals[0]]);
    const double second = peak_of(record.components[horizontals[1]]);
    const response::RotD rotd = response::rotd_of_record(record, horizontals);
    row.cells[3] = cell(std::sqrt(first * second));
    row.cells[4] = cell(std::max(first, second));
    row.cells[5] = cell(rotd.rotd00);
    row.cells[6] = cell(rotd.rotd50);
    row.cells[7] = cell(rotd.rotd100);
    return row;
}

// Housner's spectrum intensity: PSV at 5 % damping integrated over the periods 0.1, 0.11, ... 2.5 s.
MeasureRow housner_row(const response::GroundRecord& record, unsigned threads) {
    std::vector<double> periods;
    for (int hundredths = 10; hundredths <= 250; ++hundredths) periods.push_back(hundredths / 100.0);
    const auto sd = response::displacement_spectra(record, 0.05, periods, threads);
    std::vector<std::array<double, 3>> psv(periods.size());
    for (std::size_t i = 0; i < periods.size(); ++i) {
        const double omega = 2 * std::numbers::pi / periods[i];
        for (std::size_t c = 0; c < 3; ++c) psv[i][c] = omega * sd[i][c];
    }
    MeasureRow row{"housner_si", "cm", {}};
    for (std::size_t c = 0; c < 3; ++c) {
        double sum = 0;
        for (std::size_t i = 0; i + 1 < periods.size(); ++i) {
            sum += (psv[i][c] + psv[i + 1][c]) / 2 * (periods[i + 1] - periods[i]);
        }
        row.cells[c] = cell(sum);
    }
    return row;
}

void add_jma_rows(std::vector<MeasureRow>& rows, const std::array<std::vector<Complex>, 3>& spectra,
                  const PaddedTransform& transform, std::size_t samples, double dt) {
    const JmaIntensity jma = jma_intensity(spectra, transform, samples, dt);
    rows.push_back({"jma_intensity", "", {cell(jma.intensity)}});
    rows.push_back({"jma_intensity_published", "", {cell(jma.published)}});
    rows.push_back({"jma_grade", "", {jma.grade}});
}

// The Konno-Ohmachi smoothed amplitudes |X(f)| dt of each component and of the horizontals' geometric
// mean, one row per frequency (empty above the Nyquist frequency).
void add_fourier_rows(std::vector<MeasureRow>& rows, const std::array<std::vector<Complex>, 3>& spectra,
                      const MeasureInputs& inputs) {
    const double dt = inputs.acceleration.dt;
    const std::size_t length = spectra[0].size(), bins = length / 2;
    std::array<std::vector<double>, 4> amplitude;
    for (std::size_t c = 0; c < 3; ++c) {
        for (std::size_t k = 1; k <= bins; ++k) amplitude[c].push_back(modulus(spectra[c][k]) * dt);
    }
    const auto& first = amplitude[inputs.horizontals[0]];
    const auto& second = amplitude[inputs.horizontals[1]];
    for (std::size_t k = 0; k < bins; ++k) amplitude[3].push_back(std::sqrt(first[k] * second[k]));
    const std::array<std::span<const double>, 4> views{amplitude[0], amplitude[1], amplitude[2],
                                                       amplitude[3]};

    const KonnoOhmachi smoothing(bins, 1 / (static_cast<double>(length) * dt));
    const double nyquist = 1 / (2 * dt);
    const std::vector<std::vector<double>> smoothed = smoothing.smooth(views, inputs.frequencies);
    for (std::size_t i = 0; i < inputs.frequencies.size(); ++i) {
        const double f = inputs.frequencies[i];
        std::string name = "fas_";
        companion::append_shortest(name, f);
        name += "Hz";
        MeasureRow row{std::move(name), "cm/s", {}};
        if (f <= nyquist) {
            for (std::size_t s = 0; s < 4; ++s) row.cells[s] = cell(smoothed[i][s]);
        }
        rows.push_back(std::move(row));
    }
}

}  // namespace

std::vector<MeasureRow> measure_rows(const MeasureInputs& inputs) {
    const response::GroundRecord& record = inputs.acceleration;
    const Components& a = record.components;
    const double dt = record.dt;
    // Housner's intensity costs more than all the rest: with threads to spare it is stepped on its
    // own while this thread takes the other measures.
    std::future<MeasureRow> housner;
    if (inputs.threads > 1) housner = std::async(std::launch::async, housner_row, std::cref(record), inputs.threads);
    std::vector<MeasureRow> rows;
    rows.push_back(peak_row("pga", "cm/s/s", record, inputs.horizontals));
    if (inputs.velocity) rows.push_back(peak_row("pgv", "cm/s", *inputs.velocity, inputs.horizontals));
    if (inputs.displacement) rows.push_back(peak_row("pgd", "cm", *inputs.displacement, inputs.horizontals));
    rows.push_back(component_row("arias", "m/s", a, [&](auto x) { return arias_intensity(x, dt); }));
    rows.push_back(
        component_row("d5-75", "s", a, [&](auto x) { return significant_duration(x, dt, 0.05, 0.75); }));
    rows.push_back(
        component_row("d5-95", "s", a, [&](auto x) { return significant_duration(x, dt, 0.05, 0.95); }));
    rows.push_back(
        component_row("cav", "cm/s", a, [&](auto x) { return cumulative_absolute_velocity(x, dt); }));
    rows.push_back(
        component_row("cav5", "cm/s", a, [&](auto x) { return cumulative_absolute_velocity(x, dt, 5); }));
    rows.push_back(
        component_row("standardized_cav", "cm/s", a, [&](auto x) { return standardized_cav(x, dt); }));
    rows.push_back(
        component_row("bracketed_duration", "s", a, [&](auto x) { return bracketed_duration(x, dt); }));
    const std::size_t housner_index = rows.size();
    rows.emplace_back();

    const std::size_t samples = a[0].size();
    const PaddedTransform transform(padded_length(samples));
    const std::array<std::vector<Complex>, 3> spectra{transform.forward(a[0]), transform.forward(a[1]),
                                                      transform.forward(a[2])};
    add_jma_rows(rows, spectra, transform, samples, dt);
    add_fourier_rows(rows, spectra, inputs);
    rows[housner_index] = housner.valid() ? housner.get() : housner_row(record, 1);
    return rows;
}

std::string measures_text(const std::vector<MeasureRow>& rows, const std::string& comment) {
    std::string text = "#" + comment + "\n" + measures_header + "\n";
    for (const MeasureRow& row : rows) {
        text += row.measure + ',' + row.units;
        for (const std::string& value : row.cells) text += ',' + value;
        text += '\n';
    }
    return text;
}

}  // namespace smwave::measures

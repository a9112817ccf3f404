#include "response/spectrum.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <span>
#include <thread>

#include "response/oscillator.hpp"

namespace smwave::response {

namespace {

SpectrumRow peak_ground_acceleration(const GroundRecord& record, double damping) {
    SpectrumRow row{.damping = damping, .period = 0};
    for (std::size_t c = 0; c < 3; ++c) {
        double peak = 0;
        for (const double a : record.components[c]) peak = std::max(peak, std::abs(a));
        row.psa[c] = row.sa[c] = peak;
    }
    return row;
}

SpectrumRow oscillator_row(const GroundRecord& record, double damping, double period) {
    const IntervalMap map = interval_map(period, damping, record.dt, sub_steps(period, record.dt));
    std::array<std::span<const double>, 3> components;
    for (std::size_t c = 0; c < 3; ++c) components[c] = record.components[c];
    std::array<OscillatorState, 3> at_rest{};
    const std::array<Peaks, 3> peaks = respond<3>(map, components, at_rest);
    SpectrumRow row{.damping = damping, .period = period};
    const double omega = 2 * std::numbers::pi / period;
    for (std::size_t c = 0; c < 3; ++c) {
        row.sd[c] = peaks[c].displacement;
        row.psv[c] = omega * row.sd[c];
        row.psa[c] = omega * omega * row.sd[c];
        row.sa[c] = peaks[c].absolute_acceleration;
    }
    return row;
}

}  // namespace

std::vector<SpectrumRow> response_spectra(const GroundRecord& record, const std::vector<double>& dampings,
                                          const std::vector<double>& periods, unsigned threads,
                                          const Progress& progress) {
    std::vector<SpectrumRow> rows(dampings.size() * periods.size());
    std::atomic<std::size_t> next{0};
    // Each worker takes the next row: short periods cost more sub-steps, so rows are handed out one by one.
    const auto work = [&](bool reporting) {
        for (std::size_t i = next++; i < rows.size(); i = next++) {
            const double damping = dampings[i / periods.size()], period = periods[i % periods.size()];
            rows[i] = period == 0 ? peak_ground_acceleration(record, damping)
                                  : oscillator_row(record, damping, period);
            if (reporting && progress)
                progress(static_cast<double>(std::min(next.load(), rows.size())) / rows.size());
        }
    };
    const std::size_t running = std::min<std::size_t>(std::max(threads, 1u), rows.size());
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < running; ++t) helpers.emplace_back(work, false);
    work(true);
    for (std::thread& helper : helpers) helper.join();
    return rows;
}

bool all_finite(const std::vector<SpectrumRow>& rows) {
    for (const SpectrumRow& row : rows) {
        for (const auto* values : {&row.sd, &row.psv, &row.psa, &row.sa}) {
            for (const double value : *values) {
                if (!std::isfinite(value)) return false;
            }
        }
    }
    return true;
}

}  // namespace smwave::response

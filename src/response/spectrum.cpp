#include "response/spectrum.hpp"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <numbers>
#include <span>

#include "response/oscillator.hpp"
#include "response/shared_rows.hpp"

namespace smwave::response {

SpectrumRow peak_ground_acceleration(const GroundRecord& record, double damping) {
    SpectrumRow row{.damping = damping, .period = 0};
    for (std::size_t c = 0; c < 3; ++c) {
        double peak = 0;
        for (const double a : record.components[c]) peak = std::max(peak, std::abs(a));
        row.psa[c] = row.sa[c] = peak;
    }
    return row;
}

SpectrumRow spectrum_row(double damping, double period, const std::array<Peaks, 3>& peaks) {
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

namespace {

SpectrumRow oscillator_row(const GroundRecord& record, double damping, double period) {
    const IntervalMap map = interval_map(period, damping, record.dt, sub_steps(period, record.dt));
    std::array<std::span<const double>, 3> components;
    for (std::size_t c = 0; c < 3; ++c) components[c] = record.components[c];
    std::array<OscillatorState, 3> at_rest{};
    return spectrum_row(damping, period, respond<3>(map, components, at_rest));
}

}  // namespace

std::vector<SpectrumRow> response_spectra(const GroundRecord& record, const std::vector<double>& dampings,
                                          const std::vector<double>& periods, unsigned threads,
                                          const Progress& progress) {
    std::vector<SpectrumRow> rows(dampings.size() * periods.size());
    std::atomic<std::size_t> done{0};
    share_rows(rows.size(), threads, [&](std::size_t i, std::size_t worker) {
        const double damping = dampings[i / periods.size()], period = periods[i % periods.size()];
        rows[i] = period == 0 ? peak_ground_acceleration(record, damping) : oscillator_row(record, damping, period);
        ++done;
        if (worker == 0 && progress) progress(static_cast<double>(done.load()) / rows.size());
    });
    return rows;
}

std::vector<std::array<double, 3>> displacement_spectra(const GroundRecord& record, double damping,
                                                        const std::vector<double>& periods, unsigned threads) {
    std::vector<IntervalMap> maps;
    for (const double period : periods) {
        maps.push_back(interval_map(period, damping, record.dt, sub_steps(period, record.dt)));
    }
    // Runs of up to four neighbouring periods of the same sub-step count are stepped together.
    constexpr std::size_t run_length = 4;
    std::vector<std::size_t> run_starts;
    for (std::size_t p = 0; p < maps.size(); ++p) {
        if (run_starts.empty() || p - run_starts.back() == run_length || maps[p].count != maps[p - 1].count)
            run_starts.push_back(p);
    }
    run_starts.push_back(maps.size());
    std::array<std::span<const double>, 3> components;
    for (std::size_t c = 0; c < 3; ++c) components[c] = record.components[c];

    std::vector<std::array<double, 3>> sd(maps.size());
    share_rows(run_starts.size() - 1, threads, [&](std::size_t r, std::size_t) {
        const std::size_t first = run_starts[r], count = run_starts[r + 1] - first;
        const auto peaks = peak_displacements(std::span(maps).subspan(first, count), components);
        std::copy(peaks.begin(), peaks.end(), sd.begin() + static_cast<std::ptrdiff_t>(first));
    });
    return sd;
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

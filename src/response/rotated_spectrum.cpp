#include "response/rotated_spectrum.hpp"

#include <atomic>
#include <numbers>
#include <tuple>
#include <utility>

#include "response/oscillator.hpp"
#include "response/shared_rows.hpp"

namespace smwave::response {

namespace {

constexpr std::size_t max_stored_points = 2'000'000;

RotD scaled(RotD d, double factor) { return {d.rotd00 * factor, d.rotd50 * factor, d.rotd100 * factor}; }

// The horizontals' displacements, kept by each thread from row to row: fresh buffers would cost the
// system zeroed pages for every row.
struct TracedPair {
    std::vector<double> u1, u2;
};

// The rows of one damping and period (> 0). Each oscillator is stepped once: the steps give the peaks
// and the horizontals' displacements, whose rotations RotD takes.
std::pair<SpectrumRow, RotatedRow> oscillator_rows(const GroundRecord& record, std::array<int, 2> horizontals,
                                                   double damping, double period, TracedPair& trace) {
    const IntervalMap map = interval_map(period, damping, record.dt, sub_steps(period, record.dt));
    const int third = 3 - horizontals[0] - horizontals[1];
    // The horizontals first: their displacements are traced, the third's oscillator steps beside them.
    const std::array<std::span<const double>, 3> records = {
        record.components[horizontals[0]], record.components[horizontals[1]], record.components[third]};
    // Stepping costs more than storing: displacements that fit in a few tens of MB are traced once and
    // kept, longer ones are generated again for the peak search's second pass.
    const std::size_t points = (records[0].size() - 1) * static_cast<std::size_t>(map.count) + 1;
    std::array<Peaks, 3> traced;
    RotD sd;
    if (points <= max_stored_points) {
        if (trace.u1.size() < points) {
            trace.u1.resize(points);
            trace.u2.resize(points);
        }
        std::size_t taken = 0;
        traced = trace_pair(map, records,
                            [&taken, to1 = trace.u1.data(), to2 = trace.u2.data()](double a, double b) {
                                to1[taken] = a;
                                to2[taken] = b;
                                ++taken;
                            });
        sd = rotd_of(rotated_peaks(std::span(trace.u1).first(points), std::span(trace.u2).first(points)));
    } else {
        sd = rotd_of(rotated_peaks([&](auto&& take) { traced = trace_pair(map, records, take); }));
    }
    std::array<Peaks, 3> peaks;
    peaks[horizontals[0]] = traced[0];
    peaks[horizontals[1]] = traced[1];
    peaks[third] = traced[2];
    const double omega = 2 * std::numbers::pi / period;
    return {spectrum_row(damping, period, peaks),
            {damping, period, sd, scaled(sd, omega), scaled(sd, omega * omega)}};
}

}  // namespace

RotD rotd_of_record(const GroundRecord& record, std::array<int, 2> horizontals) {
    return rotd_of(rotated_peaks(record.components[horizontals[0]], record.components[horizontals[1]]));
}

SpectraWithRotD rotated_spectra(const GroundRecord& record, std::array<int, 2> horizontals,
                                const std::vector<double>& dampings, const std::vector<double>& periods,
                                unsigned threads, const Progress& progress) {
    SpectraWithRotD spectra;
    const std::size_t count = dampings.size() * periods.size();
    spectra.rows.resize(count);
    spectra.rotated.resize(count);
    std::atomic<std::size_t> done{0};
    std::vector<TracedPair> traces(shared_workers(count, threads));
    share_rows(count, threads, [&](std::size_t i, std::size_t worker) {
        const double damping = dampings[i / periods.size()], period = periods[i % periods.size()];
        if (period == 0) {
            spectra.rows[i] = peak_ground_acceleration(record, damping);
            spectra.rotated[i] = {damping, 0, {}, {}, rotd_of_record(record, horizontals)};
        } else {
            std::tie(spectra.rows[i], spectra.rotated[i]) = oscillator_rows(record, horizontals, damping, period, traces[worker]);
        }
        ++done;
        if (worker == 0 && progress) progress(static_cast<double>(done.load()) / count);
    });
    return spectra;
}

}  // namespace smwave::response

#include "response/rotated_spectrum.hpp"

#include <algorithm>
#include <atomic>
#include <numbers>
#include <thread>

#include "response/oscillator.hpp"

namespace smwave::response {

namespace {

constexpr std::size_t max_stored_points = 2'000'000;

RotD scaled(RotD d, double factor) { return {d.rotd00 * factor, d.rotd50 * factor, d.rotd100 * factor}; }

RotatedRow oscillator_row(const GroundRecord& record, std::array<int, 2> horizontals, double damping,
                          double period) {
    const IntervalMap map = interval_map(period, damping, record.dt, sub_steps(period, record.dt));
    const std::span<const double> first = record.components[horizontals[0]];
    const std::span<const double> second = record.components[horizontals[1]];
    // Stepping costs more than storing: displacements that fit in a few tens of MB are traced once and
    // kept, longer ones are generated again for the peak search's second pass.
    const std::size_t points = (first.size() - 1) * static_cast<std::size_t>(map.count) + 1;
    RotD sd;
    if (points <= max_stored_points) {
        std::vector<double> u1(points), u2(points);
        std::size_t taken = 0;
        trace_pair(map, first, second, [&taken, to1 = u1.data(), to2 = u2.data()](double a, double b) {
            to1[taken] = a;
            to2[taken] = b;
            ++taken;
        });
        sd = rotd_of(rotated_peaks(u1, u2));
    } else {
        sd = rotd_of(rotated_peaks([&](auto&& take) { trace_pair(map, first, second, take); }));
    }
    const double omega = 2 * std::numbers::pi / period;
    return {damping, period, sd, scaled(sd, omega), scaled(sd, omega * omega)};
}

}  // namespace

RotD rotd_of_record(const GroundRecord& record, std::array<int, 2> horizontals) {
    return rotd_of(rotated_peaks(record.components[horizontals[0]], record.components[horizontals[1]]));
}

std::vector<RotatedRow> rotated_spectra(const GroundRecord& record, std::array<int, 2> horizontals,
                                        const std::vector<double>& dampings,
                                        const std::vector<double>& periods, unsigned threads) {
    std::vector<RotatedRow> rows(dampings.size() * periods.size());
    std::atomic<std::size_t> next{0};
    const auto work = [&] {
        for (std::size_t i = next++; i < rows.size(); i = next++) {
            const double damping = dampings[i / periods.size()], period = periods[i % periods.size()];
            if (period == 0) {
                rows[i] = {damping, 0, {}, {}, rotd_of_record(record, horizontals)};
            } else {
                rows[i] = oscillator_row(record, horizontals, damping, period);
            }
        }
    };
    const std::size_t running = std::min<std::size_t>(std::max(threads, 1u), rows.size());
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < running; ++t) helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers) helper.join();
    return rows;
}

}  // namespace smwave::response

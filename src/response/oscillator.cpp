#include "response/oscillator.hpp"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>

namespace smwave::response {

namespace {

using Complex = std::complex<double>;

// phi1(z) - phi2(z) and phi2(z), where phi1(z) = (e^z - 1) / z and phi2(z) = (phi1(z) - 1) / z: the
// integrals over [0, 1] of e^(z r) r and of e^(z r) (1 - r). Near 0 by their series, free of the
// cancellation of the closed forms.
struct PhiPair {
    Complex start;  // phi1 - phi2
    Complex end;    // phi2
};

PhiPair phi_pair(Complex z) {
    if (std::abs(z) >= 1) {
        const Complex phi1 = (std::exp(z) - 1.0) / z;
        const Complex phi2 = (phi1 - 1.0) / z;
        return {phi1 - phi2, phi2};
    }
    // phi1 - phi2 = sum z^k (k + 1) / (k + 2)!,  phi2 = sum z^k / (k + 2)!; 25 terms exhaust |z| < 1.
    Complex power = 1.0;
    double factorial = 2;  // (k + 2)!
    PhiPair sum{0.0, 0.0};
    for (int k = 0; k < 25; ++k) {
        sum.start += power * ((k + 1) / factorial);
        sum.end += power / factorial;
        power *= z;
        factorial *= k + 3;
    }
    return sum;
}

}  // namespace

int sub_steps(double period, double dt) {
    const double wanted = std::ceil(10 * dt / period);
    return wanted >= max_sub_steps ? max_sub_steps : std::max(1, static_cast<int>(wanted));
}

IntervalMap interval_map(double period, double zeta, double dt, int count) {
    const double omega = 2 * std::numbers::pi / period;
    const double omega_d = omega * std::sqrt(1 - zeta * zeta);
    const double h = dt / count;
    const Complex lambda(-zeta * omega, omega_d);  // the free motion is Im(e^(lambda t)) / omega_d
    const Complex z = lambda * h;
    const Complex decay = std::exp(z);
    const double s = decay.imag() / omega_d;

    IntervalMap map;
    map.count = count;
    map.stiffness = omega * omega;
    map.viscosity = 2 * zeta * omega;
    map.uu = decay.real() + zeta * omega * s;
    map.uv = s;
    map.vu = -omega * omega * s;
    map.vv = decay.real() - zeta * omega * s;

    // The excitation -a, linear over the sub-step, enters through the integrals of the impulse response
    // Im(e^(lambda s)) / omega_d weighted by the two ends' shares.
    const PhiPair phi = phi_pair(z);
    const double start_u = -(h * phi.start).imag() / omega_d, end_u = -(h * phi.end).imag() / omega_d;
    const double start_v = -(lambda * h * phi.start).imag() / omega_d;
    const double end_v = -(lambda * h * phi.end).imag() / omega_d;
    // Sub-step k runs from a_i + (a_i+1 - a_i) k / count to a_i + (a_i+1 - a_i) (k + 1) / count.
    for (int k = 0; k < count; ++k) {
        const double from = static_cast<double>(k) / count, to = static_cast<double>(k + 1) / count;
        map.u0.push_back(start_u * (1 - from) + end_u * (1 - to));
        map.u1.push_back(start_u * from + end_u * to);
        map.v0.push_back(start_v * (1 - from) + end_v * (1 - to));
        map.v1.push_back(start_v * from + end_v * to);
    }
    return map;
}

template <std::size_t K>
std::array<Peaks, K> respond(const IntervalMap& map, const std::array<std::span<const double>, K>& records,
                             std::array<OscillatorState, K>& states) {
    std::array<double, K> u{}, v{}, peak_u{}, peak_acceleration{};
    for (std::size_t c = 0; c < K; ++c) {
        u[c] = states[c].u;
        v[c] = states[c].v;
        peak_u[c] = std::abs(u[c]);
        peak_acceleration[c] = std::abs(map.stiffness * u[c] + map.viscosity * v[c]);
    }
    const std::size_t samples = records[0].size();
    const double uu = map.uu, uv = map.uv, vu = map.vu, vv = map.vv;
    for (std::size_t i = 0; i + 1 < samples; ++i) {
        for (int k = 0; k < map.count; ++k) {
            const double u0 = map.u0[k], u1 = map.u1[k], v0 = map.v0[k], v1 = map.v1[k];
            // The components are independent chains: interleaved, their latencies overlap.
            for (std::size_t c = 0; c < K; ++c) {
                const double a0 = records[c][i], a1 = records[c][i + 1];
                // The excitation's terms first: they do not wait for the state.
                const double next_u = (u0 * a0 + u1 * a1) + (uu * u[c] + uv * v[c]);
                const double next_v = (v0 * a0 + v1 * a1) + (vu * u[c] + vv * v[c]);
                u[c] = next_u;
                v[c] = next_v;
                // The new value first: a state overflowed to NaN stays NaN, and so does its peak.
                peak_u[c] = std::max(std::abs(next_u), peak_u[c]);
                peak_acceleration[c] =
                    std::max(std::abs(map.stiffness * next_u + map.viscosity * next_v), peak_acceleration[c]);
            }
        }
    }
    std::array<Peaks, K> peaks;
    for (std::size_t c = 0; c < K; ++c) {
        states[c] = {u[c], v[c]};
        peaks[c] = {peak_u[c], peak_acceleration[c]};
    }
    return peaks;
}

namespace {

// Maps stepped side by side: each lane's chain of states is independent of the others', so the
// lanes' steps overlap and the compiler can take them two at a time.
constexpr std::size_t lanes = 2;

// The coefficients of `lanes` maps of the same sub-step count, lane by lane.
struct LaneMaps {
    double uu[lanes] = {}, uv[lanes] = {}, vu[lanes] = {}, vv[lanes] = {};
    std::vector<std::array<double, lanes>> u0, u1, v0, v1;  // per sub-step
    int count = 1;
};

// Lanes past the last map repeat it; their results are dropped.
LaneMaps lane_maps(std::span<const IntervalMap> maps) {
    LaneMaps lane;
    lane.count = maps[0].count;
    const std::size_t count = static_cast<std::size_t>(lane.count);
    lane.u0.resize(count);
    lane.u1.resize(count);
    lane.v0.resize(count);
    lane.v1.resize(count);
    for (std::size_t l = 0; l < lanes; ++l) {
        const IntervalMap& map = maps[std::min(l, maps.size() - 1)];
        lane.uu[l] = map.uu;
        lane.uv[l] = map.uv;
        lane.vu[l] = map.vu;
        lane.vv[l] = map.vv;
        for (std::size_t k = 0; k < count; ++k) {
            lane.u0[k][l] = map.u0[k];
            lane.u1[k][l] = map.u1[k];
            lane.v0[k][l] = map.v0[k];
            lane.v1[k][l] = map.v1[k];
        }
    }
    return lane;
}

// The peak displacements of up to `lanes` maps on the three records: peaks[c][lane]. The innermost
// loops have fixed lengths, unrolled, so that the compiler keeps the states in registers and takes
// two lanes at a time.
std::array<std::array<double, lanes>, 3> lane_peaks(const LaneMaps& map,
                                                    const std::array<std::span<const double>, 3>& records) {
    double u[3][lanes] = {}, v[3][lanes] = {}, peak[3][lanes] = {};
    const std::size_t samples = records[0].size();
    for (std::size_t i = 0; i + 1 < samples; ++i) {
        for (std::size_t k = 0; k < static_cast<std::size_t>(map.count); ++k) {
            const auto &u0 = map.u0[k], &u1 = map.u1[k], &v0 = map.v0[k], &v1 = map.v1[k];
#pragma GCC unroll 3
            for (std::size_t c = 0; c < 3; ++c) {
                const double a0 = records[c][i], a1 = records[c][i + 1];
                for (std::size_t l = 0; l < lanes; ++l) {
                    const double next_u = (u0[l] * a0 + u1[l] * a1) + (map.uu[l] * u[c][l] + map.uv[l] * v[c][l]);
                    const double next_v = (v0[l] * a0 + v1[l] * a1) + (map.vu[l] * u[c][l] + map.vv[l] * v[c][l]);
                    u[c][l] = next_u;
                    v[c][l] = next_v;
                    peak[c][l] = std::max(std::abs(next_u), peak[c][l]);
                }
            }
        }
    }
    std::array<std::array<double, lanes>, 3> peaks;
    for (std::size_t c = 0; c < 3; ++c) std::copy(peak[c], peak[c] + lanes, peaks[c].begin());
    return peaks;
}

}  // namespace

std::vector<std::array<double, 3>> peak_displacements(std::span<const IntervalMap> maps,
                                                      const std::array<std::span<const double>, 3>& records) {
    std::vector<std::array<double, 3>> result(maps.size());
    for (std::size_t first = 0; first < maps.size(); first += lanes) {
        const std::span<const IntervalMap> group = maps.subspan(first, std::min(lanes, maps.size() - first));
        const auto peaks = lane_peaks(lane_maps(group), records);
        for (std::size_t l = 0; l < group.size(); ++l) {
            for (std::size_t c = 0; c < 3; ++c) result[first + l][c] = peaks[c][l];
        }
    }
    return result;
}

template std::array<Peaks, 1> respond<1>(const IntervalMap&, const std::array<std::span<const double>, 1>&,
                                         std::array<OscillatorState, 1>&);
template std::array<Peaks, 3> respond<3>(const IntervalMap&, const std::array<std::span<const double>, 3>&,
                                         std::array<OscillatorState, 3>&);

}  // namespace smwave::response

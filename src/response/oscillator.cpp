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

template std::array<Peaks, 1> respond<1>(const IntervalMap&, const std::array<std::span<const double>, 1>&,
                                         std::array<OscillatorState, 1>&);
template std::array<Peaks, 3> respond<3>(const IntervalMap&, const std::array<std::span<const double>, 3>&,
                                         std::array<OscillatorState, 3>&);

}  // namespace smwave::response

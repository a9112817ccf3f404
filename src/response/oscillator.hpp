#pragma once
// A damped single-degree-of-freedom oscillator on moving ground:
//
//     u'' + 2 zeta omega u' + omega^2 u = -a(t),   omega = 2 pi / T,
//
// u the displacement relative to the ground and a the ground acceleration, which varies linearly
// between samples. One step maps the state (u, u') and the excitation at both ends of the step to the
// next state exactly: the only errors are those of rounding, whatever the step is relative to T.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

namespace smwave::response {

// Sub-steps per sample interval, on which the peaks are taken: ceil(10 dt / T), at least 1 and at most
// max_sub_steps (a shorter period follows the excitation, whose peaks lie at the samples).
constexpr int max_sub_steps = 1000;
int sub_steps(double period, double dt);

// The exact map of one sample interval cut into `count` equal sub-steps: at sub-step k,
//     u <- uu u + uv v + u0[k] a_i + u1[k] a_i+1,   v <- vu u + vv v + v0[k] a_i + v1[k] a_i+1,
// the excitation interpolated linearly between the interval's samples a_i and a_i+1.
struct IntervalMap {
    double uu = 0, uv = 0, vu = 0, vv = 0;
    std::vector<double> u0, u1, v0, v1;
    double stiffness = 0;  // omega^2
    double viscosity = 0;  // 2 zeta omega; the absolute acceleration is -(stiffness u + viscosity v)
    int count = 1;
};

// The map for an oscillator of `period` seconds (> 0) and damping ratio `zeta` in (0, 1), on samples
// `dt` seconds apart, with `count` sub-steps per interval.
IntervalMap interval_map(double period, double zeta, double dt, int count);

struct OscillatorState {
    double u = 0;  // displacement relative to the ground
    double v = 0;  // its velocity
};

struct Peaks {
    double displacement = 0;           // max |u|
    double absolute_acceleration = 0;  // max |u'' + a|
};

// Steps K oscillators of the same map through K records of equal length, each from its state in
// `states` (left holding the final states), and gives the peaks over every sub-step.
template <std::size_t K>
std::array<Peaks, K> respond(const IntervalMap& map, const std::array<std::span<const double>, K>& records,
                             std::array<OscillatorState, K>& states);

// The peak displacements (max |u| over every sub-step) of oscillators from rest, one per map and
// record: result[m][c] for maps[m] (all of the same sub-step count) on records[c]. The displacements
// are those respond() peaks over, operation for operation, however many maps are stepped together.
std::vector<std::array<double, 3>> peak_displacements(std::span<const IntervalMap> maps,
                                                      const std::array<std::span<const double>, 3>& records);

// Steps oscillators of the same map from rest through three records of equal length, calls
// visit(u1, u2) with the first two's displacements at the first sample and after every sub-step, and
// gives the three's peaks. The displacements and peaks are those of respond(), operation for
// operation; the third record's oscillator, stepped beside the two, only fills their wait.
template <typename Visit>
std::array<Peaks, 3> trace_pair(const IntervalMap& map, const std::array<std::span<const double>, 3>& records,
                                Visit&& visit) {
    // The states and coefficients in locals: what visit() stores cannot be taken to change them.
    const double uu = map.uu, uv = map.uv, vu = map.vu, vv = map.vv;
    const double *u0 = map.u0.data(), *u1 = map.u1.data(), *v0 = map.v0.data(), *v1 = map.v1.data();
    const std::size_t count = static_cast<std::size_t>(map.count);
    const double stiffness = map.stiffness, viscosity = map.viscosity;
    double u[3] = {0, 0, 0}, v[3] = {0, 0, 0}, peak_u[3] = {0, 0, 0}, peak_a[3] = {0, 0, 0};
    visit(0.0, 0.0);
    for (std::size_t i = 0; i + 1 < records[0].size(); ++i) {
        const double a0[3] = {records[0][i], records[1][i], records[2][i]};
        const double a1[3] = {records[0][i + 1], records[1][i + 1], records[2][i + 1]};
        for (std::size_t k = 0; k < count; ++k) {
#pragma GCC unroll 3
            for (std::size_t c = 0; c < 3; ++c) {
                const double next_u = (u0[k] * a0[c] + u1[k] * a1[c]) + (uu * u[c] + uv * v[c]);
                const double next_v = (v0[k] * a0[c] + v1[k] * a1[c]) + (vu * u[c] + vv * v[c]);
                u[c] = next_u;
                v[c] = next_v;
                peak_u[c] = std::max(std::abs(next_u), peak_u[c]);
                peak_a[c] = std::max(std::abs(stiffness * next_u + viscosity * next_v), peak_a[c]);
            }
            visit(u[0], u[1]);
        }
    }
    return {Peaks{peak_u[0], peak_a[0]}, Peaks{peak_u[1], peak_a[1]}, Peaks{peak_u[2], peak_a[2]}};
}

}  // namespace smwave::response

#pragma once
// Measures of one acceleration component in the time domain. Every integral is the trapezoid rule over
// the samples, `dt` seconds apart; accelerations are in cm/s/s.
#include <span>

namespace smwave::measures {

// Standard gravity in cm/s/s.
inline constexpr double gravity = 980.665;

// max |x|.
double peak_of(std::span<const double> x);

// Arias intensity pi / (2 g) * integral of a^2 dt, with a and g in m/s/s: in m/s.
double arias_intensity(std::span<const double> a, double dt);

// Significant duration t_q - t_p, where the Husid curve (the running share of the integral of a^2)
// reaches the shares p and q (0 < p < q <= 1), each time interpolated linearly between the samples.
// NaN when the record carries no energy.
double significant_duration(std::span<const double> a, double dt, double p, double q);

// Cumulative absolute velocity: the integral of |a| dt (cm/s), |a| below `floor` counted as 0.
double cumulative_absolute_velocity(std::span<const double> a, double dt, double floor = 0);

// The sum of the integrals of |a| dt over the 1-second windows from the record's start whose peak |a|
// reaches 0.025 g. Window k holds the samples from k to k + 1 seconds (that one excluded) and the
// intervals that start at them.
double standardized_cav(std::span<const double> a, double dt);

// The time from the first to the last sample with |a| >= 0.05 g, or 0 when none reaches it.
double bracketed_duration(std::span<const double> a, double dt);

}  // namespace smwave::measures

#pragma once
// Units of acceleration as files spell them, and the factor that turns each into cm/s/s (gal), the
// units smwave's users read their results in.
#include <optional>
#include <string_view>

namespace smwave::table {

// Standard gravity in cm/s/s.
constexpr double standard_gravity = 980.665;

// The factor from `units` to cm/s/s, compared without regard to case or blanks: m/s**2, m/s^2,
// m/s2, m/s/s, cm/s**2 (and the same spellings, "sec" for "s": cm/sec2), gal, mm/s/s, nm/s/s, g.
// Nothing for other units.
std::optional<double> factor_to_gal(std::string_view units);

// Whether `units` name counts ("count", "counts", "COUNTS").
bool is_counts(std::string_view units);

// Whether `units` name a velocity in metres a second (m/s, M/S).
bool is_metres_per_second(std::string_view units);

}  // namespace smwave::table

#pragma once
// The powers of ten that a double holds exactly: 10^0 to 10^22. A product or quotient of an exact
// double and one of them is rounded once, so it is the nearest double to the exact result.
namespace smwave {

inline constexpr int exact_power = 22;
inline constexpr double powers_of_ten[exact_power + 1] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                                          1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                                          1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// `value` times 10^exponent, rounded once; |exponent| <= exact_power.
inline double scaled_by_power_of_ten(double value, int exponent) {
    return exponent < 0 ? value / powers_of_ten[-exponent] : value * powers_of_ten[exponent];
}

}  // namespace smwave

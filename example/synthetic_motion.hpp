#pragma once
// The pieces both example generators draw their ground motion from: a fixed pseudo-random sequence
// and a band-limited signal, so that every run writes the same files.
#include <array>
#include <cmath>
#include <cstdint>

namespace example {

inline constexpr double pi = 3.14159265358979323846;

// A small deterministic generator of uniform values in [0, 1).
class Random {
  public:
    explicit Random(std::uint64_t seed) : state_(seed) {}
    double next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 7;
        state_ ^= state_ << 17;
        return static_cast<double>(state_ >> 11) * 0x1.0p-53;
    }

  private:
    std::uint64_t state_;
};

// A sum of 24 sinusoids between 0.3 and 12 Hz with random phases, the higher ones weaker.
class Partials {
  public:
    explicit Partials(Random& random) {
        for (Partial& p : partials_) {
            p.frequency = 0.3 + 11.7 * random.next();
            p.phase = 2 * pi * random.next();
            p.weight = 1.0 / (1.0 + p.frequency / 3.0);
        }
    }
    double at(double t) const {
        double sum = 0;
        for (const Partial& p : partials_) sum += p.weight * std::sin(2 * pi * p.frequency * t + p.phase);
        return sum;
    }

  private:
    struct Partial {
        double frequency, phase, weight;
    };
    std::array<Partial, 24> partials_{};
};

}  // namespace example

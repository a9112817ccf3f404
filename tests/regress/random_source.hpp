#pragma once
// A seeded source of random choices that gives the same sequence on every platform and standard
// library (the standard distributions do not), so a scenario is reproduced from its seed and number.
#include <cstdint>
#include <initializer_list>
#include <string_view>

namespace smwave::regress {

class RandomSource {
  public:
    explicit RandomSource(std::uint64_t seed) : state_(seed) {}

    // The next 64 random bits (splitmix64).
    std::uint64_t next() {
        std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // A whole number in [low, high].
    std::int64_t between(std::int64_t low, std::int64_t high) {
        return low + static_cast<std::int64_t>(next() % static_cast<std::uint64_t>(high - low + 1));
    }
    // True with probability `percent` / 100.
    bool percent(int percent) { return between(1, 100) <= percent; }
    // A number in [0, 1).
    double unit() { return static_cast<double>(next() >> 11) * 0x1.0p-53; }
    template <typename T>
    T pick(std::initializer_list<T> choices) {
        return choices.begin()[between(0, static_cast<std::int64_t>(choices.size()) - 1)];
    }

  private:
    std::uint64_t state_;
};

}  // namespace smwave::regress

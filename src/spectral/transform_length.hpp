#pragma once
// The transform length of a run: the smallest power of two at least nt, never below 4 nor above
// 131072 (2 to the 17th).
#include <cstdint>
#include <optional>

#include "facts/core_facts.hpp"

namespace smwave {

// The longest transform, 2 to the 17th.
inline constexpr std::int32_t largest_transform_length = facts::max_rows;

struct TransformLength {
    std::int32_t nf;   // samples transformed, a power of two 4..131072
    std::int32_t if1;  // log2(nf), 2..17
};

// The length for nt samples, or nothing when nt is above 131072 and the run cannot go on.
//     transform_length(1000) -> {1024, 10}; transform_length(3) -> {4, 2}
std::optional<TransformLength> transform_length(std::int32_t nt);

}  // namespace smwave

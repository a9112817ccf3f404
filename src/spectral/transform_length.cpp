#include "spectral/transform_length.hpp"

namespace smwave {

std::optional<TransformLength> transform_length(std::int32_t nt) {
    // Doubling from 2: the first candidate is 4, the last 131072.
    std::int32_t nf = 2;
    for (std::int32_t if1 = 2; if1 <= 17; ++if1) {
        nf *= 2;
        if (nf >= nt) return TransformLength{nf, if1};
    }
    return std::nullopt;
}

}  // namespace smwave

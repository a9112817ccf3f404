#pragma once
// One share of many records run on several machines: the records K, K+N, K+2N, ... of the whole list.
#include <cstddef>
#include <string>

#include "companion/problem.hpp"

namespace smwave::jobs {

struct Shard {
    std::size_t number = 0;  // K, from 0
    std::size_t count = 1;   // N
    bool holds(std::size_t record) const { return record % count == number; }
};

// Reads "K/N" (0 <= K < N).
companion::Result<Shard> parse_shard(const std::string& text);

}  // namespace smwave::jobs

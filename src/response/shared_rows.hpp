#pragma once
// Rows of spectra shared among threads: each thread takes the next row not yet taken, so rows of
// unequal cost (short periods take more sub-steps) keep every thread busy to the end.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace smwave::response {

// Calls row(i, by_caller) once for each i in [0, count), on up to `threads` threads of which the
// calling one is one (by_caller true there); returns when every row is done.
template <typename Row>
void share_rows(std::size_t count, unsigned threads, Row&& row) {
    std::atomic<std::size_t> next{0};
    const auto work = [&](bool by_caller) {
        for (std::size_t i = next++; i < count; i = next++) row(i, by_caller);
    };
    const std::size_t running = std::min<std::size_t>(std::max(threads, 1u), count);
    std::vector<std::thread> helpers;
    for (std::size_t t = 1; t < running; ++t) helpers.emplace_back(work, false);
    work(true);
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace smwave::response

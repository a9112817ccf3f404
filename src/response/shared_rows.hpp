#pragma once
// Rows of spectra shared among threads: each thread takes the next row not yet taken, so rows of
// unequal cost (short periods take more sub-steps) keep every thread busy to the end.
#include <algorithm>
#include <atomic>
#include <cstddef>
#include <thread>
#include <vector>

namespace smwave::response {

// The threads share_rows() runs for `count` rows on up to `threads`.
inline std::size_t shared_workers(std::size_t count, unsigned threads) {
    return std::min<std::size_t>(std::max(threads, 1u), count);
}

// Calls row(i, worker) once for each i in [0, count) on shared_workers(count, threads) threads,
// `worker` numbering them from 0, the calling thread; returns when every row is done.
template <typename Row>
void share_rows(std::size_t count, unsigned threads, Row&& row) {
    std::atomic<std::size_t> next{0};
    const auto work = [&](std::size_t worker) {
        for (std::size_t i = next++; i < count; i = next++) row(i, worker);
    };
    std::vector<std::thread> helpers;
    for (std::size_t worker = 1; worker < shared_workers(count, threads); ++worker) helpers.emplace_back(work, worker);
    work(0);
    for (std::thread& helper : helpers) helper.join();
}

}  // namespace smwave::response

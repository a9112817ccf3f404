#include "jobs/shard.hpp"

#include <charconv>

namespace smwave::jobs {

companion::Result<Shard> parse_shard(const std::string& text) {
    Shard shard;
    const char* first = text.data();
    const char* last = text.data() + text.size();
    auto [slash, error] = std::from_chars(first, last, shard.number);
    bool good = error == std::errc{} && slash != last && *slash == '/';
    if (good) {
        auto [end, count_error] = std::from_chars(slash + 1, last, shard.count);
        good = count_error == std::errc{} && end == last && shard.count > 0 && shard.number < shard.count;
    }
    if (!good) return companion::Problem{"", 0, "--shard wants K/N with 0 <= K < N, such as 0/4; not '" + text + "'"};
    return shard;
}

}  // namespace smwave::jobs

// Fuzz target: the miniSEED path over arbitrary bytes, through libmseed. The first byte's lowest bit
// asks for gaps to be filled. Checked: the invariants of every reader, problems placed by byte offset
// or naming the file as a whole, and every channel with a start.
#include <cstdint>
#include <string_view>

#include "reading_checks.hpp"
#include "table/mseed_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace smwave;
    if (size == 0) return 0;
    const bool fill_gaps = (data[0] & 1) != 0;
    const std::string_view bytes(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto reading = table::read_mseed(bytes, "r.mseed", fill_gaps);
    fuzz::check_reading(reading, "r.mseed", 0, bytes.size());
    if (reading) {
        for (const auto& component : reading->components) {
            if (!component.start) fuzz::finding("a channel without a start");
            if (component.samples.empty()) fuzz::finding("a channel without samples");
        }
    }
    return 0;
}

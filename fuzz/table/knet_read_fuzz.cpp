// Fuzz target: the K-NET/KiK-net reader over arbitrary text. Checked: the invariants of every reader,
// one component per file, as many samples as Duration x Sampling Freq (which the reader demands), and
// a known sensor only for KiK-net's numbered directions.
#include <cstdint>
#include <string_view>

#include "reading_checks.hpp"
#include "table/knet_reader.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace smwave;
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    const auto reading = table::read_knet(text, "record.EW");
    fuzz::check_reading(reading, "record.EW", fuzz::count_lines(text), size);
    if (reading) {
        if (reading->components.size() != 1) fuzz::finding("a K-NET file gave more than one component");
        const auto& component = reading->components[0];
        if (component.samples.empty()) fuzz::finding("a K-NET component without samples");
        if (!component.start) fuzz::finding("a K-NET component without a start");
        if (component.sensor != table::Sensor::unknown && component.name.size() != 3) {
            fuzz::finding("a sensor given for a direction that is not numbered");
        }
    }
    return 0;
}

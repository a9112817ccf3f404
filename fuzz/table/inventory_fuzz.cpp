// Fuzz target: the StationXML inventory over arbitrary bytes, a channel looked up in what it reads,
// and a record in counts corrected with it, by its sensitivity and by its whole response. Checked: a
// refusal names the file and says what is wrong; a chosen epoch covers the time; each stage's response
// is evaluated without fault; a corrected record is in cm/s/s with finite samples, or refused, never
// a record of infinities or NaN.
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "reading_checks.hpp"
#include "table/correction.hpp"
#include "table/inventory.hpp"

namespace {

using namespace smwave;

constexpr std::int64_t record_start = 1709609645LL * 1000000;

void check_correction(const std::filesystem::path& file, bool full) {
    table::Component component;
    component.network = "XX";
    component.station = "STA";
    component.name = "HNZ";
    component.units = "counts";
    component.interval = 0.01;
    component.start = record_start;
    component.source = "record";
    for (int i = 0; i < 64; ++i) component.samples.push_back(1000 * std::sin(0.3 * i));
    std::vector<table::Component> components{component};
    table::CorrectionOptions options;
    options.inventory = file;
    options.full_response = full;
    const auto notes = table::correct_components(components, options);
    if (!notes) {
        const auto& problem = notes.problem();
        if ((problem.file != "record" && problem.file != file.string()) || problem.what.empty())
            fuzz::finding("a refused correction without the file or what is wrong");
        return;
    }
    const table::Component& corrected = components.front();
    if (corrected.units != "cm/s/s") fuzz::finding("a corrected record not in cm/s/s");
    if (!corrected.sensitivity || !std::isfinite(*corrected.sensitivity) || *corrected.sensitivity == 0)
        fuzz::finding("a record corrected without a usable sensitivity");
    for (const double sample : corrected.samples) {
        if (!std::isfinite(sample)) fuzz::finding("a corrected sample that is no finite number");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    auto inventory = table::Inventory::parse(text, "i.xml");
    if (!inventory) {
        if (inventory.problem().file != "i.xml" || inventory.problem().what.empty())
            fuzz::finding("a refusal without the file or what is wrong");
        return 0;
    }
    const auto epoch = inventory->epoch_at({"XX", "STA", "", "HNZ"}, record_start);
    if (epoch && ((epoch->start && *epoch->start > record_start) || (epoch->end && *epoch->end <= record_start)))
        fuzz::finding("an epoch chosen that does not cover the time");
    if (!epoch) return 0;
    for (const auto& stage : epoch->stages) {
        for (const double frequency : {0.0, 0.1, 1.0, 49.0}) (void)table::response_at({stage}, frequency);
    }
    static const std::filesystem::path file =
        std::filesystem::temp_directory_path() / ("smwave-inventory-" + std::to_string(getpid()) + ".xml");
    std::ofstream(file, std::ios::binary | std::ios::trunc).write(text.data(), static_cast<std::streamsize>(size));
    check_correction(file, false);
    check_correction(file, true);
    return 0;
}

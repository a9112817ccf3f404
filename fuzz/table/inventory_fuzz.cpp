// Fuzz target: the StationXML inventory over arbitrary bytes, and a channel looked up in what it
// reads. Checked: a refusal names the file and says what is wrong; a chosen epoch covers the time.
#include <cstdint>
#include <string>

#include "reading_checks.hpp"
#include "table/inventory.hpp"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace smwave;
    auto inventory = table::Inventory::parse(std::string(reinterpret_cast<const char*>(data), size), "i.xml");
    if (!inventory) {
        if (inventory.problem().file != "i.xml" || inventory.problem().what.empty())
            fuzz::finding("a refusal without the file or what is wrong");
        return 0;
    }
    const std::int64_t time = 1709609645LL * 1000000;
    const auto epoch = inventory->epoch_at({"XX", "STA", "", "HNZ"}, time);
    if (epoch && ((epoch->start && *epoch->start > time) || (epoch->end && *epoch->end <= time)))
        fuzz::finding("an epoch chosen that does not cover the time");
    if (epoch) {
        for (const auto& stage : epoch->stages) (void)table::response_at({stage}, 1.0);
    }
    return 0;
}

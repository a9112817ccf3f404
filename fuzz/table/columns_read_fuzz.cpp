// Fuzz target: the plain-columns reader with its column choice, then the record assembled and the
// table written to /dev/null. The first byte picks the choice. Checked: the invariants of every
// reader, three components of one length of at least two samples, and an even time column's interval.
#include <cstdint>
#include <string_view>

#include "companion/output_file.hpp"
#include "reading_checks.hpp"
#include "table/columns_reader.hpp"
#include "table/table_writer.hpp"

namespace {

const smwave::table::ColumnChoice choices[] = {
    {{}, std::nullopt},
    {{"1", "2", "3", "4"}, std::nullopt},
    {{"time", "ew", "ns", "ud"}, std::nullopt},
    {{"3", "1", "2"}, 0.01},
    {{"a", "B", "c"}, 0.005},
    {{}, 0.02},
    {{"4", "9", "2", "1"}, std::nullopt},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace smwave;
    if (size == 0) return 0;
    const auto& choice = choices[data[0] % std::size(choices)];
    const std::string_view text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const auto reading = table::read_columns(text, "cols.txt", choice);
    if (!reading && reading.problem().file.empty())
        return 0;  // a choice that does not fit the file's columns
    fuzz::check_reading(reading, "cols.txt", fuzz::count_lines(text), size);
    if (!reading) return 0;
    if (reading->components.size() != 3) fuzz::finding("columns gave other than three components");
    for (const auto& component : reading->components) {
        if (component.samples.size() != reading->components[0].samples.size() ||
            component.samples.size() < 2) {
            fuzz::finding("components of different or too short lengths");
        }
    }
    std::vector<std::string> warnings;
    auto record = table::assemble_record(reading->components, {}, warnings);
    if (!record) fuzz::finding("a reading the assembly refuses");
    auto out = companion::OutputFile::open("/dev/null");
    if (out) {
        table::write_table(*record, *out);
        (void)out->commit();
    }
    return 0;
}

// Fuzz target: any record file as a user gives it to smwave-table, whose format is recognised from
// the content, so every reader that recognition reaches is covered. Checked: the invariants of every
// reader; the reading is the one the recognised reader gives when named; and the table written from
// it (each component as the record's first, the others zeros) holds the record's very samples, its
// interval as the step of the times and in its metadata, and the station the file states.
#include <unistd.h>

#include <cmath>
#include <cstdlib>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "companion/suite_file.hpp"
#include "reading_checks.hpp"
#include "table/convert.hpp"
#include "table/table_writer.hpp"

namespace {

using namespace smwave;
namespace fs = std::filesystem;

// A folder of this process's own for the file the reader opens.
const fs::path& scratch() {
    static const fs::path folder = [] {
        fs::path made = fs::temp_directory_path() / ("smwave-record-read-" + std::to_string(getpid()));
        fs::create_directories(made);
        return made;
    }();
    return folder;
}

void check_table(const table::Component& component) {
    std::vector<table::Component> three(3);
    three[0] = component;
    for (std::size_t k = 1; k < 3; ++k) {
        three[k].samples.assign(component.samples.size(), 0.0);
        three[k].interval = component.interval;
        three[k].start = component.start;
        three[k].source = component.source;
    }
    std::vector<std::string> warnings;
    table::AssemblyOptions options;
    options.baseline = table::Baseline::none;
    auto record = table::assemble_record(std::move(three), options, warnings);
    if (!record) {
        if (record.problem().what.empty()) fuzz::finding("an assembly refused without a reason");
        return;
    }
    const fs::path file = scratch() / "table";
    {
        auto out = companion::OutputFile::open(file);
        if (!out) fuzz::finding("the table could not be opened");
        table::write_table(*record, *out);
        if (out->commit()) fuzz::finding("the table could not be written");
    }
    const std::string text = *companion::read_whole_file(file);
    const auto head = companion::parse_table_head(text, "table");
    if (!head || !head->metadata) fuzz::finding("a table whose metadata does not read back");
    const auto dt = head->metadata->number("dt");
    if (!dt || *dt != record->interval) fuzz::finding("a table whose dt is not the record's interval");
    if (!component.station.empty() && head->metadata->find("station") != table::header_word(component.station))
        fuzz::finding("a table that does not name the file's station");
    // The rows after the two head lines: the time and 42 channels, the first component in channel 38.
    std::istringstream rows(text);
    std::string line;
    std::getline(rows, line);
    std::getline(rows, line);
    std::size_t row = 0;
    while (std::getline(rows, line)) {
        std::istringstream fields(line);
        std::vector<double> values;
        for (std::string field; fields >> field;) values.push_back(std::strtod(field.c_str(), nullptr));
        if (values.size() != 43 || row >= record->samples[0].size()) fuzz::finding("a table row of the wrong shape");
        if (values[0] != static_cast<double>(row) * record->interval)
            fuzz::finding("a table time that is not the row times the interval");
        if (values[38] != record->samples[0][row]) fuzz::finding("a table sample that is not the record's");
        ++row;
    }
    if (row != record->samples[0].size()) fuzz::finding("a table whose rows are not the record's samples");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view content(reinterpret_cast<const char*>(data), size);
    const std::string name = (scratch() / "record").string();
    std::ofstream(name, std::ios::binary | std::ios::trunc).write(content.data(), static_cast<std::streamsize>(size));
    const table::ConversionOptions options;
    const auto input = table::read_one(name, options);
    if (!input) {
        const companion::Result<table::Reading> refused = input.problem();
        fuzz::check_reading(refused, name, fuzz::count_lines(content), size);
        return 0;
    }
    const companion::Result<table::Reading> reading = input->reading;
    fuzz::check_reading(reading, name, fuzz::count_lines(content), size);
    const auto named = table::read_content(content, name, input->format, options);
    if (!named || named->components.size() != reading->components.size())
        fuzz::finding("the recognised reader reads the file otherwise when named");
    for (const auto& component : reading->components) {
        if (component.units.empty()) fuzz::finding("a component without units");
        if (!component.samples.empty()) check_table(component);
    }
    return 0;
}

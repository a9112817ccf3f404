// Fuzz target: the grouping of a download's file descriptions into records, the descriptions made
// from arbitrary bytes (codes from a small alphabet, so that stations, channels and duplicates meet).
// Checked: every file is noted or in one record; a record holds three files of one station and
// instrument, H1, H2 and Z in that order, or the two horizontals alone; a file whose name gives its
// component is in that component's place, any other in a horizontal's; no two records share a
// folder; the records are in name order.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <set>
#include <string>

#include "event/scan.hpp"
#include "reading_checks.hpp"

namespace {

using namespace smwave;

std::string code(FuzzedDataProvider& bytes) {
    static const char alphabet[] = "ABEHNZ12._ -";
    std::string text(bytes.ConsumeIntegralInRange<std::size_t>(0, 4), ' ');
    for (char& c : text) c = alphabet[bytes.ConsumeIntegralInRange<std::size_t>(0, sizeof alphabet - 2)];
    return text;
}

std::vector<event::ScannedFile> described_files(FuzzedDataProvider& bytes) {
    std::vector<event::ScannedFile> files;
    while (bytes.remaining_bytes() > 0 && files.size() < 64) {
        event::ScannedFile file;
        file.path = "f" + std::to_string(files.size());
        file.kind = static_cast<event::FileKind>(bytes.ConsumeIntegralInRange<int>(0, 3));
        file.format = file.kind == event::FileKind::record ? "knet" : "";
        file.reason = file.kind == event::FileKind::unreadable ? "unreadable" : "";
        file.component.network = code(bytes);
        file.component.station = code(bytes);
        file.component.location = code(bytes);
        file.component.name = code(bytes);
        file.component.sensor = static_cast<table::Sensor>(bytes.ConsumeIntegralInRange<int>(0, 2));
        files.push_back(std::move(file));
    }
    return files;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider bytes(data, size);
    const auto files = described_files(bytes);
    const event::Download download = event::group_records(files);
    if (download.files.size() != files.size() || download.inputs.size() != files.size())
        fuzz::finding("files lost in the grouping");
    std::vector<int> uses(files.size(), 0);
    std::set<std::string> folders;
    for (std::size_t r = 0; r < download.records.size(); ++r) {
        const event::EventRecord& record = download.records[r];
        if (!folders.insert(record.name).second) fuzz::finding("two records given one folder");
        if (r > 0 && !(download.records[r - 1].name < record.name)) fuzz::finding("records out of name order");
        if (record.files.size() != 3 && record.files.size() != 2) fuzz::finding("a record of neither three nor two files");
        for (std::size_t slot = 0; slot < record.files.size(); ++slot) {
            const auto& file = files.at(record.files[slot]);
            ++uses[record.files[slot]];
            if (file.kind != event::FileKind::record) fuzz::finding("a record holding a file that is no record");
            const auto named = event::component_slot(file.component.name);
            if (named ? *named != slot : slot > 1) fuzz::finding("a component in the wrong slot");
            if (file.component.network != record.network || file.component.station != record.station ||
                file.component.location != record.location)
                fuzz::finding("a record mixing stations");
            if (file.component.sensor != files[record.files[0]].component.sensor)
                fuzz::finding("a record mixing KiK-net sensors");
            if (download.inputs[record.files[slot]].record != record.name)
                fuzz::finding("a file not noted as its record's");
        }
    }
    for (std::size_t at = 0; at < files.size(); ++at) {
        if (download.inputs[at].path != files[at].path) fuzz::finding("an input line of another file");
        if (uses[at] > 1) fuzz::finding("a file in two records");
        if (uses[at] == 0 && (download.inputs[at].note.empty() || !download.inputs[at].record.empty()))
            fuzz::finding("a file left out without a note");
    }
    return 0;
}

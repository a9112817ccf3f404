#include "table/table_writer.hpp"

#include <array>
#include <charconv>
#include <memory>

#include "companion/number_text.hpp"
#include "facts/core_facts.hpp"
#include "table/civil_time.hpp"

namespace smwave::table {

namespace {

// The blank-separated zero channels between the written ones: 1-16, 18-37, 39 and 41-42.
constexpr std::string_view zeros_before_17 = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ";
constexpr std::string_view zeros_18_to_37 = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ";
constexpr std::string_view zero_39 = " 0 ";
constexpr std::string_view zeros_41_42 = " 0 0\n";

// The zeros a run of channels holds: its blank-separated "0" items.
constexpr int zero_items(std::string_view zeros) {
    int count = 0;
    for (const char c : zeros) count += c == '0';
    return count;
}
// Rows are written as: time, channels 1-16, component 3, 18-37, component 1, 39, component 2, 41-42.
static_assert(facts::component_channels == std::array{38, 40, 17});
static_assert(zero_items(zeros_before_17) == 16 && zero_items(zeros_18_to_37) == 20 && zero_items(zero_39) == 1 &&
              zero_items(zeros_41_42) == 2 && 16 + 20 + 1 + 2 + 3 == facts::table_channels);

constexpr std::size_t block_size = 1 << 20;
constexpr std::size_t longest_row =
    4 * 32 + zeros_before_17.size() + zeros_18_to_37.size() + zero_39.size() + zeros_41_42.size();

char* put(char* at, std::string_view text) {
    for (const char c : text) *at++ = c;
    return at;
}

char* put(char* at, double value) { return std::to_chars(at, at + 32, value).ptr; }

}  // namespace

std::string header_word(std::string_view text) {
    if (text.empty()) return "-";
    std::string word(text);
    for (char& c : word) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (byte <= 32 || byte == 127 || c == ',' || c == '/' || c == '\'' || c == '"' || c == '*') c = '_';
    }
    return word;
}

namespace {

std::string number_text(double value) {
    std::string text;
    companion::append_shortest(text, value);
    return text;
}

void add_number(companion::TableMetadata& metadata, std::string key, std::optional<double> value) {
    if (value) metadata.add(std::move(key), number_text(*value));
}

std::string list_of(const std::array<std::optional<double>, 3>& values) {
    std::string list;
    for (const auto& value : values) list += (list.empty() ? "" : ",") + (value ? number_text(*value) : "-");
    return list;
}

bool any_known(const std::array<std::optional<double>, 3>& values) {
    return values[0] || values[1] || values[2];
}

}  // namespace

companion::TableMetadata table_metadata(const Record& record) {
    companion::TableMetadata metadata;
    metadata.add("station", record.station);
    if (!record.network.empty()) metadata.add("network", record.network);
    if (!record.location.empty()) metadata.add("location", record.location);
    metadata.add("channels", record.names[0] + "," + record.names[1] + "," + record.names[2]);
    if (any_known(record.azimuths)) metadata.add("azimuths", list_of(record.azimuths));
    if (any_known(record.dips)) metadata.add("dips", list_of(record.dips));
    add_number(metadata, "latitude", record.site.latitude);
    add_number(metadata, "longitude", record.site.longitude);
    add_number(metadata, "elevation", record.site.elevation);
    if (record.start) metadata.add("start", format_utc(*record.start));
    metadata.add("dt", number_text(record.interval));
    metadata.add("units", record.units);
    std::string absent;
    for (std::size_t k = 0; k < 3; ++k) {
        if (record.absent[k]) absent += (absent.empty() ? "" : ",") + std::to_string(k + 1);
    }
    if (!absent.empty()) metadata.add("absent", absent);
    for (const auto& [key, value] : record.stated.items) metadata.add(key, value);
    for (const auto& [key, value] : record.processing.items) metadata.add(key, value);
    for (const auto& source : record.sources) metadata.add("source", source);
    if (record.origin.time) metadata.add("origin_time", format_utc(*record.origin.time));
    add_number(metadata, "origin_latitude", record.origin.latitude);
    add_number(metadata, "origin_longitude", record.origin.longitude);
    add_number(metadata, "origin_depth", record.origin.depth);
    add_number(metadata, "magnitude", record.origin.magnitude);
    return metadata;
}

std::string table_head(const Record& record) {
    std::string head = header_word(record.station);
    for (const auto& name : record.names) head += ' ' + header_word(name);
    return head + '\n' + companion::format_metadata(table_metadata(record)) + '\n';
}

void write_table(const Record& record, companion::OutputFile& out) {
    const std::string head = table_head(record);
    const std::unique_ptr<char[]> block(new char[block_size + head.size() + longest_row]);
    char* const begin = block.get();
    char* at = put(begin, head);
    const std::size_t rows = record.samples[0].size();
    const double* const first = record.samples[0].data();
    const double* const second = record.samples[1].data();
    const double* const third = record.samples[2].data();
    for (std::size_t i = 0; i < rows; ++i) {
        at = put(at, static_cast<double>(i) * record.interval);
        at = put(at, zeros_before_17);
        at = put(at, third[i]);
        at = put(at, zeros_18_to_37);
        at = put(at, first[i]);
        at = put(at, zero_39);
        at = put(at, second[i]);
        at = put(at, zeros_41_42);
        if (static_cast<std::size_t>(at - begin) >= block_size) {
            out.write(std::string_view(begin, static_cast<std::size_t>(at - begin)));
            at = begin;
        }
    }
    out.write(std::string_view(begin, static_cast<std::size_t>(at - begin)));
}

}  // namespace smwave::table

#include "table/table_writer.hpp"

#include <charconv>
#include <memory>

#include "companion/number_text.hpp"
#include "table/civil_time.hpp"

namespace smwave::table {

namespace {

// The blank-separated zero channels between the written ones: 1-16, 18-37, 39 and 41-42.
constexpr std::string_view zeros_before_17 = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ";
constexpr std::string_view zeros_18_to_37 = " 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 0 ";
constexpr std::string_view zero_39 = " 0 ";
constexpr std::string_view zeros_41_42 = " 0 0\n";

constexpr std::size_t block_size = 1 << 20;
constexpr std::size_t longest_row =
    4 * 32 + zeros_before_17.size() + zeros_18_to_37.size() + zero_39.size() + zeros_41_42.size();

char* put(char* at, std::string_view text) {
    for (const char c : text) *at++ = c;
    return at;
}

char* put(char* at, double value) { return std::to_chars(at, at + 32, value).ptr; }

// Provenance is one line whatever the file names hold.
std::string one_line(std::string_view text) {
    std::string line(text);
    for (char& c : line) {
        if (static_cast<unsigned char>(c) < 32) c = '?';
    }
    return line;
}

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

std::string table_head(const Record& record) {
    std::string head = header_word(record.station);
    for (const auto& name : record.names) head += ' ' + header_word(name);
    head += "\nstart ";
    head += record.start ? format_utc(*record.start) + " UTC" : std::string("unknown");
    head += "; dt ";
    companion::append_shortest(head, record.interval);
    head += " s; units " + one_line(record.units) + "; sources";
    for (const auto& source : record.sources) head += ' ' + one_line(source);
    head += "; scale " + record.scale + '\n';
    return head;
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

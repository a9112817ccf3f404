#pragma once
// The second line of smwave's input table, which smwave itself ignores: a list of `key=value` items
// that says where the record comes from and what was done to it, in the order they were written.
//
//     station=ABC network=XX channels=HNE,HNN,HNZ start=2024-03-05T03:34:05Z dt=0.01 units=cm/s/s
//     baseline=mean taper=0 correction=none source="my record.mseed"
//
// Keys are lower-case letters, digits and '_'; a key may repeat (one `source` per input file). A
// value that is empty or holds blanks, quotes or '=' is written between double quotes, with '\"' and
// '\\' inside. Lists of the three components are comma-separated, "-" standing for what is unknown.
// `absent=3` (or `absent=1,3`) names components the record lacks: their columns hold zeros, and
// their measures are left empty.
#include <array>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace smwave::companion {

struct TableMetadata {
    std::vector<std::pair<std::string, std::string>> items;

    // Appends an item (control bytes in the value become '?', so the line stays one line).
    void add(std::string key, std::string_view value);
    // The value of the first item of `key`, or nothing.
    std::optional<std::string> find(std::string_view key) const;
    // Every value of `key`, in order.
    std::vector<std::string> all(std::string_view key) const;
    // The value of `key` read as a number, or nothing when absent or not a number.
    std::optional<double> number(std::string_view key) const;
};

// The line's text, without a line end.
std::string format_metadata(const TableMetadata& metadata);

// Reads a line written by format_metadata; nothing when the line is not such a list (an older
// table's free-text line, such as "start unknown; dt 0.01 s; ...", or a line holding control bytes).
std::optional<TableMetadata> parse_metadata(std::string_view line);

// The components (1-3) that the `absent` item names as missing from the record; false for the others,
// and for all when there is no such item.
std::array<bool, 3> absent_components(const TableMetadata& metadata);

// Splits a comma-separated list of the three components' values ("90,0,-").
std::vector<std::string> split_commas(std::string_view list);

}  // namespace smwave::companion

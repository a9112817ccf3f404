#pragma once
// Headers of `LABEL: value` lines (ESM's "NDATA: 19128", CWB's "#SampleRate(Hz): 50"): each label with
// its value and line, looked up by label.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace smwave::table {

struct LabelledHeader {
    struct Item {
        std::string_view label, value;
        std::uint64_t line = 0;
    };
    std::vector<Item> items;

    // The item of `label` (compared exactly), or nothing.
    const Item* find(std::string_view label) const;
    // Adds `line` (numbered `number`) when it is `label: value` (the label before the first ':',
    // without blanks at its ends); false otherwise.
    bool take(std::string_view line, std::uint64_t number);
};

}  // namespace smwave::table

#pragma once
// The waveform table: a header, one ignored line, then rows of a time and 42 channel values.
#include <cstdint>
#include <optional>

#include "facts/core_facts.hpp"
#include "run/state.hpp"

namespace smwave {

// Table columns (counted after the time value) that hold components 1, 2 and 3.
inline constexpr int column_comp1 = facts::component_channels[0];
inline constexpr int column_comp2 = facts::component_channels[1];
inline constexpr int column_comp3 = facts::component_channels[2];
// Numbers in one table row: the time and 42 channel values.
inline constexpr int row_values = 1 + facts::table_channels;

// Reads the table named by input_name on unit 11: fills time and xr1..xr3 (the first `capacity`
// rows), echoes every complete row to unit 99, and sets nt (every complete row) and dt.
void read_table(RunState& run);

// A sample of a component channel: its row (counted from 1) and its table column.
struct SamplePlace {
    std::int32_t row;
    int column;
};

// The first stored sample of xr1..xr3 that is infinite or NaN, row by row and within a row in the
// order of the components; nothing when every stored sample is finite.
std::optional<SamplePlace> first_non_finite_sample(const RunState& run);

}  // namespace smwave

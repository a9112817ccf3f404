#pragma once
// What smwave reads and writes that other programs rely on: the table's layout and limit, the length
// of a file name, the first lines of its files and the console lines the companions read back. The
// core takes these values from here, and so does every companion that writes its input or reads its
// output, so that the two cannot drift apart.
#include <array>
#include <cstdint>
#include <string_view>

namespace smwave::facts {

// A table row: the time and this many channel values.
inline constexpr int table_channels = 42;
// The channels (counted from 1 after the time) that hold components 1, 2 and 3.
inline constexpr std::array<int, 3> component_channels = {38, 40, 17};
// The most rows a run can transform (2 to the 17th); a longer table stops the run.
inline constexpr std::int32_t max_rows = 131072;
// File names are read into a field of this many characters.
inline constexpr int name_length = 90;

// The first lines of the waveform file and of amp3.csv.
inline constexpr std::string_view waveform_header = "time(s),comp1, comp2, comp3";
inline constexpr std::string_view spectrum_header = "frequency(Hz),comp1, comp2, comp3";

// Console lines: the rows and interval read, the transform length, and the stop at too many rows.
inline constexpr std::string_view rows_and_interval_label = "NT and DT=";
inline constexpr std::string_view transform_label = " IF1,NF=";
inline constexpr std::string_view too_many_rows_line = " NT>2**17 !!!!!";

}  // namespace smwave::facts

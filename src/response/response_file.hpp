#pragma once
// The response file: a comment line, the header, then one row per damping and period, in the shortest
// text that reads back to each double.
//
//     # input velocity.csv, dt 0.01 s (from the time column), units cm/s/s, method ...
//     damping,period(s),sd1,sd2,sd3,psv1,psv2,psv3,psa1,psa2,psa3,sa1,sa2,sa3
//     0.05,0,0,0,0,0,0,0,12.5,3.25,8,12.5,3.25,8
#include <string>
#include <vector>

#include "response/record.hpp"
#include "response/rotated_spectrum.hpp"
#include "response/spectrum.hpp"

namespace smwave::response {

// The header line without its line end.
inline constexpr const char* response_header =
    "damping,period(s),sd1,sd2,sd3,psv1,psv2,psv3,psa1,psa2,psa3,sa1,sa2,sa3";

// The columns the rotated spectra add at the end of each row, after sa3.
inline constexpr const char* rotated_header =
    ",sd_rotd00,sd_rotd50,sd_rotd100,psv_rotd00,psv_rotd50,psv_rotd100,psa_rotd00,psa_rotd50,psa_rotd100";

// The whole file's text. `input_name` and `units` go into the comment (line ends in them become '?').
// `rotated` is empty or holds the row of each of `rows`, in the same order.
std::string response_text(const std::vector<SpectrumRow>& rows, const std::string& input_name,
                          const GroundRecord& record, const std::string& units,
                          const std::vector<RotatedRow>& rotated = {});

}  // namespace smwave::response

#include "response/response_file.hpp"

#include <algorithm>

#include "companion/number_text.hpp"

namespace smwave::response {

namespace {

// A text on one comment line: no line end may start a line the reader would take for a row.
std::string one_line(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\n' || c == '\r'; }, '?');
    return text;
}

void append_components(std::string& text, const std::array<double, 3>& values) {
    for (const double value : values) {
        text += ',';
        companion::append_shortest(text, value);
    }
}

}  // namespace

std::string response_text(const std::vector<SpectrumRow>& rows, const std::string& input_name,
                          const GroundRecord& record, const std::string& units,
                          const std::vector<RotatedRow>& rotated) {
    std::string text = "# input " + one_line(input_name) + ", dt ";
    companion::append_shortest(text, record.dt);
    text += record.dt_from_time_column ? " s (from the time column)" : " s (given)";
    text += ", units " + (units.empty() ? std::string("of the input") : one_line(units));
    text +=
        ", method exact recurrence for the linearly interpolated excitation (Nigam and Jennings 1969), "
        "peaks over ceil(10 dt / T) sub-steps per interval, oscillators at rest at the first sample";
    if (!rotated.empty()) text += ", RotD over the angles 0 to 179 degrees of the horizontals' displacements";
    text += '\n';
    text += response_header;
    if (!rotated.empty()) text += rotated_header;
    text += '\n';
    for (std::size_t r = 0; r < rows.size(); ++r) {
        const SpectrumRow& row = rows[r];
        companion::append_shortest(text, row.damping);
        text += ',';
        companion::append_shortest(text, row.period);
        append_components(text, row.sd);
        append_components(text, row.psv);
        append_components(text, row.psa);
        append_components(text, row.sa);
        if (!rotated.empty()) {
            for (const RotD& d : {rotated[r].sd, rotated[r].psv, rotated[r].psa})
                append_components(text, {d.rotd00, d.rotd50, d.rotd100});
        }
        text += '\n';
    }
    return text;
}

}  // namespace smwave::response

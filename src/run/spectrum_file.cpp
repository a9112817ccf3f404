#include "run/spectrum_file.hpp"

#include "facts/core_facts.hpp"
#include "spectral/complex_math.hpp"
#include "spectral/constants.hpp"
#include "spectral/frequency_grid.hpp"
#include "textio/lines.hpp"
#include "textio/records.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

constexpr int spectrum_unit = 10;
// Frequency in Hz, then a comma and a 4-digit exponent field per amplitude.
constexpr std::string_view row_format = "(F8.4,6(',',E12.4))";

}  // namespace

void write_spectrum_file(const RunState& run) {
    write_empty_record(unit_stdout);
    write_text_record(unit_stdout, "Fourier Spectrum data are stored in \"amp3.csv\"");

    open_unit(spectrum_unit, "amp3.csv");
    write_text_record(spectrum_unit, facts::spectrum_header);
    for (std::int32_t i = 1; i <= run.nom; ++i) {
        start_edit_record(spectrum_unit, row_format);
        put_edit_double(bin_omega(i - 1, run.dom) / two_pi);
        put_edit_double(modulus(run.fx1[i]));
        put_edit_double(modulus(run.fx2[i]));
        put_edit_double(modulus(run.fx3[i]));
        end_edit_record();
    }
    close_unit(spectrum_unit);
}

}  // namespace smwave

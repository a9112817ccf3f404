#include "run/frequency_stage.hpp"

#include <string>

#include "facts/core_facts.hpp"
#include "run/shown_number.hpp"
#include "spectral/band_pass.hpp"
#include "spectral/constants.hpp"
#include "spectral/frequency_grid.hpp"
#include "spectral/integration.hpp"
#include "spectral/spectrum_series.hpp"
#include "spectral/transform_length.hpp"
#include "spectral/wvfast.hpp"
#include "textio/answers.hpp"
#include "textio/lines.hpp"
#include "textio/reads.hpp"
#include "textio/records.hpp"
#include "textio/units.hpp"

namespace smwave {
namespace {

void read_corners(RunState& run) {
    begin_free_read(unit_stdin, false);
    read_double(run.fl1);
    read_double(run.fl2);
    read_double(run.fh1);
    read_double(run.fh2);
    end_free_read();
}

// Elements 1..nf of a spectrum: the whole series that is transformed.
std::span<Complex> spectrum(ComplexSeries& fx, const RunState& run) { return first_samples(fx, run.nf); }
// Bins 1..nom of a spectrum: zero frequency to Nyquist.
std::span<Complex> positive_bins(ComplexSeries& fx, const RunState& run) {
    return first_samples(fx, run.nom);
}

}  // namespace

void choose_transform_length(RunState& run) {
    const std::optional<TransformLength> length = transform_length(run.nt);
    if (!length) {
        write_text_record(unit_stdout, facts::too_many_rows_line);
        refuse_run("smwave: the table has " + std::to_string(run.nt) + " rows; at most " +
                   std::to_string(largest_transform_length) + " can be transformed; cut the record first");
    }
    run.nf = length->nf;
    run.if1 = length->if1;
    write_empty_record(unit_stdout);
    start_free_record(unit_stdout);
    put_text(facts::transform_label);
    put_integer(run.if1);
    put_integer(run.nf);
    end_free_record();
}

void transform_forward(RunState& run) {
    run.plan = make_wvfast_plan(run.nf, run.twiddles);
    load_padded(first_samples(run.xr1, run.nt), spectrum(run.fx1, run));
    load_padded(first_samples(run.xr2, run.nt), spectrum(run.fx2, run));
    load_padded(first_samples(run.xr3, run.nt), spectrum(run.fx3, run));
    wvfast(spectrum(run.fx1, run), run.plan, -1);
    wvfast(spectrum(run.fx2, run), run.plan, -1);
    wvfast(spectrum(run.fx3, run), run.plan, -1);
    scale_bins(spectrum(run.fx1, run), run.dt);
    scale_bins(spectrum(run.fx2, run), run.dt);
    scale_bins(spectrum(run.fx3, run), run.dt);

    const FrequencyGrid grid = frequency_grid(run.nf, run.dt);
    run.dur = grid.dur;
    run.dom = grid.dom;
    run.nom = grid.nom;
    run.eom = grid.eom;

    write_empty_record(unit_stdout);
    start_free_record(unit_stdout);
    put_text(" DUR,DOM,NOM,EOM=");
    put_double(run.dur);
    put_double(run.dom);
    put_integer(run.nom);
    put_double(run.eom);
    end_free_record();
    start_free_record(unit_stdout);
    put_text(" Highest Frequency (hz)=");
    put_double(run.eom / two_pi);
    end_free_record();
}

void apply_band_pass(RunState& run) {
    write_empty_record(unit_stdout);
    write_text_record(unit_stdout, " Band Pass Filter? (YES=1)?? :");
    read_answer(run.nbd);
    if (run.nbd != 1) return;

    write_empty_record(unit_stdout);
    write_text_record(unit_stdout, "  TRAPEZOIDAL BAND PATH FILTER");
    write_text_record(unit_stdout, "  ENTER fL1<fL2<fH1<fH2 (Hz)");
    read_corners(run);
    if (!band_corners_in_order(run.fl1, run.fl2, run.fh1, run.fh2)) {
        refuse_run("smwave: the band-pass corners " + shown(run.fl1) + " " + shown(run.fl2) + " " +
                   shown(run.fh1) + " " + shown(run.fh2) +
                   " Hz are not usable; they must be finite numbers with fL1 <= fL2 <= fH1 <= fH2");
    }
    const BandCorners corners = band_corners_from_hz(run.fl1, run.fl2, run.fh1, run.fh2);
    band_pass_bins(positive_bins(run.fx1, run), run.dom, corners);
    band_pass_bins(positive_bins(run.fx2, run), run.dom, corners);
    band_pass_bins(positive_bins(run.fx3, run), run.dom, corners);
}

void apply_integration(RunState& run) {
    write_empty_record(unit_stdout);
    write_text_record(unit_stdout, " Integration/Differentiation:");
    write_text_record(unit_stdout, " NO Change         :                 (Enter=0)");
    write_text_record(unit_stdout, " Integration       : Ex.) acc -> vel (Enter=1)");
    write_text_record(unit_stdout, " Double Integration: Ex.) acc -> dis (Enter=2)");
    write_text_record(unit_stdout, " Differentiation:  : Ex.) Vel -> acc (Enter=3)");
    read_answer(run.nit);
    integrate_bins(positive_bins(run.fx1, run), run.dom, run.nit);
    integrate_bins(positive_bins(run.fx2, run), run.dom, run.nit);
    integrate_bins(positive_bins(run.fx3, run), run.dom, run.nit);
}

void transform_back(RunState& run) {
    mirror_conjugate(spectrum(run.fx1, run));
    mirror_conjugate(spectrum(run.fx2, run));
    mirror_conjugate(spectrum(run.fx3, run));
    wvfast(spectrum(run.fx1, run), run.plan, +1);
    wvfast(spectrum(run.fx2, run), run.plan, +1);
    wvfast(spectrum(run.fx3, run), run.plan, +1);
    unload_real(spectrum(run.fx1, run), run.dur, first_samples(run.xr1, run.nf));
    unload_real(spectrum(run.fx2, run), run.dur, first_samples(run.xr2, run.nf));
    unload_real(spectrum(run.fx3, run), run.dur, first_samples(run.xr3, run.nf));
    for (std::int32_t i = 1; i <= run.nt; ++i) {
        run.x1[i] = run.xr1[i];
        run.x2[i] = run.xr2[i];
        run.x3[i] = run.xr3[i];
    }
}

}  // namespace smwave

#include "spectral/frequency_stage.hpp"

#include "spectral/band_pass.hpp"
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

void read_corners() {
    begin_free_read(unit_stdin, false);
    read_double(run.fl1);
    read_double(run.fl2);
    read_double(run.fh1);
    read_double(run.fh2);
    end_free_read();
}

}  // namespace

void choose_transform_length() {
    const std::optional<TransformLength> length = transform_length(run.nt);
    if (!length) {
        write_text_record(unit_stdout, " NT>2**17 !!!!!");
        stop_run();
    }
    run.nf = length->nf;
    run.if1 = length->if1;
    write_empty_record(unit_stdout);
    start_free_record(unit_stdout);
    put_text(" IF1,NF=");
    put_integer(run.if1);
    put_integer(run.nf);
    end_free_record();
}

void transform_forward() {
    load_padded(run.xr1, run.nt, run.nf, run.fx1);
    load_padded(run.xr2, run.nt, run.nf, run.fx2);
    load_padded(run.xr3, run.nt, run.nf, run.fx3);
    wvfast(run.nf, run.fx1, capacity, -1);
    wvfast(run.nf, run.fx2, capacity, -1);
    wvfast(run.nf, run.fx3, capacity, -1);
    scale_bins(run.fx1, run.nf, run.dt);
    scale_bins(run.fx2, run.nf, run.dt);
    scale_bins(run.fx3, run.nf, run.dt);

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

void apply_band_pass() {
    write_empty_record(unit_stdout);
    write_text_record(unit_stdout, " Band Pass Filter? (YES=1)?? :");
    read_answer(run.nbd);
    if (run.nbd != 1) return;

    write_empty_record(unit_stdout);
    write_text_record(unit_stdout, "  TRAPEZOIDAL BAND PATH FILTER");
    write_text_record(unit_stdout, "  ENTER fL1<fL2<fH1<fH2 (Hz)");
    read_corners();
    const BandCorners corners = band_corners_from_hz(run.fl1, run.fl2, run.fh1, run.fh2);
    band_pass_bins(run.fx1, run.nom, run.dom, corners);
    band_pass_bins(run.fx2, run.nom, run.dom, corners);
    band_pass_bins(run.fx3, run.nom, run.dom, corners);
}

void apply_integration() {
    write_empty_record(unit_stdout);
    write_text_record(unit_stdout, " Integration/Differentiation:");
    write_text_record(unit_stdout, " NO Change         :                 (Enter=0)");
    write_text_record(unit_stdout, " Integration       : Ex.) acc -> vel (Enter=1)");
    write_text_record(unit_stdout, " Double Integration: Ex.) acc -> dis (Enter=2)");
    write_text_record(unit_stdout, " Differentiation:  : Ex.) Vel -> acc (Enter=3)");
    read_answer(run.nit);
    integrate_bins(run.fx1, run.nom, run.dom, run.nit);
    integrate_bins(run.fx2, run.nom, run.dom, run.nit);
    integrate_bins(run.fx3, run.nom, run.dom, run.nit);
}

void transform_back() {
    mirror_conjugate(run.fx1, run.nf);
    mirror_conjugate(run.fx2, run.nf);
    mirror_conjugate(run.fx3, run.nf);
    wvfast(run.nf, run.fx1, capacity, +1);
    wvfast(run.nf, run.fx2, capacity, +1);
    wvfast(run.nf, run.fx3, capacity, +1);
    unload_real(run.fx1, run.nf, run.dur, run.xr1);
    unload_real(run.fx2, run.nf, run.dur, run.xr2);
    unload_real(run.fx3, run.nf, run.dur, run.xr3);
    for (std::int32_t i = 1; i <= run.nt; ++i) {
        run.x1[i] = run.xr1[i];
        run.x2[i] = run.xr2[i];
        run.x3[i] = run.xr3[i];
    }
}

}  // namespace smwave

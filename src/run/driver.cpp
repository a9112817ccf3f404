#include "run/driver.hpp"

#include <charconv>
#include <cmath>
#include <string>

#include "run/state.hpp"
#include "run/table.hpp"
#include "run/window.hpp"
#include "spectral/frequency_stage.hpp"
#include "spectral/spectrum_file.hpp"
#include "textio/answers.hpp"
#include "textio/lines.hpp"
#include "textio/reads.hpp"
#include "textio/records.hpp"
#include "textio/units.hpp"

namespace smwave {

namespace {

constexpr int console = unit_stdout;

void report_table() {
    write_empty_record(console);
    start_free_record(console);
    put_text("NT and DT=");
    put_integer(run.nt);
    put_double(run.dt);
    end_free_record();
    // Every later step divides by dt: a table without a usable interval ends the run here.
    if (run.dt == 0.0 || !std::isfinite(run.dt)) {
        char shown[32];
        const auto end = std::to_chars(shown, shown + sizeof shown, run.dt).ptr;
        refuse_run("smwave: the sampling interval taken from the first two rows is " +
                   std::string(shown, end) +
                   "; the table needs at least two rows with different, finite times");
    }
}

// Asks the sign questions and negates each component right after its answer.
void ask_signs() {
    write_empty_record(console);
    write_text_record(console, " Change +/-? (YES=1)?? :");
    read_answer(run.myes);
    if (run.myes != 1) return;
    write_empty_record(console);
    write_text_record(console, " Change from + to - of FILE 1 ? (YES=1)?? :");
    read_answer(run.my1);
    if (run.my1 == 1) reverse_component(run.xr1, run.nt);
    write_text_record(console, " Change from + to - of FILE 2 ? (YES=1)?? :");
    read_answer(run.my2);
    if (run.my2 == 1) reverse_component(run.xr2, run.nt);
    write_text_record(console, " Change from + to - of FILE 3 ? (YES=1)?? :");
    read_answer(run.my3);
    if (run.my3 == 1) reverse_component(run.xr3, run.nt);
}

// Waits for one console line; the end of the input ends the wait as well.
void wait_for_enter() {
    begin_free_read(unit_stdin, false);
    end_free_read();
}

}  // namespace

void run_driver() {
    start_edit_record(console, "(1X,/,'Enter input file of waveform data')");
    end_edit_record();
    read_line_field(unit_stdin, run.infile);

    read_table();
    report_table();
    ask_signs();

    choose_transform_length();
    transform_forward();
    apply_band_pass();
    apply_integration();
    write_spectrum_file();
    transform_back();

    cut_window();
    write_waveform_file();

    wait_for_enter();
    stop_run();
}

}  // namespace smwave

#include "run/driver.hpp"

#include <cmath>
#include <string>

#include "facts/core_facts.hpp"
#include "run/frequency_stage.hpp"
#include "run/shown_number.hpp"
#include "run/signs.hpp"
#include "run/spectrum_file.hpp"
#include "run/state.hpp"
#include "run/table.hpp"
#include "run/window.hpp"
#include "textio/lines.hpp"
#include "textio/reads.hpp"
#include "textio/records.hpp"
#include "textio/units.hpp"

namespace smwave {

namespace {

constexpr int console = unit_stdout;

void report_table(const RunState& run) {
    write_empty_record(console);
    start_free_record(console);
    put_text(facts::rows_and_interval_label);
    put_integer(run.nt);
    put_double(run.dt);
    end_free_record();
    // Every later step divides by dt: a table without a usable interval ends the run here.
    if (run.dt == 0.0 || !std::isfinite(run.dt)) {
        refuse_run("smwave: the sampling interval taken from the first two rows is " + shown(run.dt) +
                   "; the table needs at least two rows with different, finite times");
    }
    // One infinite or NaN sample would spread through the transform into every value written.
    if (const std::optional<SamplePlace> bad = first_non_finite_sample(run)) {
        const double value = bad->column == column_comp1   ? run.xr1[bad->row]
                             : bad->column == column_comp2 ? run.xr2[bad->row]
                                                           : run.xr3[bad->row];
        refuse_run("smwave: row " + std::to_string(bad->row) + " of the table holds " + shown(value) +
                   " in channel " + std::to_string(bad->column) +
                   "; every value of channels 38, 40 and 17 must be a finite number");
    }
}

// Waits for one console line; the end of the input ends the wait as well.
void wait_for_enter() {
    begin_free_read(unit_stdin, false);
    end_free_read();
}

}  // namespace

void run_driver() {
    // The one state of this process's run: static, so that it starts zeroed at no cost (see
    // run/state.hpp), and local, so that the stages reach it only through the driver's hands.
    static RunState state;
    run_job(state);
}

void run_job(RunState& run) {
    start_edit_record(console, "(1X,/,'Enter input file of waveform data')");
    end_edit_record();
    read_line_field(unit_stdin, run.input_name);

    read_table(run);
    report_table(run);
    ask_signs(run);

    choose_transform_length(run);
    transform_forward(run);
    apply_band_pass(run);
    apply_integration(run);
    write_spectrum_file(run);
    transform_back(run);

    cut_window(run);
    write_waveform_file(run);

    wait_for_enter();
    stop_run();
}

}  // namespace smwave

#include "run/window.hpp"

#include <cmath>
#include <cstdint>
#include <limits>
#include <string>

#include "facts/core_facts.hpp"
#include "run/shown_number.hpp"
#include "textio/answers.hpp"
#include "textio/lines.hpp"
#include "textio/reads.hpp"
#include "textio/records.hpp"
#include "textio/units.hpp"

namespace smwave {

namespace {

constexpr int console = unit_stdout;
constexpr int waveform_unit = 11;

void say_count(std::string_view text, std::int32_t count) {
    start_free_record(console);
    put_text(text);
    put_integer(count);
    end_free_record();
}

// The number of samples in `seconds`: seconds/dt truncated toward zero. Refuses a quotient that is not a
// finite number within the 32-bit range.
std::int32_t samples_in(double seconds, const char* what, double dt) {
    const double quotient = seconds / dt;
    const double truncated = std::trunc(quotient);
    if (!std::isfinite(truncated) || truncated < std::numeric_limits<std::int32_t>::min() ||
        truncated > std::numeric_limits<std::int32_t>::max()) {
        refuse_run(std::string("smwave: the ") + what + " of " + shown(seconds) + " s is " + shown(quotient) +
                   " samples at a sampling interval of " + shown(dt) +
                   " s, which is not a sample count the tool can hold; nothing more was written");
    }
    return static_cast<std::int32_t>(truncated);
}

// Processed sample k of a series, 0 before sample 1 and beyond the arrays.
double sample(const Series& series, std::int64_t k) { return k <= 0 || k > capacity ? 0.0 : series[k]; }

}  // namespace

void cut_window(RunState& run) {
    run.nout = run.nt;
    write_empty_record(console);
    write_text_record(console, "Cutting data? (No=0,Yes=1)");
    read_answer(run.icut);
    if (run.icut != 1) return;

    write_text_record(console, "Enter Starting Time (sec)");
    read_answer(run.stime);
    run.nstime = samples_in(run.stime, "window start", run.dt);
    say_count("Number of Cutting Data =", run.nstime);

    write_text_record(console, "Enter Duration (sec)");
    // The duration answer starts as the frame duration nf*dt: a null answer (a lone comma, a slash, a
    // repeat count without a value) keeps it, so the window then spans the whole transform frame.
    run.window_dur = run.dur;
    read_answer(run.window_dur);
    const std::int64_t ndur = std::int64_t{samples_in(run.window_dur, "window duration", run.dt)} + 1;
    if (ndur > capacity) {
        refuse_run("smwave: a window of " + std::to_string(ndur) + " samples (" + shown(run.window_dur) +
                   " s) is longer than the " + std::to_string(capacity) +
                   " samples the tool can hold; nothing more was written");
    }
    run.ndur = static_cast<std::int32_t>(ndur);
    say_count("Number of data =", run.ndur);

    for (std::int64_t i = 1; i <= run.ndur; ++i) {
        const std::int64_t k = i + run.nstime;
        run.x1[i] = sample(run.xr1, k);
        run.x2[i] = sample(run.xr2, k);
        run.x3[i] = sample(run.xr3, k);
    }
    run.nout = run.ndur;
    say_count("New nt =", run.nout);
}

void write_waveform_file(RunState& run) {
    write_empty_record(console);
    write_text_record(console, "Skip Data (no=0; yes=skip number)?");
    read_answer(run.iskip);
    if (run.iskip < 0) {
        refuse_run("smwave: a skip number of " + std::to_string(run.iskip) +
                   " is not allowed (it must be 0 or more); no waveform file was written");
    }
    const std::int64_t step = std::int64_t{run.iskip} + 1;

    start_edit_record(console, "(/,1X,'Enter output file name of waveform (csv format file)')");
    end_edit_record();
    read_line_field(unit_stdin, run.output_name);

    open_unit(waveform_unit, std::string_view(run.output_name, text_field_length));
    start_free_record(waveform_unit);
    put_text(facts::waveform_header);
    end_free_record();
    for (std::int64_t i = 1; i <= run.nout; i += step) {
        start_edit_record(waveform_unit, "(F8.3,4(',',E12.4))");
        put_edit_double(run.time[i]);
        put_edit_double(run.x1[i] - run.x1[1]);
        put_edit_double(run.x2[i] - run.x2[1]);
        put_edit_double(run.x3[i] - run.x3[1]);
        end_edit_record();
    }
    close_unit(waveform_unit);
}

}  // namespace smwave

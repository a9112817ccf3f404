#pragma once
// The state of one run: the arrays and values that the stages of the dialogue read and write, in
// one object that the driver makes and hands to each stage in turn.
//
// Arrays are indexed from 1 (element 0 is never used) and are zero when the state is made. The driver
// keeps its state in zero-initialised static storage, whose pages the system supplies zeroed as they
// are first touched, so that a short table costs only the pages it uses.
#include <cstddef>
#include <cstdint>
#include <span>

#include "spectral/complex_math.hpp"
#include "spectral/wvfast.hpp"
#include "textio/reads.hpp"

namespace smwave {

// Rows of the table and samples of every series that the run can hold.
inline constexpr int capacity = 132000;
// Channel columns of a table row (42 are filled; the last three are never used).
inline constexpr int channels = 45;

using Series = double[capacity + 1];
using ComplexSeries = Complex[capacity + 1];

struct RunState {
    // Table (filled by the table reader).
    Series time;
    // Channel values of the row being read, yy[j] for channel j. Only the three component channels
    // are used after a row is read, so the table is held one row at a time.
    double yy[channels + 1];
    TextField head1, head2, head3, head4;
    TextField input_name;   // the table's name
    TextField output_name;  // the waveform file's name

    // Components: raw and signed after the table, processed after the back transform.
    Series xr1, xr2, xr3;
    // Copies of the processed components, then the cut window.
    Series x1, x2, x3;
    // Spectra of the three components.
    ComplexSeries fx1, fx2, fx3;

    // Answers; each starts at 0 before its read, and a null answer keeps what it holds.
    std::int32_t myes, my1, my2, my3, nbd, nit, icut, iskip;
    double fl1, fl2, fh1, fh2, stime;
    double window_dur;  // the window duration answer (s); starts as the frame duration dur

    // Derived values.
    std::int32_t nt;            // complete rows read
    double dt;                  // sampling interval (s)
    std::int32_t nf;            // transform length, a power of two 4..131072
    std::int32_t if1;           // log2(nf)
    double dur;                 // frame duration nf*dt (s)
    double dom;                 // frequency step (rad/s)
    std::int32_t nom;           // bins from zero frequency to Nyquist, nf/2 + 1
    double eom;                 // nom*dom (rad/s)
    std::int32_t nstime, ndur;  // window start and length in samples
    std::int32_t nout;          // samples in the waveform file: nt, or ndur after a cut

    // The transform's twiddle factors for length nf, made once per run and shared by the six
    // transforms, and the plan over them.
    Complex twiddles[capacity];
    WvfastPlan plan;
};

// Samples 1..n of a series, as the numerical functions take them.
inline std::span<double> first_samples(Series& series, std::int32_t n) {
    return {series + 1, static_cast<std::size_t>(n)};
}
inline std::span<Complex> first_samples(ComplexSeries& series, std::int32_t n) {
    return {series + 1, static_cast<std::size_t>(n)};
}

}  // namespace smwave

#pragma once
// The run's shared arrays and scalars: everything one run of the tool computes, in one place.
//
// Arrays are indexed from 1 (element 0 is never used) and are zero at start: the state lives in
// static storage, so the system supplies its pages zeroed as they are first touched.
#include <cstdint>

#include "textio/reads.hpp"

namespace smwave {

// Rows of the table and samples of every series that the run can hold.
inline constexpr int capacity = 132000;
// Channel columns of a table row (42 are filled; the last three are never used).
inline constexpr int channels = 45;

// A complex value, real part first.
struct Complex {
    double re;
    double im;
};

using Series = double[capacity + 1];
using ComplexSeries = Complex[capacity + 1];

struct RunState {
    // Table (filled by the table reader).
    Series time;
    // Channel values of the row being read, yy[j] for channel j. Only the three component channels
    // are used after a row is read, so the table is held one row at a time.
    double yy[channels + 1];
    TextField head1, head2, head3, head4;
    TextField infile;  // the input name, later the output name

    // Components: raw and signed after the table, processed after the back transform.
    Series xr1, xr2, xr3;
    // Copies of the processed components, then the cut window.
    Series x1, x2, x3;
    // Spectra of the three components.
    ComplexSeries fx1, fx2, fx3;

    // Answers; each starts at 0 before its read.
    std::int32_t myes, my1, my2, my3, nbd, nit, icut, iskip;
    double fl1, fl2, fh1, fh2, stime;

    // Derived values.
    std::int32_t nt;            // complete rows read, later the window length
    double dt;                  // sampling interval (s)
    std::int32_t nf;            // transform length, a power of two 4..131072
    std::int32_t if1;           // log2(nf)
    double dur;                 // frame duration nf*dt (s); later the window duration answer
    double dom;                 // frequency step (rad/s)
    std::int32_t nom;           // bins from zero frequency to Nyquist, nf/2 + 1
    double eom;                 // nom*dom (rad/s)
    std::int32_t nstime, ndur;  // window start and length in samples

    // The transform's twiddle factors for length twiddle_length (0: none yet), kept between its
    // calls: stage kmax at [kmax, 2*kmax - 1], for the backward direction (the forward ones are
    // their exact conjugates).
    Complex twiddles[capacity];
    std::int32_t twiddle_length;
};

// The one run of this process.
extern RunState run;

}  // namespace smwave

#!/usr/bin/env python3
"""The benchmark job written the way an analyst would write it with numpy.

    numpy_job.py TABLE OUTDIR

Reads the table (a header line, one ignored line, rows of a time and 42 channels), takes channels
38, 40 and 17 as components 1 to 3 and runs the same job as the benchmark dialogue of smwave: no sign
change, trapezoidal band-pass 0.1-0.2-20-25 Hz, integration to velocity, no window, every sample.
Writes OUTDIR/fort.99 (echo), OUTDIR/amp3.csv (amplitude spectra, 0 Hz to Nyquist) and
OUTDIR/velocity.csv (waveform relative to its first sample), in smwave's column layouts with
C-style exponent fields.
"""
import os
import sys

import numpy as np

TWO_PI = 6.283185307
CORNERS_HZ = (0.1, 0.2, 20.0, 25.0)
CHANNELS = (38, 40, 17)  # counted after the time column
MAX_ROWS = 131072


def read_table(path):
    """Time column and the three components, one row per sample."""
    # Of the numpy readers (loadtxt, fromfile and fromstring on the whole text) loadtxt with the
    # needed columns only is the fastest here.
    table = np.loadtxt(path, skiprows=2, usecols=(0, *CHANNELS), ndmin=2)
    return table[:, 0].copy(), table[:, 1:].T.copy()


def write_rows(path, header, row_format, columns):
    """Writes an optional header line and one line per row, formatting the whole block at once."""
    block = np.column_stack(columns)
    lines = (row_format + "\n") * block.shape[0]
    with open(path, "w") as f:
        if header is not None:
            f.write(header + "\n")
        f.write(lines % tuple(block.ravel()))


def band_pass_weight(omega):
    """Trapezoidal weight: 0 below fl1, ramps to 1 at fl2, 1 to fh1, ramps to 0 at fh2."""
    oml1, oml2, omh1, omh2 = (c * TWO_PI for c in CORNERS_HZ)
    weight = np.ones_like(omega)
    rising = omega < oml2
    weight[rising] = (omega[rising] - oml1) / (oml2 - oml1)
    falling = omega > omh1
    weight[falling] = (omh2 - omega[falling]) / (omh2 - omh1)
    weight[(omega < oml1) | (omega > omh2)] = 0.0
    return weight


def run_job(table_path, out_dir):
    """Runs the job on one table into OUTDIR; gives the time column and the three written waveforms."""
    time, comps = read_table(table_path)
    nt = time.size
    if nt > MAX_ROWS:
        raise ValueError("more than %d rows" % MAX_ROWS)
    dt = time[1] - time[0]
    write_rows(os.path.join(out_dir, "fort.99"), None, "%.9g %.9g %.9g %.9g", (time, *comps))

    nf = max(4, 1 << (nt - 1).bit_length())
    padded = np.zeros((3, nf))
    padded[:, :nt] = comps
    spectra = np.fft.fft(padded, axis=1) * dt

    dur = nf * dt
    dom = TWO_PI / dur
    nom = nf // 2 + 1
    omega = np.arange(nom) * dom
    spectra[:, :nom] *= band_pass_weight(omega)
    spectra[:, 1:nom] /= 1j * omega[1:]

    amplitudes = np.abs(spectra[:, :nom])
    write_rows(os.path.join(out_dir, "amp3.csv"), " frequency(Hz),comp1, comp2, comp3",
               "%8.4f,%12.4E,%12.4E,%12.4E,", (omega / TWO_PI, *amplitudes))

    spectra[:, nom:] = np.conj(spectra[:, nf // 2 - 1:0:-1])
    waves = np.fft.ifft(spectra, axis=1).real * nf / dur
    waves = waves[:, :nt] - waves[:, :1]
    write_rows(os.path.join(out_dir, "velocity.csv"), " time(s),comp1, comp2, comp3",
               "%8.3f,%12.4E,%12.4E,%12.4E,", (time, *waves))
    return time, waves


def main():
    run_job(sys.argv[1], sys.argv[2])


if __name__ == "__main__":
    main()

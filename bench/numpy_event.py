#!/usr/bin/env python3
"""The event benchmark's peer: smwave-event's steps for K-NET records, written with numpy.

    numpy_event.py DOWNLOAD OUTDIR [RECORDS]

For the first RECORDS (default all) stations of DOWNLOAD (files STATION*.EW, .NS, .UD): the counts
turned into gal, the mean removed, a 5 % Hann taper at each end; acceleration, velocity and
displacement by the band-pass 0.05 0.1 25 30 Hz and integration in the frequency domain, each written
as a waveform file; RotD spectra at period 0 and 100 log-spaced periods from 0.01 to 10 s and at the
flatfile's 21 periods; every measure of the acceleration. Prints one line per record.
"""
import glob
import os
import sys

import numpy as np

from numpy_job import write_rows
from numpy_measures import measures, rotated

CORNERS_HZ = (0.05, 0.1, 25.0, 30.0)
TAPER = 0.05
FLATFILE_PERIODS = (0.01, 0.02, 0.03, 0.05, 0.075, 0.1, 0.15, 0.2, 0.25, 0.3, 0.4, 0.5, 0.75, 1, 1.5, 2, 3, 4,
                    5, 7.5, 10)


def read_knet(path):
    """The counts in gal and the sampling interval of a K-NET ASCII file."""
    with open(path) as f:
        header = [next(f) for _ in range(17)]
        counts = np.array(f.read().split(), dtype=float)
    values = {line[:18].strip(): line[18:].strip() for line in header}
    numerator, denominator = values["Scale Factor"].split("(gal)/")
    hertz = float(values["Sampling Freq(Hz)"].rstrip("Hz"))
    return counts * float(numerator) / float(denominator), 1 / hertz


def taper(x):
    n = x.size
    width = int(TAPER * n)
    window = np.ones(n)
    ramp = 0.5 * (1 - np.cos(np.pi * np.arange(width) / width))
    window[:width] = ramp
    window[n - width:] = ramp[::-1]
    return x * window


def integrated(comps, dt, integration):
    """The band-passed components integrated `integration` times in the frequency domain."""
    nt = comps.shape[1]
    nf = max(4, 1 << (nt - 1).bit_length())
    spectra = np.fft.rfft(comps, nf, axis=1)
    omega = 2 * np.pi * np.fft.rfftfreq(nf, dt)
    f1, f2, f3, f4 = (2 * np.pi * c for c in CORNERS_HZ)
    weight = np.clip(np.minimum((omega - f1) / (f2 - f1), (f4 - omega) / (f4 - f3)), 0, 1)
    spectra *= weight
    if integration:
        spectra[:, 1:] /= (1j * omega[1:]) ** integration
        spectra[:, 0] = 0
    waves = np.fft.irfft(spectra, nf, axis=1)[:, :nt]
    return waves - waves[:, :1]


def run_record(files, out_dir):
    comps, dt = [], 0.0
    for path in files:
        gal, dt = read_knet(path)
        comps.append(taper(gal - gal.mean()))
    comps = np.array(comps)
    time = np.arange(comps.shape[1]) * dt
    paths = []
    for integration, name in enumerate(("acceleration", "velocity", "displacement")):
        waves = integrated(comps, dt, integration)
        paths.append(os.path.join(out_dir, name + ".csv"))
        write_rows(paths[-1], " time(s),comp1, comp2, comp3", "%8.3f,%12.4E,%12.4E,%12.4E,", (time, *waves))
    grid = rotated(paths[0], 100)
    out = measures(paths[0])
    return grid[1], out["pga_rotd"]


def main():
    download, out_root = sys.argv[1], sys.argv[2]
    limit = int(sys.argv[3]) if len(sys.argv) > 3 else None
    stations = sorted({os.path.basename(p)[:-3] for p in glob.glob(os.path.join(download, "*.EW"))})[:limit]
    for station in stations:
        out_dir = os.path.join(out_root, station)
        os.makedirs(out_dir, exist_ok=True)
        files = [os.path.join(download, station + "." + d) for d in ("EW", "NS", "UD")]
        first, pga = run_record(files, out_dir)
        print(station, first, pga)


if __name__ == "__main__":
    main()

#!/usr/bin/env python3
"""The batch benchmark's peer: the job of numpy_job.py on every table of a folder, in one process.

    numpy_batch.py FOLDER OUTDIR

Each table (in name order) gets OUTDIR/<name>/ with the files numpy_job.py writes, and
OUTDIR/summary.csv one row per table: name, table, rows, dt, nf and, for each component, the peak
absolute value of the written waveform and its time, as smwave-batch's summary gives them.
"""
import csv
import os
import sys

import numpy as np

from numpy_job import run_job


def main():
    folder, out_dir = sys.argv[1], sys.argv[2]
    rows = []
    for entry in sorted(os.listdir(folder)):
        table = os.path.join(folder, entry)
        name = os.path.splitext(entry)[0]
        record_dir = os.path.join(out_dir, name)
        os.makedirs(record_dir, exist_ok=True)
        time, waves = run_job(table, record_dir)
        nt = time.size
        row = [name, table, nt, repr(time[1] - time[0]), max(4, 1 << (nt - 1).bit_length())]
        for wave in waves:
            at = int(np.argmax(np.abs(wave)))
            row += [repr(abs(wave[at])), repr(time[at])]
        rows.append(row)
    with open(os.path.join(out_dir, "summary.csv"), "w", newline="") as f:
        writer = csv.writer(f)
        writer.writerow(["name", "table", "rows", "dt", "nf", "peak1", "time1", "peak2", "time2", "peak3", "time3"])
        writer.writerows(rows)


if __name__ == "__main__":
    main()

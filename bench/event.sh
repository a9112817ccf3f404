#!/usr/bin/env bash
# Event benchmark: smwave-event on RECORDS K-NET records of three 12000-sample components (100 Hz,
# made from the example earthquake's K-NET stations under new station codes) with one and with two
# jobs, against bench/numpy_event.py (the same steps with numpy) on NUMPY_RECORDS of them.
#
#     bash bench/event.sh
#
# Gives the CPU time per record (smwave-event and every program it ran, which the machine's load does
# not inflate as it does wall-clock times), the wall-clock times and the --jobs 2 speed-up.
# Environment: RUNS (3), RECORDS (100), NUMPY_RECORDS (2), BENCH_DIR (build/bench/event).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/event}
runs=${RUNS:-3}
records=${RECORDS:-100}
numpy_records=${NUMPY_RECORDS:-2}
numpy_env="env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE"

cd "$root"
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
mkdir -p "$work"
cmake --build build -j2 --target smwave-event make_event >"$work.build.log" 2>&1 || {
    cat "$work.build.log"
    exit 1
}
cd "$work"
if [[ ! -d records ]]; then
    rm -rf example
    "$root/build/make_event" example 120
    mkdir -p records.new
    stations=(example/knet/*.EW)
    for ((r = 0; r < records; r++)); do
        source=${stations[r % ${#stations[@]}]%.EW}
        code=$(basename "$source" | cut -c1-6)
        new=$(printf 'E%05d' "$r")
        for direction in EW NS UD; do
            sed "s/^Station Code      $code/Station Code      $new/" "$source.$direction" \
                >"records.new/${new}2403051234.$direction"
        done
    done
    mv records.new records
fi

echo "smwave-event $(git -C "$root" rev-parse --short HEAD); $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$records records of 3 x 12000 samples; runs $runs"
# The job counts take turns, and where this user may, the kernel's caches are dropped before each run
# (then the records and programs read back in): the file system slows down run after run as it deletes
# and makes the same thousands of files again (on the machine of the README's figures, from 2.0 s of
# system time in the first run to 4.4 s in the fifth).
for ((run = 0; run < runs; run++)); do
    for jobs in 1 2; do
        rm -rf "out-$jobs"
        sync
        if [[ -w /proc/sys/vm/drop_caches ]]; then
            echo 3 >/proc/sys/vm/drop_caches
            cat records/* "$root"/build/smwave* >/dev/null
        fi
        /usr/bin/time -f "jobs $jobs: %e s wall, %U s user, %S s system" \
            "$root/build/smwave-event" --out "out-$jobs" --jobs "$jobs" records 2>&1 >/dev/null | tail -1
    done
done | tee times.txt
cmp out-1/flatfile.csv out-2/flatfile.csv

rm -rf out-numpy
/usr/bin/time -f "numpy: %e s wall, %U s user, %S s system" $numpy_env PYTHONPATH="$root/bench" \
    /usr/bin/python3 "$root/bench/numpy_event.py" records out-numpy "$numpy_records" 2>&1 >/dev/null | tail -1 | tee -a times.txt

/usr/bin/python3 - "$records" "$numpy_records" <<'PY'
import re, sys

records, numpy_records = int(sys.argv[1]), int(sys.argv[2])
runs = {}
for line in open("times.txt"):
    m = re.match(r"(jobs \d|numpy): ([\d.]+) s wall, ([\d.]+) s user, ([\d.]+) s system", line)
    if m:
        runs.setdefault(m[1], []).append((float(m[2]), float(m[3]) + float(m[4])))
for name in ("jobs 1", "jobs 2"):
    cpu = min(c for _, c in runs[name]) / records * 1000
    wall = min(w for w, _ in runs[name])
    print(f"{name}: {cpu:.0f} ms CPU per record (least of {len(runs[name])}), {wall:.1f} s wall (least)")
print(f"--jobs 2 / --jobs 1 wall: {min(w for w, _ in runs['jobs 1']) / min(w for w, _ in runs['jobs 2']):.2f}x")
numpy_cpu = runs["numpy"][0][1] / numpy_records * 1000
print(f"numpy: {numpy_cpu:.0f} ms CPU per record, "
      f"{numpy_cpu / (min(c for _, c in runs['jobs 1']) / records * 1000):.0f}x smwave-event's")
PY

#!/usr/bin/env bash
# Measures benchmark: smwave-measures on a record of three 12000-sample components, smwave-response
# --rotd at 111 periods on its two horizontals on one core, and Konno-Ohmachi smoothing of a 16384-bin
# spectrum at 401 frequencies, each against bench/numpy_measures.py (the same definitions in numpy).
#
#     bash bench/measures.sh
#
# The record: build/make_table 12000, band-passed without integration by smwave (the example's
# answers-acceleration.txt). Environment: RUNS (10), NUMPY_RUNS (3), BENCH_DIR (build/bench/measures-run).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/measures-run}
runs=${RUNS:-10}
numpy_runs=${NUMPY_RUNS:-3}
python=/usr/bin/python3
peer="$python $root/bench/numpy_measures.py"

cd "$root"
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
mkdir -p "$work"
cmake --build build -j2 --target smwave make_table smwave-measures smwave-response measures_bench \
    >"$work/build.log" 2>&1 || {
    cat "$work/build.log"
    exit 1
}
cd "$work"
[[ -s quake.txt ]] || "$root/build/make_table" 12000 >quake.txt
sed 's/^acceleration.csv$/a12.csv/' "$root/example/answers-acceleration.txt" | "$root/build/smwave" >/dev/null

echo "smwave $(git -C "$root" rev-parse --short HEAD); $(hyperfine --version); $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
hyperfine -N --style basic --warmup 2 --runs "$runs" \
    -n measures "$root/build/smwave-measures a12.csv -o m.csv" \
    -n rotd-one-core "taskset -c 0 $root/build/smwave-response a12.csv --count 110 --rotd -o r.csv" \
    -n response-one-core "taskset -c 0 $root/build/smwave-response a12.csv --count 110 -o r0.csv"
hyperfine -N --style basic --warmup 1 --runs "$numpy_runs" \
    -n numpy-measures "$peer measures a12.csv" \
    -n numpy-rotd "$peer rotd a12.csv 110"
"$root/build/bench/measures/measures_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
$peer konno 16384 401

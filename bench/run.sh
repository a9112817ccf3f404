#!/usr/bin/env bash
# Whole-job benchmark: times smwave end to end on synthetic tables of 4096, 30000 and 131072 rows
# against the same job in numpy (bench/numpy_job.py), and reports peak resident memory.
#
#     bash bench/run.sh [--perf]
#
# Dialogue of every run: no sign change, band-pass 0.1 0.2 20 25 Hz, integration, no cut, no skip.
# --perf also records a call-graph profile of one 131072-row run and prints its top functions.
# Environment: RUNS (10), WARMUP (2), RSS_RUNS (5), BENCH_DIR (build/bench/whole-job).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/whole-job}
runs=${RUNS:-10}
warmup=${WARMUP:-2}
rss_runs=${RSS_RUNS:-5}
sizes=(4096 30000 131072)
python=/usr/bin/python3
profile=no
[[ ${1:-} == --perf ]] && profile=yes

# Tools: hyperfine, numpy for the system python, GNU time for peak memory.
missing=()
command -v hyperfine >/dev/null || missing+=(hyperfine)
"$python" -c 'import numpy' 2>/dev/null || missing+=(python3-numpy)
[[ -x /usr/bin/time ]] || missing+=(time)
if ((${#missing[@]})); then
    echo "installing ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    apt-get update -qq
    apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# Release build of the tool and the table generator (incremental; a failed rebuild falls back to
# binaries already built, with a warning, since other work may be in progress in the tree).
cd "$root"
mkdir -p "$work"
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
if ! cmake --build build -j2 --target smwave make_table >"$work.build.log" 2>&1; then
    [[ -x build/smwave && -x build/make_table ]] || { cat "$work.build.log"; exit 1; }
    echo "WARNING: rebuild failed (see $work.build.log); timing the binaries already in build/"
fi
cp build/smwave "$work/smwave"
smwave=$work/smwave
revision=$(git rev-parse --short HEAD)$(git diff --quiet HEAD -- src 2>/dev/null || echo "+local")

for n in "${sizes[@]}"; do
    [[ -s $work/table-$n.txt ]] || build/make_table "$n" >"$work/table-$n.txt"
done

echo "smwave $revision; $(hyperfine --version); numpy $("$python" -c 'import numpy; print(numpy.__version__)')"
echo "$(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg); warmup $warmup, runs $runs"
# The numpy command alone runs without the OpenBLAS core-type overrides of this machine.
numpy_env="env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE"
$numpy_env "$python" - <<'EOF' 2>/dev/null || true
from threadpoolctl import threadpool_info
for lib in threadpool_info():
    print("numpy BLAS: %s %s, %s" % (lib.get("internal_api"), lib.get("version"), lib.get("architecture")))
EOF

peak_rss() {  # peak resident KiB over rss_runs runs of a command fed by answers.txt
    local peak=0 kib
    for ((r = 0; r < rss_runs; r++)); do
        /usr/bin/time -f %M -o rss.txt "$@" <answers.txt >/dev/null
        kib=$(<rss.txt)
        ((kib > peak)) && peak=$kib
    done
    echo "$peak"
}

summary=$work/summary.txt
: >"$summary"
for n in "${sizes[@]}"; do
    dir=$work/n$n
    mkdir -p "$dir/numpy"
    cd "$dir"
    printf '%s\n' "../table-$n.txt" 0 1 "0.1 0.2 20 25" 1 0 0 velocity.csv "" >answers.txt
    echo
    echo "== $n rows ($(stat -c %s "../table-$n.txt") bytes)"
    hyperfine --style basic --warmup "$warmup" --runs "$runs" --export-json times.json \
        -n smwave "$smwave < answers.txt" \
        -n numpy "$numpy_env $python $root/bench/numpy_job.py ../table-$n.txt numpy"
    # Reading the table alone, without a shell so that sub-millisecond times stay meaningful.
    hyperfine --style basic -N --warmup "$warmup" --runs "$runs" --export-json cat.json \
        -n cat "cat ../table-$n.txt"
    rss=$(peak_rss "$smwave")
    numpy_rss=$(peak_rss $numpy_env "$python" "$root/bench/numpy_job.py" "../table-$n.txt" numpy)
    "$python" - "$n" "$rss" "$numpy_rss" >>"$summary" <<'EOF'
import json, sys

import numpy as np

n, rss, numpy_rss = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
times = {r["command"]: r for f in ("times.json", "cat.json") for r in json.load(open(f))["results"]}
ms = lambda seconds: seconds * 1000.0
tool, numpy_job, cat = times["smwave"], times["numpy"], times["cat"]
# Both waveform files must tell the same story (4 significant digits each).
ours = np.loadtxt("velocity.csv", delimiter=",", skiprows=1, usecols=(1, 2, 3))
theirs = np.loadtxt("numpy/velocity.csv", delimiter=",", skiprows=1, usecols=(1, 2, 3))
agreement = np.abs(ours - theirs).max() / np.abs(ours).max()
print("%7s %9.1f %9.1f %9.1f %9.1f %7.1f %9.1f %6.2f %8.1f %8.1e" % (
    n, ms(tool["median"]), ms(tool["min"]), ms(tool["max"]), rss / 1024.0, ms(cat["median"]),
    ms(numpy_job["median"]), numpy_job["median"] / tool["median"], numpy_rss / 1024.0, agreement))
EOF
    cd "$root"
done

echo
echo "Whole job, warm cache (ms; RSS in MiB, max of $rss_runs runs; agree = max waveform difference / max value)"
printf '%7s %9s %9s %9s %9s %7s %9s %6s %8s %8s\n' rows median min max peakRSS cat numpy ratio numpyRSS agree
cat "$summary"
echo "targets: 131072 rows <= 300 ms and ratio >= 3, RSS <= 100 MiB; 4096 rows <= 14 ms, RSS <= 10 MiB"

if [[ $profile == yes ]]; then
    # The release build keeps no frame pointers, so the call graph is unwound from the stack copies.
    cd "$work/n131072"
    perf record -q --call-graph dwarf -o perf.data "$smwave" <answers.txt >/dev/null 2>perf.log
    for view in --no-children --children; do
        echo
        echo "== perf, 131072 rows, $view (functions with at least 1%)"
        perf report -i perf.data --stdio "$view" --sort symbol --percent-limit 1 2>/dev/null |
            grep -E '^ +[0-9.]+%' | sed 's/[ -]*$//' | head -40
    done
fi

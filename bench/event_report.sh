#!/usr/bin/env bash
# Event page benchmark: smwave-plot --report on a synthetic event of 100 records (84 stations, every
# fifth a KiK-net site with surface and borehole sensors; 120 s at 100 Hz, 12000 rows a component),
# with one and with two gnuplot processes at once, then without drawing (gnuplot replaced by a program
# that draws nothing): the scripts and the page (reading every record's files), and the page alone.
#
#     bash bench/event_report.sh
#
# Environment: RUNS (2), STATIONS (84), SECONDS_PER_RECORD (120), BENCH_DIR (build/bench/event).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/event}
runs=${RUNS:-2}
stations=${STATIONS:-84}
seconds=${SECONDS_PER_RECORD:-120}

cd "$root"
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
cmake --build build -j2 --target smwave-event smwave-plot >"$work.build.log" 2>&1 || {
    cat "$work.build.log"
    exit 1
}
mkdir -p "$work"
cd "$work"
if [[ ! -s quake/flatfile.csv ]]; then
    rm -rf download quake
    python3 "$root/bench/event_download.py" download "$stations" "$seconds"
    "$root/build/smwave-event" --out quake download --jobs 2
fi
echo "records: $(($(wc -l <quake/flatfile.csv) - 1)), load average: $(cut -d' ' -f1-3 /proc/loadavg)"
mkdir -p no-gnuplot
printf '#!/bin/sh\nexit 0\n' >no-gnuplot/gnuplot
chmod +x no-gnuplot/gnuplot
# Wall and CPU time of each run (CPU time, gnuplot's included, is what a loaded machine cannot inflate).
for jobs in 1 2; do
    for ((run = 1; run <= runs; run++)); do
        /usr/bin/time -f "figures and page, --jobs $jobs: %e s wall, %U s user + %S s system" \
            "$root/build/smwave-plot" --report quake --jobs "$jobs"
    done
done
# The page and the scripts without drawing; then the page from the flatfile alone (no record folders:
# every summary is reported missing).
mkdir -p page-only
cp quake/flatfile.csv page-only/
hyperfine --runs 10 --warmup 1 -N -i -n "scripts and page" \
    "env PATH=$work/no-gnuplot:/usr/bin:/bin $root/build/smwave-plot --report quake" \
    -n "page alone" "env PATH=$work/no-gnuplot:/usr/bin:/bin $root/build/smwave-plot --report page-only"
# The page alone leaves no figures: draw them again for whoever opens quake/report.html.
"$root/build/smwave-plot" --report quake --jobs 2

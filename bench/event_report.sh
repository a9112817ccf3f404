#!/usr/bin/env bash
# Event page benchmark: smwave-plot --report on a synthetic event of 100 records (84 stations, every
# fifth a KiK-net site with surface and borehole sensors; 120 s at 100 Hz, 12000 rows a component),
# with one and with two gnuplot processes at once, and the page alone (gnuplot replaced by a program
# that draws nothing: reading the flatfile and record folders, writing the scripts and report.html).
#
#     bash bench/event_report.sh
#
# Environment: RUNS (3), STATIONS (84), SECONDS (120), BENCH_DIR (build/bench/event).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/event}
runs=${RUNS:-3}
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
hyperfine --runs "$runs" --warmup 1 \
    -n "figures and page, --jobs 1" "$root/build/smwave-plot --report quake --jobs 1" \
    -n "figures and page, --jobs 2" "$root/build/smwave-plot --report quake --jobs 2" \
    -n "page alone" "env PATH=$work/no-gnuplot:/usr/bin:/bin $root/build/smwave-plot --report quake"
# The page alone leaves no figures: draw them again for whoever opens quake/report.html.
"$root/build/smwave-plot" --report quake --jobs 2

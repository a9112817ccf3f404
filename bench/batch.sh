#!/usr/bin/env bash
# Batch benchmark: smwave-batch on 100 records of 12000 rows with one and with two jobs, against smwave
# alone on one record (the per-record overhead) and the same 100 records in one numpy process
# (bench/numpy_batch.py).
#
#     bash bench/batch.sh
#
# Dialogue of every record: no sign change, band-pass 0.1 0.2 20 25 Hz, integration, no cut, no skip.
# Environment: RUNS (5), WARMUP (1), RECORDS (100), ROWS (12000), BENCH_DIR (build/bench/batch).
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
work=${BENCH_DIR:-$root/build/bench/batch}
runs=${RUNS:-5}
warmup=${WARMUP:-1}
records=${RECORDS:-100}
rows=${ROWS:-12000}
python=/usr/bin/python3
numpy_env="env -u OPENBLAS_CORETYPE -u OPENBLAS_L2_SIZE"

cd "$root"
[[ -f build/CMakeCache.txt ]] || cmake --preset release >/dev/null
cmake --build build -j2 --target smwave smwave-batch make_table >"$work.build.log" 2>&1 || {
    cat "$work.build.log"
    exit 1
}
mkdir -p "$work/tables"
cd "$work"
[[ -s table.txt ]] || "$root/build/make_table" "$rows" >table.txt
# The records: links to one table, so that the page cache holds one table for all.
for ((r = 0; r < records; r++)); do
    ln -sf ../table.txt "tables/$(printf 'record-%03d.txt' "$r")"
done
printf '%s\n' table.txt 0 1 "0.1 0.2 20 25" 1 0 0 velocity.csv "" >answers.txt
mkdir -p one
ln -sf ../table.txt one/table.txt

echo "smwave-batch $(git -C "$root" rev-parse --short HEAD); $(hyperfine --version); $(nproc) cores, load $(cut -d' ' -f1-3 /proc/loadavg)"
echo "$records records of $rows rows; warmup $warmup, runs $runs"
hyperfine --style basic --warmup "$warmup" --runs "$runs" --export-json batch.json \
    -n one-record "cd one && $root/build/smwave < ../answers.txt > /dev/null && cd .." \
    -n jobs-1 "$root/build/smwave-batch --answers answers.txt --out out-1 --jobs 1 tables 2>/dev/null" \
    -n jobs-2 "$root/build/smwave-batch --answers answers.txt --out out-2 --jobs 2 tables 2>/dev/null" \
    -n numpy "$numpy_env PYTHONPATH=$root/bench $python $root/bench/numpy_batch.py tables out-numpy"

# The batch's own work (the records' processes left out): its CPU time per record, which the machine's
# load does not inflate as it does wall-clock times.
own_ms=""
if command -v perf >/dev/null; then
    rm -rf out-own
    own_ms=$(perf stat --no-inherit -x, -e task-clock "$root/build/smwave-batch" --answers answers.txt \
        --out out-own --jobs 1 tables 2>&1 >/dev/null | awk -F, '/task-clock/ {print $1}')
fi

"$python" - "$records" "$own_ms" <<'PY'
import json, sys

records = int(sys.argv[1])
results = {r["command"]: r for r in json.load(open("batch.json"))["results"]}
times = {name: r["median"] for name, r in results.items()}
cpu = {name: r["user"] + r["system"] for name, r in results.items()}  # means, children included
one, jobs1, jobs2, numpy = (times[k] for k in ("one-record", "jobs-1", "jobs-2", "numpy"))
print()
print("medians: one record %.1f ms; %d records: jobs 1 %.0f ms, jobs 2 %.0f ms, numpy %.0f ms" %
      (one * 1e3, records, jobs1 * 1e3, jobs2 * 1e3, numpy * 1e3))
print("overhead per record (jobs 1 / records - one record): %.2f ms   (target <= 5 ms)" %
      ((jobs1 / records - one) * 1e3))
print("throughput jobs 2 / jobs 1: %.2fx   (target >= 1.7x)" % (jobs1 / jobs2))
print("numpy / jobs 2: %.1fx   (aim >= 5x)" % (numpy / jobs2))
# CPU time stays meaningful on a loaded machine, where wall-clock times stretch with the load.
print("CPU per record (user+system): smwave alone %.1f ms, smwave-batch %.1f ms, numpy %.1f ms; "
      "numpy / smwave-batch %.1fx" % (cpu["one-record"] * 1e3, cpu["jobs-1"] / records * 1e3,
                                      cpu["numpy"] / records * 1e3, cpu["numpy"] / cpu["jobs-1"]))
if sys.argv[2]:
    print("smwave-batch's own CPU time per record (perf, children left out): %.2f ms" %
          (float(sys.argv[2]) / records))
PY

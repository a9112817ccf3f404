#!/usr/bin/env bash
# Builds the fuzz targets (the "fuzz" preset, clang) and runs each for SECONDS (default 30), one at a
# time, starting from a scratch copy of its seed corpus in fuzz/corpus/<target>/ (every folder there
# is a target; fuzz/corpus/<target>.max_len, when present, holds its longest input). Prints the
# executions per target; exits non-zero when a target finds a crash, a hang or a broken check.
# Inputs that fail are saved in build-fuzz/artifacts/; replay one with
#     build-fuzz/fuzz/fuzz_<target> -close_fd_mask=3 <file>
set -u
seconds="${1:-30}"
root="$(cd "$(dirname "$0")/.." && pwd)"
cd "$root"

cmake --preset fuzz >/dev/null || exit 2
targets=()
for corpus in fuzz/corpus/*/; do targets+=("$(basename "$corpus")"); done
cmake --build build-fuzz -j2 $(printf -- '--target fuzz_%s ' "${targets[@]}") >/dev/null || exit 2


artifacts="$root/build-fuzz/artifacts"
mkdir -p "$artifacts"
scratch="$(mktemp -d /tmp/smwave-fuzz-XXXXXX)"
trap 'rm -rf "$scratch"' EXIT

failed=0
summary=""
for target in "${targets[@]}"; do
    mkdir -p "$scratch/$target"
    cp "fuzz/corpus/$target/"* "$scratch/$target/"
    log="$scratch/$target.log"
    # Longest input: answers and tables stay small so that every execution is quick.
    max_len="$(cat "fuzz/corpus/$target.max_len" 2>/dev/null || echo 4096)"
    fuzzer="$(find build-fuzz/fuzz -name "fuzz_$target" -type f -perm -u+x | head -1)"
    "$fuzzer" "$scratch/$target" -max_total_time="$seconds" -max_len="$max_len" \
        -close_fd_mask=3 -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$artifacts/$target-" >"$log" 2>&1
    status=$?
    executions="$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)"
    if [ "$status" -ne 0 ]; then
        failed=1
        summary+="$(printf '%-10s FAILED (status %d); input saved under %s\n' "$target" "$status" "$artifacts")"$'\n'
        grep -E 'FINDING|ERROR|SUMMARY|Test unit written' "$log" | head -20
    else
        summary+="$(printf '%-10s %12s executions in %s s\n' "$target" "${executions:-?}" "$seconds")"$'\n'
    fi
done
printf '%s' "$summary"
exit "$failed"

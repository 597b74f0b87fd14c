#!/usr/bin/env bash
# Builds every libFuzzer target (fuzz/, clang with ASan and UBSan, in build/fuzz) and runs each
# in turn for SECONDS (default 60), starting from its committed seeds (fuzz/corpus/NAME) and the
# inputs earlier runs found (build/fuzz/corpus/NAME):
#   scripts/fuzz.sh [SECONDS]
# Prints one line per target, "NAME: N execs, N crashes", and exits 1 when any target crashed;
# the crashing input is kept in build/fuzz/crashes/NAME/ and the target's output in
# build/fuzz/logs/NAME.log. A crash's input becomes a unit test once it is fixed.
set -euo pipefail
seconds=${1:-60}
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz

cmake -S "$root/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++-14 -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j2 >/dev/null

failed=0
for program in "$build"/fuzz_*; do
    [ -x "$program" ] || continue
    name=${program##*/fuzz_}
    corpus=$build/corpus/$name
    crashes=$build/crashes/$name
    log=$build/logs/$name.log
    mkdir -p "$corpus" "$crashes" "$(dirname "$log")"
    rm -f "$crashes"/*
    seeds=()
    [ -d "$root/fuzz/corpus/$name" ] && seeds=("$root/fuzz/corpus/$name")
    # -timeout: one input taking over 10 s counts as a crash (a hang); -rss_limit_mb: so does 2 GiB.
    rc=0
    "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix="$crashes/" "$corpus" "${seeds[@]}" >"$log" 2>&1 || rc=$?
    execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -1)
    if [ -z "$execs" ]; then
        # A crash ends the run before the final figures: the last progress line has the count.
        execs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -1)
    fi
    found=$(find "$crashes" -type f | wc -l)
    line="$name: ${execs:-0} execs, $found crashes"
    if [ "$found" -gt 0 ] || [ $rc -ne 0 ]; then
        failed=1
        [ "$found" -eq 0 ] && line="$line (stopped with status $rc, see $log)"
    fi
    echo "$line"
done
exit $failed

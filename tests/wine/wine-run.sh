#!/usr/bin/env bash
# Runs one Windows program of a build tree under Wine: wine-run.sh BUILD_DIR PROGRAM [ARGS...]
# The prefix and the virtual display are the ones wine-fixture.sh made for that tree.
#
# Wine starts its helper processes (services, devices, the desktop window) from whichever
# program needs them first, and they inherit that program's output handles. Collecting the
# output in a file keeps them off ctest's pipe, which ctest would otherwise wait on forever.
set -euo pipefail
build=$1
shift
source "$(dirname "$0")/wine-env.sh" "$build"
out=$(mktemp)
trap 'rm -f "$out"' EXIT
rc=0
"$SW_WINE" "$@" </dev/null >"$out" 2>&1 || rc=$?
cat "$out"
if [ $rc -ne 0 ] && [ ! -s "$out" ]; then
    # As a program does whose wineserver ends while it starts.
    echo "wine-run: $* exited with $rc and printed nothing" >&2
fi
# One whose wineserver ends later exits 0, its report cut short: a test program must have given
# GoogleTest's verdict.
if [ $rc -eq 0 ] && [[ " $* " == *" --gtest_filter="* ]] && ! grep -q '^\[  PASSED  \]' "$out"; then
    echo "wine-run: $* exited with 0 before GoogleTest's verdict: it was cut off" >&2
    rc=1
fi
exit $rc

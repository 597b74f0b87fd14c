#!/usr/bin/env bash
# Writes a PNG of every dialog into OUT_DIR: screenshots.sh WIN64_BUILD_DIR OUT_DIR
# Each dialog is shown by dialog_gallery.exe on a virtual display of its own Wine prefix
# (next to OUT_DIR, so the test prefix stays untouched) and cut out of a root-window dump.
set -euo pipefail
build=$(cd "$1" && pwd)
mkdir -p "$2"
out=$(cd "$2" && pwd)
root=$(cd "$(dirname "$0")/.." && pwd)
harness=$root/tests/wine
gallery=$build/tools/dialog_gallery.exe
[ -f "$gallery" ] || { echo "missing $gallery" >&2; exit 1; }

state=$out.wine
mkdir -p "$state"
"$harness/wine-fixture.sh" setup "$state" >/dev/null
trap '"$harness/wine-fixture.sh" cleanup "$state" >/dev/null' EXIT
source "$harness/wine-env.sh" "$state"


for name in about main progress login findexe selectclient setup backendwait; do
    rm -f "$out/$name.rect" "$out/$name.done"
    "$SW_WINE" "$gallery" "$name" "Z:$out" </dev/null >"$state/$name.log" 2>&1 &
    pid=$!
    for _ in $(seq 300); do [ -s "$out/$name.rect" ] && break; sleep 0.1; done
    if [ ! -s "$out/$name.rect" ]; then
        echo "$name: the dialog did not come up" >&2
        # It may have ended on its own.
        kill "$pid" 2>/dev/null || true
        exit 1
    fi
    "$root/scripts/window-shot.sh" "$out/$name.rect" "$out/$name.png"
    touch "$out/$name.done"
    status=0
    wait "$pid" || status=$?
    if [ $status -ne 0 ]; then
        cat "$state/$name.log" >&2
        echo "$name: dialog_gallery ended with status $status" >&2
        exit 1
    fi
    rm -f "$out/$name.rect" "$out/$name.done"
    echo "$out/$name.png"
done

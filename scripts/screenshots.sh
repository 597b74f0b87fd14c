#!/usr/bin/env bash
# Writes a PNG of every dialog into OUT_DIR: screenshots.sh WIN64_BUILD_DIR OUT_DIR
# Each dialog is shown by dialog_gallery.exe on a virtual display of its own Wine prefix
# (next to OUT_DIR, so the test prefix stays untouched) and cut out of a root-window dump.
# Then every dialog at 200% (192 DPI) on a 1280x900 screen, the main one also right after it
# was maximised, in a prefix of their own: each must lie wholly on the screen.
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


# shoot NAME...: a picture of each dialog in $out, on the display of the prefix in $state.
shoot() {
    local name pid status
    for name in "$@"; do
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
        # A maximised window's frame lies beyond the screen's edges.
        if [ -n "${screen:-}" ] && [ "${name%-max}" = "$name" ]; then
            read -r left top right bottom _ < <(tr -d '\r' <"$out/$name.rect")
            if [ "$left" -lt 0 ] || [ "$top" -lt 0 ] || [ "$right" -gt "${screen%x*}" ] ||
                [ "$bottom" -gt "${screen#*x}" ]; then
                echo "$name: $left,$top-$right,$bottom does not fit the ${screen} screen" >&2
                kill "$pid" 2>/dev/null || true
                exit 1
            fi
            echo "$name: $left,$top-$right,$bottom on the ${screen} screen"
        fi
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
}

shoot about main main-max progress login findexe selectclient setup backendwait installed update-not-opened
"$harness/wine-fixture.sh" cleanup "$state" >/dev/null

# 200% on a screen 900 pixels high.
state=$out.wine192
screen=1280x900
mkdir -p "$state"
SW_SCREEN=${screen}x24 "$harness/wine-fixture.sh" setup "$state" >/dev/null
trap '"$harness/wine-fixture.sh" cleanup "$state" >/dev/null' EXIT
source "$harness/wine-env.sh" "$state"
for key in 'HKCU\Control Panel\Desktop' 'HKCC\Software\Fonts'; do
    "$SW_WINE" reg add "$key" /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
done
out=$out/192dpi
mkdir -p "$out"
shoot main main-max about progress login findexe selectclient setup backendwait
